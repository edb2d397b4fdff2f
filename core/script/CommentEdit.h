#pragma once

#include <QByteArray>
#include <optional>

// Commenting and uncommenting one document line with the script keyword "rem".
namespace marlix {

// A change inside one line: remove `removed` bytes at `column`, then insert `inserted` there.
struct LineEdit {
    qsizetype column = 0;
    qsizetype removed = 0;
    QByteArray inserted;
};

// A line holding the word rem anywhere (letter case ignored) counts as commented and gets no
// edit; any other line gets "rem " in front.
std::optional<LineEdit> commentEdit(const QByteArray &lineText);

// Removes the first word rem and the character after it. The character is taken only when it
// is on the line: the line end is never removed, so lines are never joined.
std::optional<LineEdit> uncommentEdit(const QByteArray &lineText);

} // namespace marlix
