// The editor's switches from the preferences, its colour scheme, and the recolouring after
// edits made by commands rather than typing.
#include "editor/AdvEdit.h"

#include "core/script/DarkScheme.h"
#include "platform/ScreenColor.h"

using namespace marlix;

namespace {
QColor tableColor(TColor value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}
} // namespace

QColor TAdvEdit::schemeColor(const QColor &color) const {
    if (!m_darkScheme)
        return color;
    // Black is the colour of text no phrase coloured: the scheme's own text colour.
    if (color == QColor(Qt::black))
        return tableColor(darkSchemeText);
    return tableColor(readableOn(colorValue(color), darkSchemeBackground));
}

void TAdvEdit::setDarkScheme(bool dark) {
    if (dark == m_darkScheme)
        return;
    m_darkScheme = dark;
    const TColor back = dark ? darkSchemeBackground : clWhite;
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, long(colorValue(schemeColor(Qt::black))));
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, long(back));
    SendScintilla(SCI_SETCARETFORE, long(dark ? darkSchemeText : clBlack));
    // Every style starts again from the default, then takes its phrase colour.
    applyFontToStyles();
}

void TAdvEdit::recolorRange(qsizetype from, qsizetype to) {
    colorLines(lineOfPosition(from), lineOfPosition(std::max(from, to)));
}
