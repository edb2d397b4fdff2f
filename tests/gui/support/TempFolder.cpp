#include "TempFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

TempFolder::TempFolder() {
    Q_ASSERT(m_dir.isValid());
}

QString TempFolder::path() const {
    return m_dir.path() + QLatin1Char('/');
}

QString TempFolder::file(const QString &name) const {
    return path() + name;
}

void TempFolder::write(const QString &name, const QByteArray &bytes) const {
    const QString target = file(name);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile f(target);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TempFolder::read(const QString &name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TempFolder::exists(const QString &name) const {
    return QFileInfo::exists(file(name));
}

namespace {

// What the program writes into its own folder as it runs. A developer's run of the built
// program leaves them in the build's folder; the tests start from the shipped files alone.
bool isLeftByARun(const QString &name) {
    static const QStringList written = {
        QStringLiteral("recent.ini"),    QStringLiteral("params.ini"),
        QStringLiteral("fontpref.ini"),  QStringLiteral("compilepref.ini"),
        QStringLiteral("compile.ini"),   QStringLiteral("compile.bat"),
        QStringLiteral("marlix.ini"),    QStringLiteral("indexfolders.ini"),
        QStringLiteral("modindex.cache"), QStringLiteral("session.ini")};
    return written.contains(name);
}

} // namespace

void TempFolder::copyFrom(const QString &folder, const QString &except) const {
    const QDir from(folder);
    QDirIterator it(from.absolutePath(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString name = from.relativeFilePath(source);
        if (name == except || isLeftByARun(name))
            continue;
        QFile file(source);
        if (file.open(QIODevice::ReadOnly))
            write(name, file.readAll());
    }
}
