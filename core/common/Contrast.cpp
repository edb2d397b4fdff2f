#include "core/common/Contrast.h"

#include <algorithm>
#include <cmath>

namespace marlix {

namespace {
double linear(quint32 channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
} // namespace

double relativeLuminance(quint32 rgb) {
    return 0.2126 * linear((rgb >> 16) & 0xFF) + 0.7152 * linear((rgb >> 8) & 0xFF) +
           0.0722 * linear(rgb & 0xFF);
}

double contrastRatio(quint32 first, quint32 second) {
    const double a = relativeLuminance(first), b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

} // namespace marlix
