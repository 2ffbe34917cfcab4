#include "art_shade.h"

#include <algorithm>
#include <cmath>

namespace parcelo {

namespace {

constexpr double kLegibleContrast = 4.5;

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
           0.0722 * Linear(rgb.blueF());
}

QColor Mixed(const QColor& from, const QColor& to, double share) {
    const auto mix = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

}  // namespace

ArtShade ArtShadeFor(const QPalette& palette) {
    // Lightness rather than luminance: a saturated blue window is dark to the eye.
    return palette.color(QPalette::Active, QPalette::Window).lightness() < 128 ? ArtShade::Dark
                                                                               : ArtShade::Light;
}

QColor TextOnArt(ArtShade shade) {
    return shade == ArtShade::Dark ? QColor(Qt::white) : QColor(Qt::black);
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor LegibleOn(const QColor& colour, const QColor& background) {
    const QColor rgb = colour.toRgb();
    if (ContrastRatio(rgb, background) >= kLegibleContrast)
        return rgb;
    const QColor far = ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background)
                           ? QColor(Qt::black)
                           : QColor(Qt::white);
    // The smallest step of a 256-step mix that reads; black or white themselves always
    // reach 4.5:1 on one side of any colour.
    for (int step = 1; step < 256; ++step) {
        const QColor mixed = Mixed(rgb, far, step / 255.0);
        if (ContrastRatio(mixed, background) >= kLegibleContrast)
            return mixed;
    }
    return far;
}

LinkColours LinkColoursFor(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const bool dark = ArtShadeFor(palette) == ArtShade::Dark;
    const LinkColours wanted =
        dark ? LinkColours{QColor(0x8a, 0xb4, 0xf8), QColor(0xc5, 0x8a, 0xf9),
                           QColor(0xff, 0x8a, 0x80)}
             : LinkColours{QColor(0, 0, 238), QColor(85, 26, 139), QColor(255, 0, 0)};
    return {LegibleOn(wanted.link, window), LegibleOn(wanted.visited, window),
            LegibleOn(wanted.hover, window)};
}

}  // namespace parcelo
