#include "editor/Windows1252Overlay.h"

#include "core/script/CellColors.h"
#include "core/script/Windows1252.h"
#include "editor/ScintillaText.h"
#include "platform/ScreenColor.h"

#include <Qsci/qsciscintillabase.h>

#include <QFontMetricsF>
#include <QPainter>

namespace marlix {

namespace {

using Sci = QsciScintillaBase;

QColor toQColor(long bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

bool isBoxIndicator(long style) {
    return style == Sci::INDIC_ROUNDBOX || style == Sci::INDIC_STRAIGHTBOX ||
           style == Sci::INDIC_FULLBOX;
}

} // namespace

long Windows1252Overlay::send(unsigned int msg, unsigned long w, long l) const {
    return m_editor.SendScintilla(msg, w, l);
}

Windows1252Overlay::Range Windows1252Overlay::visibleRange(const QRect &rect) const {
    const QRect area = rect & m_editor.viewport()->rect();
    if (area.isEmpty())
        return {};
    // The nearest positions to the rectangle's first and last rows: at the left edge the
    // start of its first display line, at the right edge the end of its last.
    const qsizetype from = send(Sci::SCI_POSITIONFROMPOINT, 0, area.top());
    const qsizetype last =
        send(Sci::SCI_POSITIONFROMPOINT, static_cast<unsigned long>(m_editor.viewport()->width()),
             area.bottom());
    return {from, std::min<qsizetype>(send(Sci::SCI_GETLENGTH), last + 1)};
}

void Windows1252Overlay::paint(const QRect &rect) {
    const Range range = visibleRange(rect);
    if (range.to <= range.from)
        return;
    const QByteArray bytes = ScintillaText(m_editor).bytes(range.from, range.to);
    const QList<qsizetype> offsets = windows1252Offsets(bytes.constData(), bytes.size());
    if (offsets.isEmpty())
        return;

    int textLeft = int(send(Sci::SCI_GETMARGINLEFT));
    for (int margin = 0; margin < 5; ++margin)
        textLeft += int(send(Sci::SCI_GETMARGINWIDTHN, static_cast<unsigned long>(margin)));
    const int textRight = m_editor.viewport()->width() - int(send(Sci::SCI_GETMARGINRIGHT));
    QRegion region(rect & QRect(textLeft, rect.top(), textRight - textLeft, rect.height()));
    region -= caretRect();

    QPainter painter(m_editor.viewport());
    painter.setClipRegion(region);
    m_looks.clear();
    const Frame shared = frame();
    for (const qsizetype offset : offsets) {
        const Cell cell = cellAt(range.from + offset);
        if (region.intersects(cell.rect))
            drawCell(painter, shared, cell,
                     windows1252Character(static_cast<unsigned char>(bytes[offset])));
    }
}

int Windows1252Overlay::styleAt(unsigned long pos) const {
    // The control hands a style over as a signed byte: the twins above 127 would come back
    // negative.
    return int(send(Sci::SCI_GETSTYLEAT, pos)) & 0xFF;
}

Windows1252Overlay::Cell Windows1252Overlay::cellAt(qsizetype pos) const {
    const auto at = static_cast<unsigned long>(pos);
    const int x = int(send(Sci::SCI_POINTXFROMPOSITION, 0, long(pos)));
    const int y = int(send(Sci::SCI_POINTYFROMPOSITION, 0, long(pos)));
    const int height = int(send(Sci::SCI_TEXTHEIGHT, 0));
    const int style = styleAt(at);
    const int nextX = int(send(Sci::SCI_POINTXFROMPOSITION, 0, long(pos + 1)));
    const int nextY = int(send(Sci::SCI_POINTYFROMPOSITION, 0, long(pos + 1)));
    int width = nextX - x;
    if (nextY != y || width <= 0) {
        // The last character of a wrapped display line: its own width in its style.
        const char byte[2] = {char(send(Sci::SCI_GETCHARAT, at)), 0};
        width = int(
            m_editor.SendScintilla(Sci::SCI_TEXTWIDTH, static_cast<unsigned long>(style), byte));
    }
    return {pos, QRect(x, y, width, height), style};
}

QRect Windows1252Overlay::caretRect() const {
    const long caretStyle = send(Sci::SCI_GETCARETSTYLE);
    if (!m_editor.hasFocus() || caretStyle == Sci::CARETSTYLE_INVISIBLE)
        return {};
    const long caret = send(Sci::SCI_GETCURRENTPOS);
    const Cell next = cellAt(caret);
    const QRect &r = next.rect;
    if (caretStyle == Sci::CARETSTYLE_BLOCK)
        return r;
    if (send(Sci::SCI_GETOVERTYPE))
        return QRect(r.left(), r.bottom() - 1, r.width(), 2); // a bar under the next character
    // Scintilla draws the line from its position rounded after moving it back half a pixel:
    // at the whole pixel the position starts in, or one before when it starts on a pixel's
    // edge. Only then is the character at that pixel already the one after the caret.
    const int width = int(send(Sci::SCI_GETCARETWIDTH));
    const bool onEdge = send(Sci::SCI_CHARPOSITIONFROMPOINT, static_cast<unsigned long>(r.left()),
                             r.top()) == caret;
    return QRect(onEdge ? r.left() - 1 : r.left(), r.top(), width, r.height());
}

Windows1252Overlay::Frame Windows1252Overlay::frame() const {
    Frame frame;
    const bool focused = m_editor.hasFocus();
    // The editor hides its selection while it does not have the focus.
    if (focused) {
        const long count = send(Sci::SCI_GETSELECTIONS);
        for (long n = 0; n < count; ++n) {
            const auto i = static_cast<unsigned long>(n);
            frame.selections.append(
                {send(Sci::SCI_GETSELECTIONNSTART, i), send(Sci::SCI_GETSELECTIONNEND, i)});
        }
    }
    // The selection colours are the ones QScintilla takes from the palette.
    const QPalette palette = m_editor.palette();
    CellState &base = frame.base;
    base.selectionBack = colorValue(palette.color(QPalette::Active, QPalette::Highlight));
    base.selectionFore = colorValue(palette.color(QPalette::Active, QPalette::HighlightedText));
    base.selectionAlpha = int(send(Sci::SCI_GETSELALPHA));
    if (send(Sci::SCI_GETCARETLINEVISIBLE) &&
        (focused || send(Sci::SCI_GETCARETLINEVISIBLEALWAYS))) {
        const auto caret = static_cast<unsigned long>(send(Sci::SCI_GETCURRENTPOS));
        frame.caretLine = int(send(Sci::SCI_LINEFROMPOSITION, caret));
        base.caretLineBack = TColor(send(Sci::SCI_GETCARETLINEBACK));
        base.caretLineAlpha = int(send(Sci::SCI_GETCARETLINEBACKALPHA));
    }
    return frame;
}

const Windows1252Overlay::Look &Windows1252Overlay::look(int style) {
    auto found = m_looks.find(style);
    if (found != m_looks.end())
        return *found;
    const auto s = static_cast<unsigned long>(style);
    char family[256] = {};
    if (m_editor.SendScintilla(Sci::SCI_STYLEGETFONT, s, static_cast<void *>(family)) >=
        long(sizeof(family)))
        family[0] = 0;
    QFont font;
    font.setFamily(QString::fromLatin1(family));
    font.setPointSizeF(send(Sci::SCI_STYLEGETSIZEFRACTIONAL, s) /
                       double(Sci::SC_FONT_SIZE_MULTIPLIER));
    font.setWeight(QFont::Weight(send(Sci::SCI_STYLEGETWEIGHT, s)));
    font.setItalic(send(Sci::SCI_STYLEGETITALIC, s));
    const Look look{font, QFontMetricsF(font).ascent(), TColor(send(Sci::SCI_STYLEGETFORE, s)),
                    TColor(send(Sci::SCI_STYLEGETBACK, s)),
                    bool(send(Sci::SCI_STYLEGETUNDERLINE, s))};
    return *m_looks.insert(style, look);
}

CellState Windows1252Overlay::stateAt(qsizetype pos, const Frame &frame) {
    const auto at = static_cast<unsigned long>(pos);
    const Look &style = look(styleAt(at));
    CellState state = frame.base;
    state.styleFore = style.fore;
    state.styleBack = style.back;
    for (const Range &selection : frame.selections)
        state.selected = state.selected || (selection.from <= pos && pos < selection.to);
    state.onCaretLine =
        frame.caretLine >= 0 && send(Sci::SCI_LINEFROMPOSITION, at) == frame.caretLine;
    const auto indicators = static_cast<unsigned long>(send(Sci::SCI_INDICATORALLONFOR, at));
    for (unsigned long i = 0; indicators >> i; ++i)
        if (indicators & (1UL << i) && isBoxIndicator(send(Sci::SCI_INDICGETSTYLE, i)))
            state.tints.append({TColor(send(Sci::SCI_INDICGETFORE, i)),
                                int(send(Sci::SCI_INDICGETALPHA, i)),
                                !send(Sci::SCI_INDICGETUNDER, i)});
    return state;
}

void Windows1252Overlay::drawCell(QPainter &painter, const Frame &frame, const Cell &cell,
                                  char16_t character) {
    const CellColors colors = cellColors(stateAt(cell.pos, frame));
    const QRect &r = cell.rect;
    painter.fillRect(r, toQColor(long(colors.back)));
    // Positions are whole pixels here but fractions in Scintilla, so the box's right edge can
    // reach one pixel column into the next cell; that column gets the next cell's background.
    painter.fillRect(QRect(r.right() + 1, r.top(), 1, r.height()),
                     toQColor(long(cellColors(stateAt(cell.pos + 1, frame)).back)));

    const Look &style = look(cell.style);
    // Scintilla puts the baseline at the whole pixels of the ascent below the line's top.
    const int baseline = r.top() + int(send(Sci::SCI_GETEXTRAASCENT)) + int(style.ascent);
    const QColor fore = toQColor(long(colors.fore));
    if (style.underline)
        painter.fillRect(QRect(r.left(), baseline + 1, r.width(), 1), fore);

    const QString text(QChar{character});
    const qreal advance = QFontMetricsF(style.font).horizontalAdvance(text);
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    painter.setFont(style.font);
    painter.setPen(fore);
    painter.translate(r.left(), baseline);
    // A character wider than the cell is narrowed to fit: it never spills onto its neighbours.
    // Cells are whole pixels, so one within a pixel of the character's width is only centred.
    const bool narrowed = advance > r.width() + 1;
    if (narrowed)
        painter.scale(r.width() / advance, 1.0);
    painter.drawText(QPointF(narrowed ? 0.0 : (r.width() - advance) / 2, 0), text);
    painter.restore();
}

} // namespace marlix
