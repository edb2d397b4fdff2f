#include "platform/ScreenColor.h"

namespace marlix {

namespace {

QColor systemColor(int index, const QColor &textColor, const QPalette &p) {
    switch (index) {
    case 0:  // scroll bar
    case 15: // button face
    case 4:  // menu
        return p.color(QPalette::Button);
    case 1:  // desktop
    case 12: // application work space
        return p.color(QPalette::Dark);
    case 2:  // active caption
    case 13: // highlight
    case 27: // gradient active caption
        return p.color(QPalette::Highlight);
    case 3: // inactive caption
    case 28:
        return p.color(QPalette::Inactive, QPalette::Highlight);
    case 5: // window background
        return p.color(QPalette::Base);
    case 6:  // window frame
    case 21: // 3D dark shadow
        return p.color(QPalette::Shadow);
    case 7:  // menu text
    case 18: // button text
        return p.color(QPalette::ButtonText);
    case 8: // window text
        return textColor;
    case 9:  // caption text
    case 14: // highlighted text
        return p.color(QPalette::HighlightedText);
    case 10:
    case 11:
    case 22: // 3D light
        return p.color(QPalette::Midlight);
    case 16: // button shadow
        return p.color(QPalette::Mid);
    case 17: // grey text
        return p.color(QPalette::Disabled, QPalette::Text);
    case 19:
        return p.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: // button highlight
        return p.color(QPalette::Light);
    case 23: // tool tip text
        return p.color(QPalette::ToolTipText);
    case 24: // tool tip background
        return p.color(QPalette::ToolTipBase);
    default:
        return textColor;
    }
}

} // namespace

QColor screenColor(TColor color, const QColor &textColor, const QPalette &palette) {
    if (color == clDefault || color == clNone)
        return textColor;
    if (color & clSystemColor)
        return systemColor(int(color & 0xFF), textColor, palette);
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor colorValue(const QColor &color) {
    return TColor(color.red()) | (TColor(color.green()) << 8) | (TColor(color.blue()) << 16);
}

} // namespace marlix
