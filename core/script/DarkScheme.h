#pragma once

#include "core/common/ColorText.h"

// "Light Text on Dark Background": the highlighting table's colours on a dark editor. A table
// written for a white page holds dark colours (navy, maroon, black) that vanish on a dark
// one, so each colour too close to the background is lightened until it reads, keeping its
// hue and saturation. Colours here are plain RGB values (0x00BBGGRR); system colours are
// resolved before they come here.
namespace marlix {

constexpr TColor darkSchemeBackground = 0x1E1E1E;
constexpr TColor darkSchemeText = 0xD4D4D4; // the text no phrase colours

// The contrast ratio of two table colours (0x00BBGGRR), by the measure of common/Contrast.
double colorContrast(TColor a, TColor b);

// The colour unchanged when its contrast to the background is at least `minimum`, else the
// colour of the same hue and saturation with the least lightness that reaches it (white when
// none does).
TColor readableOn(TColor color, TColor background, double minimum = 3.0);

} // namespace marlix
