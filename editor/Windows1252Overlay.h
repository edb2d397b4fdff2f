#pragma once

#include "core/script/CellColors.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QRect>

class QPainter;
class QsciScintillaBase;

// Draws bytes 0x80-0x9F as their Windows-1252 characters over the cells Scintilla painted
// for them. In 8-bit mode Scintilla's platform layer turns each byte into the Latin-1
// character of the same number, so those bytes would show as the empty boxes of control
// characters. The document and its byte offsets stay as they are; only the picture changes.
namespace marlix {

class Windows1252Overlay {
public:
    explicit Windows1252Overlay(QsciScintillaBase &editor) : m_editor(editor) {}

    // Run after Scintilla painted this part of the viewport.
    void paint(const QRect &rect);

    // The document range whose characters can show inside the viewport's rectangle: only
    // these bytes are looked at.
    struct Range {
        qsizetype from = 0;
        qsizetype to = 0;
    };
    Range visibleRange(const QRect &rect) const;

private:
    struct Cell {
        qsizetype pos;
        QRect rect;
        int style;
    };
    // What stays the same for every cell of one paint.
    struct Frame {
        CellState base; // selection and caret line colours
        QList<Range> selections;
        int caretLine = -1; // the line whose background is the caret line's, if shown
    };
    struct Look {
        QFont font;
        qreal ascent;
        TColor fore, back;
        bool underline;
    };
    long send(unsigned int msg, unsigned long w = 0, long l = 0) const;
    Cell cellAt(qsizetype pos) const;
    int styleAt(unsigned long pos) const;
    QRect caretRect() const;
    Frame frame() const;
    CellState stateAt(qsizetype pos, const Frame &frame);
    void drawCell(QPainter &painter, const Frame &frame, const Cell &cell, char16_t character);
    const Look &look(int style);

    QsciScintillaBase &m_editor;
    QHash<int, Look> m_looks; // for one paint: styles change between paints
};

} // namespace marlix
