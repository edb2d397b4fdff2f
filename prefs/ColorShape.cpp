#include "prefs/ColorShape.h"

#include "platform/ScreenColor.h"

#include <QMouseEvent>
#include <QPainter>

marlix::ColorShape::ColorShape(QWidget *parent) : QWidget(parent) {}

void marlix::ColorShape::setBrushColor(marlix::TColor color) {
    m_color = color;
    update();
}

QColor marlix::ColorShape::fillColor() const {
    return marlix::screenColor(m_color, palette().color(QPalette::WindowText), palette());
}

void marlix::ColorShape::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(fillColor());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void marlix::ColorShape::mouseReleaseEvent(QMouseEvent *event) {
    QWidget::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint()))
        emit mouseUp(event->button());
}
