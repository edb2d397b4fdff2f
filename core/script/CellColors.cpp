#include "core/script/CellColors.h"

#include <algorithm>

namespace marlix {

TColor blendColor(TColor under, TColor over, int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    TColor mixed = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = int((under >> shift) & 0xFF);
        const int b = int((over >> shift) & 0xFF);
        mixed |= TColor((a * (255 - alpha) + b * alpha + 127) / 255) << shift;
    }
    return mixed;
}

CellColors cellColors(const CellState &cell) {
    // An opaque selection replaces the background, and wins over an opaque caret line; the
    // translucent ones are laid over the text once it is drawn.
    CellColors out{cell.styleBack, cell.styleFore};
    const bool solidSelection = cell.selected && cell.selectionAlpha >= cellOpaque;
    if (solidSelection)
        out.back = cell.selectionBack;
    else if (cell.onCaretLine && cell.caretLineAlpha >= cellOpaque)
        out.back = cell.caretLineBack;
    if (cell.selected && cell.selectionFore)
        out.fore = *cell.selectionFore;
    auto layOver = [&out](TColor color, int alpha) {
        out.back = blendColor(out.back, color, alpha);
        out.fore = blendColor(out.fore, color, alpha);
    };
    for (const CellTint &tint : cell.tints)
        if (!tint.overText)
            out.back = blendColor(out.back, tint.color, tint.alpha);
    if (cell.selected && !solidSelection)
        layOver(cell.selectionBack, cell.selectionAlpha);
    if (cell.onCaretLine && cell.caretLineAlpha < cellOpaque)
        layOver(cell.caretLineBack, cell.caretLineAlpha);
    for (const CellTint &tint : cell.tints)
        if (tint.overText)
            layOver(tint.color, tint.alpha);
    return out;
}

} // namespace marlix
