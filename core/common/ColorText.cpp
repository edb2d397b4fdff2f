#include "core/common/ColorText.h"

#include "core/common/IntText.h"

#include <array>

namespace marlix {

namespace {

struct NamedColor {
    const char *name;
    TColor value;
};

constexpr TColor sys(int index) {
    return clSystemColor | TColor(index);
}

constexpr std::array<NamedColor, 49> kNamedColors{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", sys(0)},
    {"clBackground", sys(1)},
    {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)},
    {"clMenu", sys(4)},
    {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)},
    {"clMenuText", sys(7)},
    {"clWindowText", sys(8)},
    {"clCaptionText", sys(9)},
    {"clActiveBorder", sys(10)},
    {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)},
    {"clHighlight", sys(13)},
    {"clHighlightText", sys(14)},
    {"clBtnFace", sys(15)},
    {"clBtnShadow", sys(16)},
    {"clGrayText", sys(17)},
    {"clBtnText", sys(18)},
    {"clInactiveCaptionText", sys(19)},
    {"clBtnHighlight", sys(20)},
    {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)},
    {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},
    {"clGradientActiveCaption", sys(27)},
    {"clGradientInactiveCaption", sys(28)},
    {"clNone", clNone},
    {"clDefault", clDefault},
}};

bool equalsIgnoringAsciiCase(const QString &text, const char *name) {
    qsizetype i = 0;
    for (; name[i]; ++i) {
        if (i >= text.size())
            return false;
        char16_t a = text[i].unicode();
        char16_t b = static_cast<unsigned char>(name[i]);
        if (a >= 'A' && a <= 'Z')
            a += 'a' - 'A';
        if (b >= 'A' && b <= 'Z')
            b += 'a' - 'A';
        if (a != b)
            return false;
    }
    return i == text.size();
}

} // namespace

std::optional<QString> colorIdentifier(TColor color) {
    for (const NamedColor &named : kNamedColors)
        if (named.value == color)
            return QString::fromLatin1(named.name);
    return std::nullopt;
}

std::optional<TColor> identifierColor(const QString &text) {
    for (const NamedColor &named : kNamedColors)
        if (equalsIgnoringAsciiCase(text, named.name))
            return named.value;
    return std::nullopt;
}

TColor StringToColor(const QString &text) {
    if (const std::optional<TColor> named = identifierColor(text))
        return *named;
    return static_cast<TColor>(StrToInt(text));
}

QString colorToString(TColor color) {
    if (const std::optional<QString> name = colorIdentifier(color))
        return *name;
    return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace marlix
