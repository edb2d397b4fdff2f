#include "pictures/SvgPainting.h"

#include <QBuffer>
#include <QImage>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>

namespace marlix {

namespace {

QByteArray num(double value) {
    return QByteArray::number(value, 'f', 2);
}

QByteArray escaped(const QString &text) {
    return text.toHtmlEscaped().toUtf8();
}

QByteArray color(const QColor &c) {
    return c.name(QColor::HexRgb).toLatin1();
}

QByteArray pathData(const QPainterPath &path) {
    QByteArray d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            d += 'M' + num(e.x) + ',' + num(e.y);
            break;
        case QPainterPath::LineToElement:
            d += 'L' + num(e.x) + ',' + num(e.y);
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += 'C' + num(e.x) + ',' + num(e.y) + ' ' + num(c2.x) + ',' + num(c2.y) + ' ' +
                 num(end.x) + ',' + num(end.y);
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    return d;
}

} // namespace

class SvgPaintEngine : public QPaintEngine {
public:
    SvgPaintEngine() : QPaintEngine(AllFeatures) {}

    QByteArray body;

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &state) override {
        if (state.state() & DirtyPen)
            m_pen = state.pen();
        if (state.state() & DirtyBrush)
            m_brush = state.brush();
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
        if (state.state() & DirtyFont)
            m_font = state.font();
    }

    void drawPath(const QPainterPath &path) override {
        const QPainterPath mapped = m_transform.map(path);
        body += "<path d=\"" + pathData(mapped) + "\"" + fill(path.fillRule()) + stroke() + "/>\n";
    }

    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override {
        QPainterPath path;
        if (count <= 0)
            return;
        path.moveTo(points[0]);
        for (int i = 1; i < count; ++i)
            path.lineTo(points[i]);
        if (mode != PolylineMode)
            path.closeSubpath();
        const QPainterPath mapped = m_transform.map(path);
        body +=
            "<path d=\"" + pathData(mapped) + (mode != PolylineMode ? "Z" : "") + "\"" +
            (mode == PolylineMode ? QByteArray(" fill=\"none\"")
                                  : fill(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill)) +
            stroke() + "/>\n";
    }

    void drawPixmap(const QRectF &r, const QPixmap &pixmap, const QRectF &source) override {
        drawImage(r, pixmap.toImage(), source, Qt::AutoColor);
    }

    void drawImage(const QRectF &r, const QImage &image, const QRectF &source,
                   Qt::ImageConversionFlags) override {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.copy(source.toRect()).save(&buffer, "PNG");
        const QRectF to = m_transform.mapRect(r);
        body += "<image x=\"" + num(to.x()) + "\" y=\"" + num(to.y()) + "\" width=\"" +
                num(to.width()) + "\" height=\"" + num(to.height()) +
                "\" preserveAspectRatio=\"none\" href=\"data:image/png;base64," + png.toBase64() +
                "\"/>\n";
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override {
        const QPointF at = m_transform.map(p);
        const QFont font = item.font();
        const double size = (font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 4 / 3) *
                            m_transform.m22();
        body += "<text x=\"" + num(at.x()) + "\" y=\"" + num(at.y()) + "\" font-family=\"" +
                escaped(font.family()) + "\" font-size=\"" + num(size) + "\"" +
                (font.bold() ? " font-weight=\"bold\"" : "") + " fill=\"" + color(m_pen.color()) +
                "\">" + escaped(item.text()) + "</text>\n";
    }

private:
    QByteArray fill(Qt::FillRule rule) const {
        if (m_brush.style() == Qt::NoBrush)
            return " fill=\"none\"";
        QByteArray out = " fill=\"" + color(m_brush.color()) + "\"";
        if (m_brush.color().alphaF() < 1)
            out += " fill-opacity=\"" + num(m_brush.color().alphaF()) + "\"";
        if (rule == Qt::OddEvenFill)
            out += " fill-rule=\"evenodd\"";
        return out;
    }

    QByteArray stroke() const {
        if (m_pen.style() == Qt::NoPen)
            return {};
        const double width = std::max(0.5, m_pen.widthF() * m_transform.m11());
        QByteArray out =
            " stroke=\"" + color(m_pen.color()) + "\" stroke-width=\"" + num(width) + "\"";
        if (m_pen.style() == Qt::DashLine)
            out += " stroke-dasharray=\"4,2\"";
        return out;
    }

    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    QFont m_font;
};

SvgPainting::SvgPainting(const QSize &size)
    : m_size(size), m_engine(std::make_unique<SvgPaintEngine>()) {}

SvgPainting::~SvgPainting() = default;

QPaintEngine *SvgPainting::paintEngine() const {
    return m_engine.get();
}

QByteArray SvgPainting::svg() const {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           QByteArray::number(m_size.width()) + "\" height=\"" +
           QByteArray::number(m_size.height()) + "\" viewBox=\"0 0 " +
           QByteArray::number(m_size.width()) + ' ' + QByteArray::number(m_size.height()) +
           "\">\n" + m_engine->body + "</svg>\n";
}

int SvgPainting::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return m_size.width() * 254 / 960;
    case PdmHeightMM:
        return m_size.height() * 254 / 960;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    default:
        return 0;
    }
}

} // namespace marlix
