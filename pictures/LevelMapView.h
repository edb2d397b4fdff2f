#pragma once

#include "core/level/Level.h"

#include <QImage>
#include <QWidget>

class QPainter;

namespace marlix {

// The map of a level's game mode, seen from above: X to the right, Z up the screen. The
// terrain (or a plain grid), then the objects by kind, each kind a layer of its own, a scale
// bar in world units. The wheel zooms around the pointer, a drag pans, a click opens where
// an object is placed, and a drag with Ctrl held moves the selected object.
class LevelMapView : public QWidget {
    Q_OBJECT
public:
    enum Layer {
        Terrain = 1,
        ControlPoints = 2,
        SoldierSpawns = 4,
        ObjectSpawners = 8,
        StaticObjects = 16,
    };

    explicit LevelMapView(QWidget *parent = nullptr);

    // A new reading of the level; the view stays where it was unless `fit` is asked for, and
    // the selected object stays selected when it is still placed by the same line.
    void setLevel(const Level &level, const QImage &terrain, bool fit);
    const Level &level() const { return m_level; }

    void setLayerVisible(Layer layer, bool visible);
    bool isLayerVisible(Layer layer) const { return m_layers & layer; }

    void fit();
    // Widget pixels of a world position (x, z) and back.
    QPointF toScreen(double x, double z) const;
    QPointF toWorld(const QPointF &screen) const;
    double scale() const { return m_scale; } // pixels per world unit

    // The object drawn nearest the point, within a few pixels; -1 if none.
    int objectAt(const QPointF &screen) const;
    int selected() const { return m_selected; }
    void select(int object, bool bringIntoView);
    // Selects the object whose lines hold that line of the script.
    void selectLine(const QString &script, int line);

    // Draws the map as it stands on any device, the view's size scaled to `size`.
    void render(QPainter &painter, const QSize &size) const;
    // The text of the tip for an object.
    QString tipFor(int object) const;

signals:
    // A click on an object.
    void objectActivated(int object);
    // A drag with Ctrl held ended with the selected object here.
    void objectMoved(int object, double x, double z);
    void viewChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    double worldSize() const;
    bool shown(const PlacedObject &object) const;
    void drawGround(QPainter &painter, const QRectF &area) const;
    void drawObjects(QPainter &painter, const QRectF &area) const;
    void drawScaleBar(QPainter &painter, const QRectF &area) const;

    Level m_level;
    QImage m_terrain;
    int m_layers = Terrain | ControlPoints | SoldierSpawns | ObjectSpawners | StaticObjects;
    double m_scale = 1; // pixels per world unit
    double m_left = 0;  // world X at the left edge
    double m_top = 0;   // world Z at the top edge
    bool m_fitted = false;
    bool m_moved = false; // zoomed or panned since the last fit
    int m_selected = -1;
    // A press: where, and whether it has become a pan or a move.
    QPointF m_press;
    bool m_pressed = false, m_panning = false, m_moving = false;
    int m_pressedObject = -1;
    QPointF m_movedTo; // world x, z while moving
};

} // namespace marlix
