#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace marlix {

// Integer text as the settings files hold it: optional leading spaces, then either an optional
// sign and decimal digits in the 32-bit signed range, or a hex prefix ("$", "x", "X", "0x",
// "0X", no sign) and hex digits that fit in 32 bits, taken as the bit pattern. Nothing may
// follow the digits; an empty text is not an integer.
std::optional<std::int32_t> parseInt(const QString &text);

// As parseInt, but throws Error::notInteger with the text when it is not an integer.
std::int32_t StrToInt(const QString &text);

} // namespace marlix
