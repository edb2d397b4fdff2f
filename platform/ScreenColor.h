#pragma once

#include "core/common/ColorText.h"

#include <QColor>
#include <QPalette>

namespace marlix {

// Turns a colour value into the colour shown on screen. clWindowText (and clDefault) stand
// for the given text colour; the other system colours are read from the palette at the
// moment of the call.
QColor screenColor(TColor color, const QColor &textColor, const QPalette &palette);

// The colour value of a screen colour: 0x00BBGGRR.
TColor colorValue(const QColor &color);

} // namespace marlix
