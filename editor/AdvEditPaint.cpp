// The editor's painting: Scintilla's, then the Windows-1252 characters over their cells.
#include "editor/AdvEdit.h"

#include <QPaintEvent>

void TAdvEdit::paintEvent(QPaintEvent *e) {
    flushEdits(); // an edit not yet coloured (a command of the main window's) is, before it shows
    colorLinesInView(); // lines of a large script the slices have not reached yet
    QsciScintilla::paintEvent(e);
    m_windows1252.paint(e->rect());
}
