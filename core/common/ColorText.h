#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace marlix {

// A colour value: 0x00BBGGRR for a plain colour (red in the low byte), 0x80000000 plus an
// index for a system colour, and the two special values below.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The identifier of a colour ("clRed"), or nothing for a colour without one.
std::optional<QString> colorIdentifier(TColor color);
// The colour an identifier names, comparing ASCII letters without regard to case.
std::optional<TColor> identifierColor(const QString &text);

// Colour text: an identifier, else an integer (StrToInt rules); throws Error::notInteger.
TColor StringToColor(const QString &text);
// The identifier when the colour has one, otherwise "$" and eight upper-case hex digits.
QString colorToString(TColor color);

} // namespace marlix
