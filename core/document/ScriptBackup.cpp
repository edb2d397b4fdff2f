#include "core/document/ScriptBackup.h"

#include "core/common/LineFile.h"
#include "core/script/ScriptText.h"

namespace marlix {

QString backupPath(const QString &scriptPath) {
    const QLatin1String script(".con");
    if (scriptPath.endsWith(script, Qt::CaseInsensitive))
        return scriptPath.left(scriptPath.size() - script.size()) + QStringLiteral(".bcon");
    return scriptPath + QStringLiteral(".bcon");
}

QByteArray backupBytes(const QByteArray &documentText) {
    return joinLines(documentLines(documentText));
}

void writeBackup(const QString &scriptPath, const QByteArray &documentText) {
    writeWholeFile(backupPath(scriptPath), backupBytes(documentText));
}

QByteArray readBackupText(const QString &scriptPath) {
    // The lines as opening a file puts them into a document: CR LF between them.
    return readLines(backupPath(scriptPath)).join("\r\n");
}

} // namespace marlix
