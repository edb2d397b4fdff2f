#pragma once

#include <memory>

class QsciScintilla;
class QsciScintillaBase;

namespace marlix {

// A copy of an editor's document for the printer: the same lines, styles and tab width, but
// in UTF-8, so that bytes 0x80-0x9F print as their Windows-1252 characters rather than as
// the boxes the 8-bit editor's platform layer would draw. The editor is left as it is.
std::unique_ptr<QsciScintilla> printableCopy(const QsciScintillaBase &editor);

} // namespace marlix
