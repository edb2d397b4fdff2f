#pragma once

#include "core/common/ColorText.h"

#include <QList>
#include <optional>

// What Scintilla paints in one character's cell, for a character drawn over that cell
// afterwards to look like the text around it. Colours are 0x00BBGGRR; an alpha runs from 0
// to 255, and cellOpaque (Scintilla's "no alpha") means the colour replaces what is below.
namespace marlix {

constexpr int cellOpaque = 256;

// The fill of a box indicator: under the text it tints the background only, over the text
// the character as well.
struct CellTint {
    TColor color = 0;
    int alpha = cellOpaque;
    bool overText = false;
};

struct CellState {
    TColor styleFore = clBlack;
    TColor styleBack = clWhite;
    bool selected = false; // inside a selection that is shown
    TColor selectionBack = 0;
    std::optional<TColor> selectionFore;
    int selectionAlpha = cellOpaque;
    bool onCaretLine = false; // on the caret's line, with its background shown
    TColor caretLineBack = 0;
    int caretLineAlpha = cellOpaque;
    QList<CellTint> tints; // in the order Scintilla draws them
};

struct CellColors {
    TColor back;
    TColor fore;
};

CellColors cellColors(const CellState &cell);

// `over` laid on `under` with the alpha (0-255; cellOpaque or more gives `over`).
TColor blendColor(TColor under, TColor over, int alpha);

} // namespace marlix
