#pragma once

#include "tests/gui/support/TempFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <memory>
#include <vector>

// One program folder with the real executable and its data files beside it, and a runtime
// folder of its own, so that runs never meet another test's instance. Every program started
// from it is killed at the end.
struct Installation {
    TempFolder program;
    TempFolder runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::vector<std::unique_ptr<QProcess>> processes;

    Installation() {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        program.copyFrom(QFileInfo(QStringLiteral(MARLIX_EXE)).absolutePath());
        QFile::setPermissions(program.file("marlix"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path().chopped(1));
    }
    ~Installation() {
        for (auto &process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }
    Installation(const Installation &) = delete;
    Installation &operator=(const Installation &) = delete;

    // Started from the root folder unless told otherwise: the program's own files never
    // depend on the folder it is started from.
    QProcess *start(const QStringList &arguments, const QString &workingFolder = QDir::rootPath()) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(workingFolder);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program.file("marlix"), arguments);
        processes.push_back(std::move(process));
        return processes.back().get();
    }
};
