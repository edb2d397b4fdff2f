#pragma once

#include <QHash>
#include <QList>
#include <cstdint>
#include <optional>

// The numbering of the text styles that carry the colours: style 0 is black, every other
// colour gets the next free style the first time it is used. The editor control keeps styles
// 32 to 39 for itself (default, line numbers, braces...) and the styles from 128 on are the
// twins of the colour styles (TwinStyles.h); once every style is in use, further colours share
// the last one.
namespace marlix {

class StyleTable {
public:
    static constexpr int firstReservedStyle = 32;
    static constexpr int lastReservedStyle = 39;
    static constexpr int lastStyle = 127;
    static constexpr std::uint32_t black = 0xFF000000u; // opaque black as 0xAARRGGBB

    // The style of an 0xAARRGGBB colour; `added` tells whether the colour got a style of its own
    // just now (the control then needs the colour for it).
    int styleFor(std::uint32_t argb, bool *added = nullptr);
    // One past the highest style number given out.
    int count() const { return int(m_colors.size()); }
    // The colour of a style, none for the reserved ones and those not given out.
    std::optional<std::uint32_t> colorOf(int style) const;

private:
    QList<std::optional<std::uint32_t>> m_colors{black}; // by style
    QHash<std::uint32_t, int> m_styles;
};

} // namespace marlix
