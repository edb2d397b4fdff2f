#pragma once

#include <QtGlobal>

namespace marlix {

// Readability of text colours, by the usual measure for screen text: the relative luminance of
// an sRGB colour and the ratio (L1 + 0.05) / (L2 + 0.05) of a lighter and a darker one, from
// 1 (the same) to 21 (black on white). 4.5 is the least for body text.
constexpr double ReadableContrast = 4.5;

// Colours as 0xRRGGBB; any higher byte is ignored.
double relativeLuminance(quint32 rgb);
double contrastRatio(quint32 first, quint32 second);

} // namespace marlix
