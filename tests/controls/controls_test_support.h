// Pictures made in code for the controls to show, and a look at what they painted.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>

namespace parcelo::testing {

// A bitmap `width` x `height` whose pixel (x, y) is `colour(x, y)`.
template <typename Colour>
QImage MakeBitmap(int width, int height, Colour colour) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, QColor(colour(x, y)).rgb());
    }
    return image;
}

// A colour of its own for each pixel of a bitmap up to 256 x 256.
inline QRgb Distinct(int x, int y) {
    return qRgb(x * 7 % 256, y * 5 % 256, 100 + (x + y) % 100);
}

// What `widget` shows now, at one image pixel per widget pixel.
inline QImage Shot(QWidget& widget, const QRect& area = QRect(QPoint(0, 0), QSize(-1, -1))) {
    QCoreApplication::processEvents();
    QImage image = widget.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    return image;
}

inline QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & RGB_MASK;
}

}  // namespace parcelo::testing
