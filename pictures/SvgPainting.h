#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <memory>

// A paint device that writes what is painted on it as SVG: paths, polygons, lines, text and
// images (embedded as PNG). Clipping is left to the picture's own frame.
namespace marlix {

class SvgPaintEngine;

class SvgPainting : public QPaintDevice {
public:
    explicit SvgPainting(const QSize &size);
    ~SvgPainting() override;

    QPaintEngine *paintEngine() const override;
    // The whole document; complete once the painter has ended.
    QByteArray svg() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    std::unique_ptr<SvgPaintEngine> m_engine;
};

} // namespace marlix
