#include "pictures/LevelMapView.h"

#include <QDir>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace marlix {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double HitPixels = 7;
constexpr double DragPixels = 4;
constexpr double DefaultWorld = 2048; // the view of a level that gives no world size

QColor teamColor(int team) {
    switch (team) {
    case 1:
        return QColor(210, 40, 40);
    case 2:
        return QColor(40, 90, 220);
    case -1:
    case 0:
        return QColor(235, 235, 235);
    default:
        return QColor(230, 200, 40);
    }
}

const QColor StaticColor(70, 70, 70);
const QColor GridGround(228, 234, 222);
const QColor GridLine(200, 208, 196);
const QColor SelectionColor(255, 220, 0);

char kindMark(VehicleKind kind) {
    switch (kind) {
    case VehicleKind::Tank:
        return 'T';
    case VehicleKind::Plane:
        return 'P';
    case VehicleKind::Ship:
        return 'S';
    case VehicleKind::Other:
        break;
    }
    return 'O';
}

QString kindName(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::ControlPoint:
        return QStringLiteral("control point");
    case ObjectKind::SoldierSpawn:
        return QStringLiteral("soldier spawn");
    case ObjectKind::ObjectSpawner:
        return QStringLiteral("object spawner");
    case ObjectKind::Static:
        break;
    }
    return QStringLiteral("object");
}

QString number(double value) {
    return QString::number(value, 'g', 10);
}

// 1, 2 or 5 times a power of ten, the longest not above `most`.
double niceLength(double most) {
    if (most <= 0)
        return 0;
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= most)
            return step * power;
    return power;
}

} // namespace

LevelMapView::LevelMapView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("levelMapView"));
    setMouseTracking(true);
    setMinimumSize(200, 200);
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double LevelMapView::worldSize() const {
    return m_level.worldSize > 0 ? m_level.worldSize : DefaultWorld;
}

void LevelMapView::setLevel(const Level &level, const QImage &terrain, bool fitView) {
    QString script;
    int line = 0;
    if (m_selected >= 0 && m_selected < m_level.objects.size()) {
        script = m_level.objects[m_selected].script;
        line = m_level.objects[m_selected].line;
    }
    m_level = level;
    m_terrain = terrain;
    m_selected = -1;
    for (int i = 0; i < m_level.objects.size() && !script.isEmpty(); ++i)
        if (m_level.objects[i].script == script && m_level.objects[i].line == line)
            m_selected = i;
    m_moving = m_panning = m_pressed = false;
    if (fitView || !m_fitted)
        fit();
    update();
}

void LevelMapView::setLayerVisible(Layer layer, bool visible) {
    m_layers = visible ? (m_layers | layer) : (m_layers & ~layer);
    update();
}

void LevelMapView::fit() {
    const double side = worldSize();
    const double pixels = std::max(1, std::min(width(), height()) - 40);
    m_scale = pixels / side;
    m_left = side / 2 - width() / 2.0 / m_scale;
    m_top = side / 2 + height() / 2.0 / m_scale;
    m_fitted = true;
    m_moved = false;
    update();
    emit viewChanged();
}

QPointF LevelMapView::toScreen(double x, double z) const {
    return {(x - m_left) * m_scale, (m_top - z) * m_scale};
}

QPointF LevelMapView::toWorld(const QPointF &screen) const {
    return {m_left + screen.x() / m_scale, m_top - screen.y() / m_scale};
}

bool LevelMapView::shown(const PlacedObject &object) const {
    switch (object.kind) {
    case ObjectKind::ControlPoint:
        return m_layers & ControlPoints;
    case ObjectKind::SoldierSpawn:
        return m_layers & SoldierSpawns;
    case ObjectKind::ObjectSpawner:
        return m_layers & ObjectSpawners;
    case ObjectKind::Static:
        break;
    }
    return m_layers & StaticObjects;
}

int LevelMapView::objectAt(const QPointF &screen) const {
    int best = -1;
    double nearest = HitPixels * HitPixels;
    // Later objects are drawn on top, so they win a tie.
    for (int i = 0; i < m_level.objects.size(); ++i) {
        const PlacedObject &object = m_level.objects[i];
        if (!shown(object))
            continue;
        const QPointF at = toScreen(object.x, object.z) - screen;
        const double distance = at.x() * at.x() + at.y() * at.y();
        if (distance <= nearest) {
            nearest = distance;
            best = i;
        }
    }
    return best;
}

void LevelMapView::select(int object, bool bringIntoView) {
    m_selected = object >= 0 && object < m_level.objects.size() ? object : -1;
    if (m_selected >= 0 && bringIntoView) {
        const PlacedObject &o = m_level.objects[m_selected];
        const QPointF at = toScreen(o.x, o.z);
        if (!rect().adjusted(20, 20, -20, -20).contains(at.toPoint())) {
            m_left = o.x - width() / 2.0 / m_scale;
            m_top = o.z + height() / 2.0 / m_scale;
            m_moved = true;
            emit viewChanged();
        }
    }
    update();
}

void LevelMapView::selectLine(const QString &script, int line) {
    const QString clean = QDir::cleanPath(script);
    int best = -1;
    for (int i = 0; i < m_level.objects.size(); ++i) {
        const PlacedObject &object = m_level.objects[i];
        if (QDir::cleanPath(object.script) == clean && object.line <= line &&
            (best < 0 || object.line > m_level.objects[best].line))
            best = i;
    }
    if (best >= 0)
        select(best, true);
}

QString LevelMapView::tipFor(int index) const {
    if (index < 0 || index >= m_level.objects.size())
        return {};
    const PlacedObject &o = m_level.objects[index];
    QStringList lines;
    lines << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(o.templateName), kindName(o.kind));
    if (!o.controlPointName.isEmpty())
        lines << QStringLiteral("Name: %1").arg(QString::fromLatin1(o.controlPointName));
    lines << QStringLiteral("Position: %1/%2/%3").arg(number(o.x), number(o.y), number(o.z));
    lines
        << QStringLiteral("Rotation: %1/%2/%3").arg(number(o.yaw), number(o.pitch), number(o.roll));
    lines << QStringLiteral("Team: %1")
                 .arg(o.team < 0 ? QStringLiteral("none") : QString::number(o.team));
    if (o.group >= 0)
        lines << QStringLiteral("Group: %1").arg(o.group);
    for (const SpawnedTemplate &spawn : o.spawns)
        lines << QStringLiteral("Spawns for team %1: %2")
                     .arg(spawn.team)
                     .arg(QString::fromLatin1(spawn.name));
    lines << QStringLiteral("%1:%2").arg(QDir::toNativeSeparators(o.script)).arg(o.line);
    return lines.join(QLatin1Char('\n'));
}

void LevelMapView::drawGround(QPainter &painter, const QRectF &area) const {
    painter.fillRect(area, QColor(120, 120, 120));
    const double side = worldSize();
    const QRectF world(toScreen(0, side), toScreen(side, 0));
    if ((m_layers & Terrain) && !m_terrain.isNull()) {
        painter.drawImage(world, m_terrain);
        return;
    }
    painter.fillRect(world, GridGround);
    // Lines about every 40 pixels, at a round world distance.
    const double step = std::max(1.0, niceLength(80 / m_scale));
    painter.setPen(QPen(GridLine, 1));
    const QRectF visible = world.intersected(area);
    const QPointF low = toWorld(visible.bottomLeft()), high = toWorld(visible.topRight());
    for (double x = std::ceil(std::max(0.0, low.x()) / step) * step; x <= std::min(side, high.x());
         x += step)
        painter.drawLine(QPointF(toScreen(x, 0).x(), world.top()),
                         QPointF(toScreen(x, 0).x(), world.bottom()));
    for (double z = std::ceil(std::max(0.0, low.y()) / step) * step; z <= std::min(side, high.y());
         z += step)
        painter.drawLine(QPointF(world.left(), toScreen(0, z).y()),
                         QPointF(world.right(), toScreen(0, z).y()));
    painter.setPen(QPen(QColor(150, 160, 150), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(world);
}

void LevelMapView::drawObjects(QPainter &painter, const QRectF &area) const {
    const QRectF margin = area.adjusted(-60, -20, 20, 20);
    const bool labels = m_scale >= 0.35;
    QFont small = painter.font();
    small.setPixelSize(10);
    QFont bold = small;
    bold.setBold(true);
    auto yawLine = [&](const QPointF &at, const PlacedObject &o, double length) {
        const double radians = o.yaw * Pi / 180;
        painter.drawLine(at, at + QPointF(std::sin(radians), -std::cos(radians)) * length);
    };
    // Drawn in layers, so that the few important marks stay on top of many static objects.
    for (ObjectKind kind : {ObjectKind::Static, ObjectKind::SoldierSpawn, ObjectKind::ObjectSpawner,
                            ObjectKind::ControlPoint}) {
        for (int i = 0; i < m_level.objects.size(); ++i) {
            const PlacedObject &o = m_level.objects[i];
            if (o.kind != kind || !shown(o))
                continue;
            const QPointF at = toScreen(o.x, o.z);
            if (!margin.contains(at))
                continue;
            switch (kind) {
            case ObjectKind::Static:
                painter.fillRect(QRectF(at.x() - 2, at.y() - 2, 5, 5), StaticColor);
                if (m_scale >= 1) {
                    painter.setPen(QPen(StaticColor, 1));
                    yawLine(at, o, 7);
                }
                break;
            case ObjectKind::SoldierSpawn: {
                const QPointF diamond[] = {at + QPointF(0, -5), at + QPointF(5, 0),
                                           at + QPointF(0, 5), at + QPointF(-5, 0)};
                painter.setPen(QPen(Qt::black, 1));
                painter.setBrush(teamColor(o.team));
                painter.drawPolygon(diamond, 4);
                yawLine(at, o, 9);
                if (labels && o.group >= 0) {
                    painter.setFont(small);
                    painter.drawText(at + QPointF(6, 10), QString::number(o.group));
                }
                break;
            }
            case ObjectKind::ObjectSpawner: {
                painter.setPen(QPen(Qt::black, 1));
                painter.setBrush(teamColor(o.team));
                painter.drawRect(QRectF(at.x() - 6, at.y() - 6, 12, 12));
                yawLine(at, o, 12);
                painter.setFont(bold);
                const char mark = o.spawns.isEmpty() ? 'O' : kindMark(o.spawns.first().kind);
                painter.drawText(QRectF(at.x() - 6, at.y() - 6, 12, 12), Qt::AlignCenter,
                                 QString(QLatin1Char(mark)));
                if (labels && !o.spawns.isEmpty()) {
                    QStringList names;
                    for (const SpawnedTemplate &spawn : o.spawns)
                        names << QStringLiteral("%1: %2")
                                     .arg(spawn.team)
                                     .arg(QString::fromLatin1(spawn.name));
                    painter.setFont(small);
                    painter.drawText(at + QPointF(9, 4), names.join(QStringLiteral("  ")));
                }
                break;
            }
            case ObjectKind::ControlPoint: {
                painter.setPen(QPen(Qt::black, 1.5));
                painter.setBrush(teamColor(o.team));
                painter.drawEllipse(at, 9, 9);
                yawLine(at, o, 14);
                painter.setFont(bold);
                const QByteArray name =
                    o.controlPointName.isEmpty() ? o.templateName : o.controlPointName;
                painter.drawText(at + QPointF(12, -8), QString::fromLatin1(name));
                break;
            }
            }
        }
    }
    if (m_selected >= 0 && m_selected < m_level.objects.size() &&
        shown(m_level.objects[m_selected])) {
        const PlacedObject &o = m_level.objects[m_selected];
        const QPointF at = m_moving ? toScreen(m_movedTo.x(), m_movedTo.y()) : toScreen(o.x, o.z);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(SelectionColor, 2.5));
        painter.drawEllipse(at, 13, 13);
        if (m_moving) {
            painter.setPen(QPen(SelectionColor, 1, Qt::DashLine));
            painter.drawLine(toScreen(o.x, o.z), at);
        }
    }
}

void LevelMapView::drawScaleBar(QPainter &painter, const QRectF &area) const {
    const double length = niceLength(120 / m_scale);
    if (length <= 0)
        return;
    const double pixels = length * m_scale;
    const QPointF start(area.left() + 12, area.bottom() - 14);
    const QRectF box(start.x() - 6, start.y() - 18, pixels + 12, 26);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawRect(box);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(start, start + QPointF(pixels, 0));
    painter.drawLine(start + QPointF(0, -4), start + QPointF(0, 4));
    painter.drawLine(start + QPointF(pixels, -4), start + QPointF(pixels, 4));
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRectF(start.x(), start.y() - 17, pixels, 14), Qt::AlignCenter,
                     number(length));
}

void LevelMapView::render(QPainter &painter, const QSize &size) const {
    painter.save();
    if (size != this->size() && width() > 0 && height() > 0)
        painter.scale(double(size.width()) / width(), double(size.height()) / height());
    const QRectF area = rect();
    painter.setClipRect(area);
    drawGround(painter, area);
    painter.setRenderHint(QPainter::Antialiasing, true);
    drawObjects(painter, area);
    drawScaleBar(painter, area);
    painter.restore();
}

void LevelMapView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    render(painter, size());
}

void LevelMapView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    // A view nobody has zoomed or panned yet keeps the whole world in sight.
    if (!m_fitted || !m_moved)
        fit();
}

void LevelMapView::wheelEvent(QWheelEvent *event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    const QPointF pointer = event->position();
    const QPointF world = toWorld(pointer);
    const double factor = std::pow(1.25, steps);
    m_scale = std::clamp(m_scale * factor, 0.005, 200.0);
    // The world point under the pointer stays under it.
    m_left = world.x() - pointer.x() / m_scale;
    m_top = world.y() + pointer.y() / m_scale;
    m_moved = true;
    update();
    emit viewChanged();
    event->accept();
}

void LevelMapView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_press = event->position();
    m_pressed = true;
    m_panning = false;
    m_pressedObject = objectAt(m_press);
    // Only the selected object moves, and only with Ctrl: a pan never moves one by accident.
    m_moving = (event->modifiers() & Qt::ControlModifier) && m_pressedObject >= 0 &&
               m_pressedObject == m_selected;
    if (m_moving) {
        const PlacedObject &o = m_level.objects[m_selected];
        m_movedTo = QPointF(o.x, o.z);
    }
}

void LevelMapView::mouseMoveEvent(QMouseEvent *event) {
    if (!m_pressed)
        return;
    const QPointF delta = event->position() - m_press;
    if (m_moving) {
        const PlacedObject &o = m_level.objects[m_selected];
        const QPointF start = toScreen(o.x, o.z);
        m_movedTo = toWorld(start + delta);
        update();
        return;
    }
    if (!m_panning && std::hypot(delta.x(), delta.y()) < DragPixels)
        return;
    m_panning = true;
    m_moved = true;
    m_left -= delta.x() / m_scale;
    m_top += delta.y() / m_scale;
    m_press = event->position();
    update();
    emit viewChanged();
}

void LevelMapView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !m_pressed)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    if (m_moving) {
        m_moving = false;
        const PlacedObject &o = m_level.objects[m_selected];
        const QPointF to = m_movedTo;
        update();
        if (to != QPointF(o.x, o.z))
            emit objectMoved(m_selected, to.x(), to.y());
        return;
    }
    if (m_panning) {
        m_panning = false;
        return;
    }
    if (m_pressedObject >= 0) {
        select(m_pressedObject, false);
        emit objectActivated(m_pressedObject);
    } else {
        select(-1, false);
    }
}

bool LevelMapView::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int object = objectAt(help->pos());
        if (object >= 0)
            QToolTip::showText(help->globalPos(), tipFor(object), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

} // namespace marlix
