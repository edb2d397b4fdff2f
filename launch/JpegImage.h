#pragma once

#include <QByteArray>
#include <QImage>

namespace marlix {

// Decodes a JPEG held in memory with libjpeg. A broken or empty picture gives a null image.
QImage decodeJpeg(const QByteArray &bytes);

} // namespace marlix
