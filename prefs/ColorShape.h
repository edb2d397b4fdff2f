#pragma once

#include "core/common/ColorText.h"

#include <QWidget>

// A rectangle with a solid fill of a colour value, raising mouseUp when a mouse button is
// released over it. The fill keeps the colour value itself (a system colour stays one), and
// shows it in the colour it stands for on screen.
namespace marlix {

class ColorShape : public QWidget {
    Q_OBJECT
public:
    explicit ColorShape(QWidget *parent);

    marlix::TColor brushColor() const { return m_color; }
    void setBrushColor(marlix::TColor color);
    QColor fillColor() const; // on screen

signals:
    void mouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    marlix::TColor m_color = marlix::clWhite;
};

} // namespace marlix
