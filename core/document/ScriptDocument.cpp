#include "core/document/ScriptDocument.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/document/ScriptBackup.h"
#include "core/script/CommentEdit.h"
#include "core/script/HeaderBlock.h"
#include "core/script/LineEnds.h"
#include "core/script/ScriptText.h"

#include <QFile>
#include <algorithm>

namespace marlix {

// The editor's rule for line ends, in the document's own terms.
ScriptDocument::LineEnds lineEndsOf(const QByteArray &bytes) {
    return lineEndOf(bytes) == LineEnd::Lf ? ScriptDocument::LineEnds::Lf
                                           : ScriptDocument::LineEnds::CrLf;
}

QByteArray savedBytes(const QByteArray &text, ScriptDocument::LineEnds ends) {
    return scriptFileBytes(text,
                           ends == ScriptDocument::LineEnds::Lf ? LineEnd::Lf : LineEnd::CrLf);
}

ScriptDocument::ScriptDocument(QObject *parent) : QObject(parent) {}

void ScriptDocument::loadFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error::cannotOpen(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error::cannotOpen(path);
    const QByteArray old = m_text;
    m_text = joinedLines(bytes);
    m_lineEnds = lineEndsOf(bytes);
    m_origin = {ScriptOrigin::File, path, {}, {}};
    setSavePoint();
    m_lineStarts.clear();
    if (old != m_text)
        emit edited({0, old, m_text});
}

void ScriptDocument::setText(const QByteArray &text, const ScriptOrigin &origin) {
    const QByteArray old = m_text;
    m_text = text;
    m_lineEnds = lineEndsOf(text);
    m_origin = origin;
    setSavePoint();
    m_lineStarts.clear();
    if (old != m_text)
        emit edited({0, old, m_text});
}

void ScriptDocument::setSavePoint() {
    m_savedText = m_text; // shared until the next edit
}

bool ScriptDocument::isModified() const {
    return m_text != m_savedText;
}

void ScriptDocument::replace(qsizetype position, qsizetype removed, const QByteArray &inserted) {
    position = std::clamp<qsizetype>(position, 0, m_text.size());
    removed = std::clamp<qsizetype>(removed, 0, m_text.size() - position);
    if (removed == 0 && inserted.isEmpty())
        return;
    ScriptEdit edit{position, m_text.mid(position, removed), inserted};
    if (edit.removed == inserted)
        return;
    m_text.replace(position, removed, inserted);
    m_lineStarts.clear();
    emit edited(edit);
}

void ScriptDocument::ensureLines() const {
    if (!m_lineStarts.empty())
        return;
    m_lineStarts.push_back(0);
    const char *data = m_text.constData();
    const qsizetype size = m_text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        m_lineStarts.push_back(i + 1);
    }
}

int ScriptDocument::lineCount() const {
    ensureLines();
    return int(m_lineStarts.size());
}

qsizetype ScriptDocument::lineStart(int line) const {
    ensureLines();
    if (line < 0)
        return 0;
    if (line >= int(m_lineStarts.size()))
        return m_text.size();
    return m_lineStarts[line];
}

qsizetype ScriptDocument::lineEnd(int line) const {
    ensureLines();
    if (line < 0)
        return 0;
    if (line + 1 >= int(m_lineStarts.size()))
        return m_text.size();
    qsizetype end = m_lineStarts[line + 1] - 1;
    if (end > m_lineStarts[line] && m_text[end] == '\n' && m_text[end - 1] == '\r')
        --end;
    return end;
}

int ScriptDocument::lineOfPosition(qsizetype position) const {
    ensureLines();
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), position);
    return std::max(0, int(it - m_lineStarts.begin()) - 1);
}

QByteArray ScriptDocument::lineText(int line) const {
    const qsizetype start = lineStart(line);
    return m_text.mid(start, lineEnd(line) - start);
}

void ScriptDocument::save(const QString &path, const QDateTime &when) {
    const QByteArray dateLine = headerDateLine(when);
    if (lineCount() >= 3 && carriesHeaderBlock(lineText(0), lineText(1), lineText(2))) {
        replace(lineStart(1), lineEnd(1) - lineStart(1), dateLine);
    } else {
        QByteArray header = headerBlockText(dateLine);
        // An empty document has no first line: its one empty line is the header's fourth.
        if (m_text.isEmpty())
            header.chop(2);
        insert(0, header);
    }
    const LineEnds ends = m_lineEnds == LineEnds::Lf ? LineEnds::Lf : lineEndsOf(m_text);
    writeWholeFile(path, savedBytes(m_text, ends));
    m_lineEnds = ends;
    m_origin = {ScriptOrigin::File, path, {}, {}};
    setSavePoint();
    emit saved(path);
}

std::optional<qsizetype> ScriptDocument::commentLines(int first, int last) {
    std::optional<qsizetype> caret;
    for (int line = std::max(first, 0); line <= last && line < lineCount(); ++line) {
        const auto edit = commentEdit(lineText(line));
        if (!edit)
            continue;
        replace(lineStart(line) + edit->column, edit->removed, edit->inserted);
        caret = lineEnd(line);
    }
    return caret;
}

std::optional<qsizetype> ScriptDocument::uncommentLines(int first, int last) {
    std::optional<qsizetype> caret;
    for (int line = std::max(first, 0); line <= last && line < lineCount(); ++line) {
        const auto edit = uncommentEdit(lineText(line));
        if (!edit)
            continue;
        const qsizetype at = lineStart(line) + edit->column;
        replace(at, edit->removed, edit->inserted);
        caret = at + edit->inserted.size();
    }
    return caret;
}

void ScriptDocument::writeBackup() const {
    if (m_origin.kind != ScriptOrigin::File)
        throw Error::cannotCreate(backupPath(m_origin.path));
    marlix::writeBackup(m_origin.path, m_text);
}

void ScriptDocument::restoreBackup() {
    if (m_origin.kind != ScriptOrigin::File)
        throw Error::cannotOpen(backupPath(m_origin.path));
    replace(0, m_text.size(), readBackupText(m_origin.path));
}

QList<ObjectRow> ScriptDocument::objects() const {
    return scanObjects(TextView::whole(m_text));
}

} // namespace marlix
