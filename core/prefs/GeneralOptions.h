#pragma once

#include <QStringList>

namespace marlix {

// The six general options, in the line order of marlix.ini. A new dialog has all of them on,
// dark text on a light background included.
struct GeneralOptions {
    bool autoPopulate = true;
    bool autoHighlight = true;
    bool darkText = true; // off: light text on a dark background
    bool autoUpdate = true;
    bool intellisense = true;
    bool highlighting = true;

    bool operator==(const GeneralOptions &other) const;
};

constexpr qsizetype OptionLineCount = 6;

// Line k sets option k; only the exact line "1" is on. Options without a line keep their
// state, lines after the sixth are ignored.
void applyOptionLines(const QStringList &lines, GeneralOptions &options);

// Six lines "1" or "0", in file order.
QStringList optionLines(const GeneralOptions &options);

} // namespace marlix
