#include "core/script/StyleTable.h"

namespace marlix {

int StyleTable::styleFor(std::uint32_t argb, bool *added) {
    if (added)
        *added = false;
    if (argb == black)
        return 0;
    if (auto it = m_styles.constFind(argb); it != m_styles.constEnd())
        return it.value();
    int style = count();
    if (style == firstReservedStyle)
        style = lastReservedStyle + 1;
    if (style > lastStyle)
        return lastStyle;
    while (m_colors.size() < style)
        m_colors.append(std::nullopt);
    m_colors.append(argb);
    m_styles.insert(argb, style);
    if (added)
        *added = true;
    return style;
}

std::optional<std::uint32_t> StyleTable::colorOf(int style) const {
    return style >= 0 && style < m_colors.size() ? m_colors[style] : std::nullopt;
}

} // namespace marlix
