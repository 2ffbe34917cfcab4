#include "body/rtf/bitmap_decoding.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cstring>

namespace parcelo {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

uint32_t u32At(QByteArrayView data, qsizetype offset) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data()) + offset;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t u16At(QByteArrayView data, qsizetype offset) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data()) + offset;
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void putU32(char* out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

bool withinLimit(int64_t width, int64_t height, int64_t maxPixels) {
    return width > 0 && height > 0 && width * height <= maxPixels;
}

// The 16 colours of the VGA palette, which four-bit device bitmaps index.
constexpr QRgb kVgaColors[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// The Windows system palette of 256 entries: the twenty static colours at both ends and, as
// the palette in between is the foreground program's own, a colour cube and grey ramp.
QList<QRgb> systemPalette() {
    QList<QRgb> colors;
    colors.reserve(256);
    const QRgb first[10] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080,
                            0xFF800080, 0xFF008080, 0xFFC0C0C0, 0xFFC0DCC0, 0xFFA6CAF0};
    const QRgb last[10] = {0xFFFFFBF0, 0xFFA0A0A4, 0xFF808080, 0xFFFF0000, 0xFF00FF00,
                           0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    colors.append(QList<QRgb>(std::begin(first), std::end(first)));
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colors.append(qRgb(r * 51, g * 51, b * 51));
    while (colors.size() < 246)
        colors.append(qRgb((colors.size() - 226) * 12, (colors.size() - 226) * 12,
                           (colors.size() - 226) * 12));
    colors.append(QList<QRgb>(std::begin(last), std::end(last)));
    return colors;
}

}  // namespace

QImage ImageFromDib(QByteArrayView dib, int64_t maxPixels) {
    if (dib.size() < 12)
        return {};
    const uint32_t headerSize = u32At(dib, 0);
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = kBiRgb;
    uint32_t colorsUsed = 0;
    uint32_t entrySize = 4;
    uint32_t masks = 0;
    if (headerSize == 12) {
        width = u16At(dib, 4);
        height = static_cast<int16_t>(u16At(dib, 6));
        bitsPerPixel = u16At(dib, 10);
        entrySize = 3;
    } else if (headerSize >= 40 && headerSize <= 124 && dib.size() >= 40) {
        width = static_cast<int32_t>(u32At(dib, 4));
        height = static_cast<int32_t>(u32At(dib, 8));
        bitsPerPixel = u16At(dib, 14);
        compression = u32At(dib, 16);
        colorsUsed = u32At(dib, 32);
        // The colour masks follow a BITMAPINFOHEADER; the later headers hold them.
        if (headerSize == 40 && compression == kBiBitfields)
            masks = 12;
        if (headerSize == 40 && compression == kBiAlphaBitfields)
            masks = 16;
    } else {
        return {};
    }
    height = std::abs(height);  // negative: the top row comes first
    if (!withinLimit(width, height, maxPixels))
        return {};
    switch (bitsPerPixel) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return {};
    }
    const bool rle = compression == kBiRle8 || compression == kBiRle4;
    if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields &&
        !rle)
        return {};
    if (bitsPerPixel <= 8 && (colorsUsed == 0 || colorsUsed > (1u << bitsPerPixel)))
        colorsUsed = 1u << bitsPerPixel;
    if (colorsUsed > 256)
        return {};
    const int64_t bitsOffset = int64_t{headerSize} + masks + int64_t{colorsUsed} * entrySize;
    const int64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    // Run-length data has no size to check in advance; its rows are bounded by the header's.
    if (bitsOffset > dib.size() || (!rle && dib.size() - bitsOffset < stride * height))
        return {};

    QByteArray bmp(14, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    putU32(bmp.data() + 2, static_cast<uint32_t>(14 + dib.size()));
    putU32(bmp.data() + 10, static_cast<uint32_t>(14 + bitsOffset));
    bmp.append(dib.data(), dib.size());
    QImage image = QImage::fromData(bmp, "BMP");
    if (image.isNull() || !withinLimit(image.width(), image.height(), maxPixels))
        return {};
    return image;
}

QImage ImageFromDeviceBitmap(QByteArrayView bits, const DeviceBitmapShape& shape,
                             int64_t maxPixels) {
    const int64_t width = shape.width;
    const int64_t height = shape.height;
    if (!withinLimit(width, height, maxPixels) || shape.planes != 1)
        return {};
    QImage::Format format;
    switch (shape.bitsPerPixel) {
        case 1:
            format = QImage::Format_Mono;
            break;
        case 4:
        case 8:
            format = QImage::Format_Indexed8;
            break;
        case 16:
            format = QImage::Format_RGB555;
            break;
        case 24:
            format = QImage::Format_BGR888;
            break;
        case 32:
            format = QImage::Format_RGB32;
            break;
        default:
            return {};
    }
    const int64_t rowBytes = (width * shape.bitsPerPixel + 7) / 8;
    const int64_t stride =
        shape.widthBytes > 0 ? shape.widthBytes : (width * shape.bitsPerPixel + 15) / 16 * 2;
    if (stride < rowBytes || bits.size() < stride * height)
        return {};

    QImage image(static_cast<int>(width), static_cast<int>(height), format);
    if (image.isNull())
        return {};
    if (shape.bitsPerPixel == 1)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    else if (shape.bitsPerPixel == 4)
        image.setColorTable(QList<QRgb>(std::begin(kVgaColors), std::end(kVgaColors)));
    else if (shape.bitsPerPixel == 8)
        image.setColorTable(systemPalette());
    for (int y = 0; y < image.height(); ++y) {
        const char* row = bits.data() + y * stride;
        uchar* line = image.scanLine(y);
        if (shape.bitsPerPixel == 4) {
            for (int x = 0; x < image.width(); ++x) {
                const auto byte = static_cast<uchar>(row[x / 2]);
                line[x] = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
            }
        } else {
            std::memcpy(line, row, static_cast<size_t>(rowBytes));
        }
        // The fourth byte of a 32-bit device pixel is unused, and Qt takes it as alpha.
        if (shape.bitsPerPixel == 32) {
            auto* pixels = reinterpret_cast<QRgb*>(line);
            for (int x = 0; x < image.width(); ++x)
                pixels[x] |= 0xFF000000u;
        }
    }
    return image;
}

QImage ImageFromEncoded(const QByteArray& data, const char* format, int64_t maxPixels) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || !withinLimit(size.width(), size.height(), maxPixels))
        return {};
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return {};
    return image;
}

}  // namespace parcelo
