#include "app/SchemeColors.h"

#include "core/script/DarkScheme.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"

#include <QApplication>
#include <QWidget>

namespace marlix {

namespace {

// The find bar's indicators: Scintilla leaves 8 to 31 to its containers.
constexpr int matchIndicator = 8;
constexpr int currentIndicator = 9;

QColor rgb(TColor value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// White text on these blues reads at 7.9:1 (light) and 8.5:1 (dark); the desktop's own
// highlight often reads at less than 4:1.
const QColor lightSelection(0x00, 0x50, 0xA0);
const QColor darkSelection(0x26, 0x4F, 0x78);

struct MarkColors {
    long color; // 0x00BBGGRR
    int alpha;
    int outlineAlpha;
};

// Gold for every match, orange for the current one. On white they lie pale under black text;
// on the dark background they must stay dim enough for the light text to read on them.
constexpr MarkColors lightMatch{0x00D7FF, 110, 110};
constexpr MarkColors lightCurrent{0x0080FF, 160, 255};
constexpr MarkColors darkMatch{0x00D7FF, 60, 60};
constexpr MarkColors darkCurrent{0x0080FF, 100, 100};

void setMark(TAdvEdit *editor, int indicator, const MarkColors &mark) {
    EditorView(editor).setMarkColor(indicator, mark.color, mark.alpha, mark.outlineAlpha);
}

} // namespace

void applySelectionColors(TAdvEdit *editor, bool dark) {
    const QColor back = dark ? darkSelection : lightSelection;
    const QColor fore = Qt::white;
    // The palette is where the editor's own drawing of single characters looks for them.
    QPalette palette = editor->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, back);
        palette.setColor(group, QPalette::HighlightedText, fore);
    }
    editor->setPalette(palette);
    editor->setSelectionBackgroundColor(back);
    editor->setSelectionForegroundColor(fore);
}

void applyFindMarkColors(TAdvEdit *editor, bool dark) {
    setMark(editor, matchIndicator, dark ? darkMatch : lightMatch);
    setMark(editor, currentIndicator, dark ? darkCurrent : lightCurrent);
}

QPalette panelPalette(bool dark) {
    QPalette palette = QApplication::palette();
    if (!dark)
        return palette;
    const QColor back = rgb(darkSchemeBackground);
    const QColor text = rgb(darkSchemeText);
    const QColor frame(0x2D, 0x2D, 0x30);
    const QColor dimmed(0x9D, 0x9D, 0x9D); // 6.4:1 on the background
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        palette.setColor(group, QPalette::Window, frame);
        palette.setColor(group, QPalette::Base, back);
        palette.setColor(group, QPalette::AlternateBase, QColor(0x25, 0x25, 0x26));
        palette.setColor(group, QPalette::Button, frame);
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
            palette.setColor(group, role, disabled ? dimmed : text);
        palette.setColor(group, QPalette::PlaceholderText, dimmed);
        palette.setColor(group, QPalette::Highlight, darkSelection);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Light, QColor(0x3F, 0x3F, 0x46));
        palette.setColor(group, QPalette::Midlight, QColor(0x33, 0x33, 0x37));
        palette.setColor(group, QPalette::Mid, QColor(0x25, 0x25, 0x26));
        palette.setColor(group, QPalette::Dark, QColor(0x1A, 0x1A, 0x1A));
        palette.setColor(group, QPalette::Shadow, Qt::black);
        palette.setColor(group, QPalette::Link, QColor(0x4F, 0xC1, 0xFF));
    }
    return palette;
}

void applyPanelScheme(QWidget *panel, bool dark) {
    if (!panel)
        return;
    if (dark) {
        panel->setPalette(panelPalette(true));
        panel->setAutoFillBackground(true);
    } else {
        // Back to what the panel inherits: the desktop's colours.
        panel->setPalette(QPalette());
        panel->setAutoFillBackground(false);
    }
}

} // namespace marlix
