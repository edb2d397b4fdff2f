#include "prefs/ColorShape.h"

#include "common/ScreenColor.h"

#include <QMouseEvent>
#include <QPainter>

ColorShape::ColorShape(QWidget *parent) : QWidget(parent) {}

void ColorShape::SetBrushColor(marlix::TColor color) {
    m_color = color;
    update();
}

QColor ColorShape::fillColor() const {
    return marlix::screenColor(m_color, palette().color(QPalette::WindowText), palette());
}

void ColorShape::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(fillColor());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorShape::mouseReleaseEvent(QMouseEvent *event) {
    QWidget::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint()))
        emit mouseUp(event->button());
}
