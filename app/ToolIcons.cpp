#include "app/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Muted colours keep the hue but lose most of its strength.
QColor tone(const QColor &color, bool hot) {
    if (hot)
        return color;
    const int grey = qGray(color.rgb());
    return QColor((color.red() + 2 * grey) / 3, (color.green() + 2 * grey) / 3,
                  (color.blue() + 2 * grey) / 3);
}

void page(QPainter &p, const QRectF &r, const QColor &fill, const QColor &line) {
    const qreal fold = 5;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(line, 1));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawPolyline(
        QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                   QPointF(r.right(), r.top() + fold)}));
}

void textLines(QPainter &p, const QRectF &r, const QColor &color, int count) {
    p.setPen(QPen(color, 1));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 7 + i * 3;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void arrow(QPainter &p, bool left, const QColor &color) {
    QPainterPath curve;
    if (left) {
        curve.moveTo(19, 18);
        curve.cubicTo(21, 8, 11, 5, 7, 10);
    } else {
        curve.moveTo(5, 18);
        curve.cubicTo(3, 8, 13, 5, 17, 10);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    if (left)
        p.drawPolygon(QPolygonF({QPointF(3, 6), QPointF(11, 7), QPointF(5, 14)}));
    else
        p.drawPolygon(QPolygonF({QPointF(21, 6), QPointF(13, 7), QPointF(19, 14)}));
}

void remMark(QPainter &p, bool hot, bool strike) {
    page(p, QRectF(4.5, 2.5, 15, 19), tone(QColor(255, 255, 240), hot),
         tone(QColor(90, 90, 90), hot));
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(tone(QColor(0, 128, 0), hot));
    p.drawText(QRectF(4, 6, 16, 10), Qt::AlignCenter, QStringLiteral("rem"));
    textLines(p, QRectF(4.5, 10, 15, 12), tone(QColor(60, 60, 160), hot), 2);
    if (strike) {
        p.setPen(QPen(tone(QColor(200, 30, 30), hot), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 20), QPointF(21, 4));
    }
}

} // namespace

QPixmap drawToolIcon(ToolIcon icon, bool hot) {
    QPixmap pixmap(ToolIconSize, ToolIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline = tone(QColor(70, 70, 70), hot);
    switch (icon) {
    case ToolIcon::New:
        page(p, QRectF(5.5, 2.5, 13, 19), tone(Qt::white, hot), outline);
        p.setPen(Qt::NoPen);
        p.setBrush(tone(QColor(255, 200, 0), hot));
        p.drawEllipse(QPointF(17, 17), 4, 4);
        break;
    case ToolIcon::Open:
        p.setPen(QPen(tone(QColor(150, 110, 20), hot), 1));
        p.setBrush(tone(QColor(240, 200, 90), hot));
        p.drawPolygon(QPolygonF({QPointF(2.5, 6.5), QPointF(9, 6.5), QPointF(11, 8.5),
                                 QPointF(19.5, 8.5), QPointF(19.5, 19.5), QPointF(2.5, 19.5)}));
        p.setBrush(tone(QColor(255, 225, 130), hot));
        p.drawPolygon(QPolygonF(
            {QPointF(5.5, 11.5), QPointF(22.5, 11.5), QPointF(19.5, 19.5), QPointF(2.5, 19.5)}));
        break;
    case ToolIcon::Save:
        p.setPen(QPen(tone(QColor(20, 40, 100), hot), 1));
        p.setBrush(tone(QColor(50, 90, 190), hot));
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        p.setBrush(tone(Qt::white, hot));
        p.drawRect(QRectF(6.5, 3.5, 11, 7));
        p.setBrush(tone(QColor(200, 200, 200), hot));
        p.drawRect(QRectF(7.5, 14.5, 9, 6));
        break;
    case ToolIcon::Undo:
        arrow(p, true, tone(QColor(30, 110, 200), hot));
        break;
    case ToolIcon::Redo:
        arrow(p, false, tone(QColor(30, 110, 200), hot));
        break;
    case ToolIcon::Cut: {
        const QColor blade = tone(QColor(110, 110, 120), hot);
        p.setPen(QPen(blade, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 3), QPointF(15, 15));
        p.drawLine(QPointF(16, 3), QPointF(9, 15));
        p.setPen(QPen(tone(QColor(200, 30, 30), hot), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(7, 18), 3.5, 3.5);
        p.drawEllipse(QPointF(17, 18), 3.5, 3.5);
        break;
    }
    case ToolIcon::Copy:
        page(p, QRectF(2.5, 2.5, 12, 15), tone(Qt::white, hot), outline);
        textLines(p, QRectF(2.5, 1, 12, 15), tone(QColor(60, 60, 160), hot), 3);
        page(p, QRectF(9.5, 7.5, 12, 15), tone(QColor(235, 245, 255), hot), outline);
        textLines(p, QRectF(9.5, 6, 12, 15), tone(QColor(60, 60, 160), hot), 4);
        break;
    case ToolIcon::Paste:
        p.setPen(QPen(tone(QColor(120, 80, 30), hot), 1));
        p.setBrush(tone(QColor(200, 150, 80), hot));
        p.drawRoundedRect(QRectF(3.5, 4.5, 14, 17), 2, 2);
        p.setBrush(tone(QColor(160, 160, 160), hot));
        p.drawRect(QRectF(7.5, 2.5, 6, 4));
        page(p, QRectF(10.5, 9.5, 11, 13), tone(Qt::white, hot), outline);
        textLines(p, QRectF(10.5, 8, 11, 13), tone(QColor(60, 60, 160), hot), 3);
        break;
    case ToolIcon::Comment:
        remMark(p, hot, false);
        break;
    case ToolIcon::UnComment:
        remMark(p, hot, true);
        break;
    case ToolIcon::Launch:
        p.setPen(QPen(tone(QColor(0, 90, 0), hot), 1));
        p.setBrush(tone(QColor(40, 170, 40), hot));
        p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
        p.setPen(Qt::NoPen);
        p.setBrush(tone(Qt::white, hot));
        p.drawPolygon(QPolygonF({QPointF(9, 7), QPointF(17, 12), QPointF(9, 17)}));
        break;
    }
    return pixmap;
}
