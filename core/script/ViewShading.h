#pragma once

#include "core/common/ColorText.h"

// The shades the editor adds around the text: the caret's line and the margin of line
// numbers and fold marks, one set per scheme (0x00BBGGRR). The dark scheme shades the caret's
// line darker than its page, so every colour made readable on the page reads better there.
namespace marlix {

struct ViewShading {
    TColor caretLine;
    TColor marginBack;
    TColor marginText;
    TColor foldMarkFore;
    TColor foldMarkBack;
};

constexpr ViewShading lightViewShading{0xFFF6EC, 0xF0F0F0, 0x6A6A6A, 0xFFFFFF, 0x707070};
constexpr ViewShading darkViewShading{0x111111, 0x252525, 0x9C9C9C, 0x252525, 0xA0A0A0};

} // namespace marlix
