// Bitmaps that RTF pictures carry without a file format of their own (\dibitmap, \wbitmap),
// and the size checks every decoded picture passes, so that a forged header cannot ask for
// gigabytes.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

#include <cstdint>

namespace parcelo {

// The most pixels one picture may have (a 6000 x 5000 photograph fits) and all the pictures
// of one body together.
inline constexpr int64_t kMaxPicturePixels = 30'000'000;
inline constexpr int64_t kMaxBodyPicturePixels = 64'000'000;

// A packed device-independent bitmap: a BITMAPINFOHEADER (or BITMAPCOREHEADER), its colour
// table and the pixels, as a BMP file holds them after its file header. A null image when it
// is damaged, compressed in a way BMP files are not, or has more than `maxPixels` pixels.
QImage ImageFromDib(QByteArrayView dib, int64_t maxPixels = kMaxPicturePixels);

// The shape of a device-dependent bitmap, which its data does not say.
struct DeviceBitmapShape {
    int width = 0;   // pixels
    int height = 0;  // pixels
    int bitsPerPixel = 1;
    int planes = 1;
    int widthBytes = 0;  // bytes in a row; 0: the rows are padded to 16 bits
};

// A device-dependent bitmap: rows of pixels, the top row first, with no colour table (one
// bit is black or white, four or eight bits index the Windows system palette). A null image
// when the data is shorter than the shape says, the shape is not one Windows has, or it has
// more than `maxPixels` pixels.
QImage ImageFromDeviceBitmap(QByteArrayView bits, const DeviceBitmapShape& shape,
                             int64_t maxPixels = kMaxPicturePixels);

// A PNG or JPEG picture, read only when its header gives at most `maxPixels` pixels.
QImage ImageFromEncoded(const QByteArray& data, const char* format,
                        int64_t maxPixels = kMaxPicturePixels);

}  // namespace parcelo
