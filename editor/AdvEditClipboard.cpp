// The editor's text on the clipboard and in drags: bytes 0x80-0x9F travel as the Windows-1252
// characters they show as, so a copied euro sign is a euro sign in any other program, and
// typographic quotes pasted from elsewhere become the bytes a script written on Windows holds.
#include "editor/AdvEdit.h"

#include "core/script/Windows1252.h"

#include <QMimeData>

using namespace marlix;

QMimeData *TAdvEdit::toMimeData(const QByteArray &text, bool rectangular) const {
    QMimeData *data = QsciScintilla::toMimeData(text, rectangular);
    data->setText(windows1252Text(text));
    return data;
}

QByteArray TAdvEdit::fromMimeData(const QMimeData *source, bool &rectangular) const {
    // The control's own reading tells whether the text is a rectangular block.
    QsciScintilla::fromMimeData(source, rectangular);
    return windows1252BytesOrMarks(source->text());
}
