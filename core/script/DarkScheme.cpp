#include "core/script/DarkScheme.h"

#include "core/common/Contrast.h"

#include <algorithm>
#include <cmath>

namespace marlix {

namespace {

struct Rgb {
    double r, g, b; // 0..1
};
struct Hsl {
    double h, s, l; // hue in turns, 0..1
};

Rgb rgbOf(TColor c) {
    return {(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0};
}

TColor colorOf(const Rgb &c) {
    auto byte = [](double v) {
        return static_cast<TColor>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return byte(c.r) | (byte(c.g) << 8) | (byte(c.b) << 16);
}

Hsl hslOf(const Rgb &c) {
    const double hi = std::max({c.r, c.g, c.b});
    const double lo = std::min({c.r, c.g, c.b});
    const double l = (hi + lo) / 2;
    const double d = hi - lo;
    if (d == 0)
        return {0, 0, l};
    const double s = d / (1 - std::abs(2 * l - 1));
    double h;
    if (hi == c.r)
        h = std::fmod((c.g - c.b) / d + 6, 6);
    else if (hi == c.g)
        h = (c.b - c.r) / d + 2;
    else
        h = (c.r - c.g) / d + 4;
    return {h / 6, s, l};
}

Rgb rgbOf(const Hsl &c) {
    const double chroma = (1 - std::abs(2 * c.l - 1)) * c.s;
    const double h = c.h * 6;
    const double x = chroma * (1 - std::abs(std::fmod(h, 2) - 1));
    Rgb rgb{0, 0, 0};
    if (h < 1)
        rgb = {chroma, x, 0};
    else if (h < 2)
        rgb = {x, chroma, 0};
    else if (h < 3)
        rgb = {0, chroma, x};
    else if (h < 4)
        rgb = {0, x, chroma};
    else if (h < 5)
        rgb = {x, 0, chroma};
    else
        rgb = {chroma, 0, x};
    const double m = c.l - chroma / 2;
    return {rgb.r + m, rgb.g + m, rgb.b + m};
}

// Contrast.h takes 0xRRGGBB; table colours hold red in the low byte.
quint32 rgbValue(TColor c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

double luminanceOf(TColor c) {
    return relativeLuminance(rgbValue(c));
}

} // namespace

double colorContrast(TColor a, TColor b) {
    return contrastRatio(rgbValue(a), rgbValue(b));
}

TColor readableOn(TColor color, TColor background, double minimum) {
    color &= 0xFFFFFF;
    if (colorContrast(color, background) >= minimum)
        return color;
    const Hsl hsl = hslOf(rgbOf(color));
    if (colorContrast(clWhite, background) < minimum)
        return clWhite;
    // The luminance a lighter colour needs; it grows with the lightness, so the least
    // lightness that reaches it is found by halving.
    const double needed = minimum * (luminanceOf(background) + 0.05) - 0.05;
    auto at = [&](double l) { return colorOf(rgbOf(Hsl{hsl.h, hsl.s, l})); };
    double lo = hsl.l, hi = 1.0;
    for (int i = 0; i < 30; ++i) {
        const double mid = (lo + hi) / 2;
        (luminanceOf(at(mid)) >= needed ? hi : lo) = mid;
    }
    // Rounding to whole bytes may land just below the bound: step up until it holds.
    for (double l = hi; l <= 1.0; l += 1.0 / 512) {
        if (colorContrast(at(l), background) >= minimum)
            return at(l);
    }
    return clWhite;
}

} // namespace marlix
