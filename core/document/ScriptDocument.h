#pragma once

#include "core/script/ObjectScan.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <optional>
#include <vector>

// One script without a window: its bytes, where it came from, whether it changed since it was
// loaded or saved, and the edits made to it. Every change is one edit (position, removed,
// inserted), announced to whoever follows the document (a view, the index, the problems, the
// language server). The bytes are 8-bit and kept as they are: no character is ever converted.
namespace marlix {

struct ScriptOrigin {
    enum Kind { Untitled, File, ArchiveEntry };
    Kind kind = Untitled;
    QString path;    // File: the script's path
    QString archive; // ArchiveEntry: the archive's path
    QString entry;   // ArchiveEntry: the entry's name inside it
};

struct ScriptEdit {
    qsizetype position = 0;
    QByteArray removed;
    QByteArray inserted;
};

class ScriptDocument : public QObject {
    Q_OBJECT
public:
    enum class LineEnds { CrLf, Lf };

    explicit ScriptDocument(QObject *parent = nullptr);

    // The file's lines, as opening a script puts them into the editor: CR LF between them, a
    // line end after the last line adds no line. A file whose line ends are all LF is saved
    // with LF again. Throws Error::cannotOpen; the document is then left as it was.
    void loadFile(const QString &path);
    // The bytes exactly as given, unchanged (an untitled document, an archive entry, or the
    // text an editor elsewhere holds); the save point is set to them.
    void setText(const QByteArray &text, const ScriptOrigin &origin = {});

    const QByteArray &text() const { return m_text; }
    qsizetype size() const { return m_text.size(); }
    const ScriptOrigin &origin() const { return m_origin; }
    LineEnds lineEnds() const { return m_lineEnds; }
    // Changed exactly when the text differs from the last load or save.
    bool isModified() const;

    // Replaces `removed` bytes at `position` with `inserted`; both are clipped to the text.
    // Nothing happens (and nothing is announced) for an edit that changes nothing.
    void replace(qsizetype position, qsizetype removed, const QByteArray &inserted);
    void insert(qsizetype position, const QByteArray &bytes) { replace(position, 0, bytes); }
    void remove(qsizetype position, qsizetype length) { replace(position, length, {}); }

    // Lines split at CR LF, a lone CR or a lone LF; a text ending in a line end has an empty
    // last line; an empty text has one empty line. Lines count from 0.
    int lineCount() const;
    qsizetype lineStart(int line) const;
    qsizetype lineEnd(int line) const; // before the line's end characters
    int lineOfPosition(qsizetype position) const;
    QByteArray lineText(int line) const;

    // Writes the header block into the text (or refreshes its date line) and then the text,
    // whole or not at all, to `path`: every line followed by CR LF, or by LF when the script's
    // line ends are all LF. Afterwards the document comes from that file and is unchanged.
    // Throws Error::cannotCreate; the header change then stays and the document stays changed.
    void save(const QString &path, const QDateTime &when = QDateTime::currentDateTime());

    // "rem " in front of every line from `first` to `last` that does not hold the word rem;
    // the first rem and the character after it taken out. Return where the caret goes after
    // the last changed line, or nothing when no line changed.
    std::optional<qsizetype> commentLines(int first, int last);
    std::optional<qsizetype> uncommentLines(int first, int last);

    // The backup beside the script's file (name.bcon); the document must come from a file.
    // Throws Error::cannotCreate / Error::cannotOpen.
    void writeBackup() const;
    // The backup's text replaces the whole text as one edit.
    void restoreBackup();

    QList<ObjectRow> objects() const;

signals:
    void edited(const marlix::ScriptEdit &edit);
    void saved(const QString &path);

private:
    void setSavePoint();
    void ensureLines() const;

    QByteArray m_text;
    QByteArray m_savedText;
    ScriptOrigin m_origin;
    LineEnds m_lineEnds = LineEnds::CrLf;
    mutable std::vector<qsizetype> m_lineStarts; // empty: to be counted again
};

// The line ends a text's own lines use: LF when it holds line ends and all are lone LF.
ScriptDocument::LineEnds lineEndsOf(const QByteArray &bytes);

// The bytes a save writes for a text: every line (as the document counts them) followed by
// the line end.
QByteArray savedBytes(const QByteArray &text, ScriptDocument::LineEnds ends);

} // namespace marlix
