#pragma once

#include "core/script/CommentEdit.h"

#include <QByteArrayList>
#include <QList>
#include <optional>

// The comment key: one keystroke that comments a group of lines or, when every one of them is
// commented already, uncomments them, so that pressing it twice gives back the text.
namespace marlix {

// Whether a line's first word is "rem" (letter case ignored): a line commented out, as
// opposed to one that merely holds a remark after its code.
bool startsWithRem(const QByteArray &lineText);

// The edits, one per line (none for a line left alone). When every line that holds more than
// blanks starts with rem, each loses that rem and the one blank after it; otherwise each such
// line that does not start with rem gets "rem " in front. Blank lines are left alone unless
// all lines are blank, in which case each is commented.
QList<std::optional<LineEdit>> commentToggleEdits(const QByteArrayList &lines);

} // namespace marlix
