#pragma once

// A throw-away folder tree for core tests, under its canonical path, with empty files made on
// demand (folders included).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct FileTree {
    QTemporaryDir dir;
    QString root = QDir(dir.path()).canonicalPath();
    QString make(const QString &name) {
        QDir().mkpath(QFileInfo(root + "/" + name).absolutePath());
        QFile file(root + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return root + "/" + name;
    }
};
