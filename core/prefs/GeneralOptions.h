#pragma once

#include <QStringList>

namespace marlix {

// The general options, in the line order of marlix.ini: six, then the line-number margin. A
// new dialog has all of them on, dark text on a light background included.
struct GeneralOptions {
    bool autoPopulate = true;
    bool autoHighlight = true;
    bool darkText = true; // off: light text on a dark background
    bool autoUpdate = true;
    bool intellisense = true;
    bool highlighting = true;
    bool lineNumbers = true; // the seventh line, written only when off

    bool operator==(const GeneralOptions &other) const;
};

// The lines marlix.ini can mean: the six options and the line numbers.
constexpr qsizetype OptionLineCount = 7;

// Line k sets option k; only the exact line "1" is on. Options without a line keep their
// state, lines after the seventh are ignored.
void applyOptionLines(const QStringList &lines, GeneralOptions &options);

// Lines "1" or "0", in file order: the six first options, and a seventh only when the line
// numbers are off, so that a file of someone who never hid them stays as it always was.
QStringList optionLines(const GeneralOptions &options);

} // namespace marlix
