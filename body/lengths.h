// The lengths of a body. A document holds every length in pixels of 96 to the inch, as CSS
// and the screen count them: RTF's twips, CSS's points, inches and centimetres, and a
// metafile's hundredths of a millimetre become those pixels here, and a printer or a PDF
// multiplies them by its dots per pixel, so that paper shows the window's layout.
#pragma once

namespace parcelo {

inline constexpr double kPixelsPerInch = 96.0;
inline constexpr double kPointsPerInch = 72.0;
inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kTwipsPerPixel = kTwipsPerInch / kPixelsPerInch;
inline constexpr double kHimetricPerInch = 2540.0;

constexpr double PixelsFromTwips(double twips) {
    return twips / kTwipsPerPixel;
}
constexpr double TwipsFromPixels(double pixels) {
    return pixels * kTwipsPerPixel;
}
constexpr double PixelsFromPoints(double points) {
    return points * kPixelsPerInch / kPointsPerInch;
}
constexpr double PointsFromPixels(double pixels) {
    return pixels * kPointsPerInch / kPixelsPerInch;
}
constexpr double PixelsFromHimetric(double himetric) {
    return himetric * kPixelsPerInch / kHimetricPerInch;
}
// Dots of a device of `dotsPerInch` in a pixel.
constexpr double DotsPerPixel(double dotsPerInch) {
    return dotsPerInch / kPixelsPerInch;
}

}  // namespace parcelo
