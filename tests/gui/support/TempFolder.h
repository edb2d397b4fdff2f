#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A throw-away program folder for a test: files are written and read by name, and the folder
// path always ends in a separator, as the program folder does.
class TempFolder {
public:
    TempFolder();
    QString path() const; // with trailing separator
    QString file(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;
    bool exists(const QString &name) const;
    // Copies every file below folder, sub-folders included, except the one named except.
    void copyFrom(const QString &folder, const QString &except = QString()) const;

private:
    QTemporaryDir m_dir;
};
