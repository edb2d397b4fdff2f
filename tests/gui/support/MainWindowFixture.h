#pragma once

// A real main window in a throw-away program folder that holds the shipped language tables,
// with every prompt answered by the test.
#include "app/PageControl.h"
#include "app/frmMain.h"
#include "editor/AdvEdit.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <memory>

namespace fixture {

inline void copyShippedData(const TempFolder &folder) {
    const QString shipped = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    QDirIterator it(shipped, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString name = QDir(shipped).relativeFilePath(source);
        if (name == QLatin1String("marlix"))
            continue;
        QFile file(source);
        if (file.open(QIODevice::ReadOnly))
            folder.write(name, file.readAll());
    }
}

struct MainWindow {
    TempFolder folder;
    std::unique_ptr<TFormMain> window;

    MainWindow() {
        marlix::Prompts::setTestMode(true);
        marlix::Prompts::reset();
        copyShippedData(folder);
    }
    TFormMain *open() {
        window = std::make_unique<TFormMain>(nullptr, folder.path());
        window->CommandLine = {QStringLiteral("marlix")};
        return window.get();
    }
    int pages() const { return window->tabControl->PageCount(); }
    TTabSheet *active() const { return window->tabControl->ActivePage(); }
    int activeSlot() const { return active() ? active()->Tag : -1; }
    TAdvEdit *editor() const { return window->ActiveEditor(); }
    QString caption(int index) const { return window->tabControl->Pages(index)->Caption(); }
    // Writes a script into the folder and returns its full path.
    QString script(const QString &name, const QByteArray &bytes) const {
        folder.write(name, bytes);
        return folder.file(name);
    }
};

inline marlix::FileAnswer chosen(const QString &fileName) {
    return marlix::FileAnswer{true, fileName, 1};
}
inline marlix::FileAnswer cancelled() {
    return marlix::FileAnswer{false, QString(), 1};
}

} // namespace fixture
