// Windows metafiles (WMF), the pictures of older Office and of RTF's \wmetafile.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRectF>

#include <optional>

namespace parcelo {

struct WmfHeader {
    qsizetype recordsAt = 0;  // where the first record starts
    QRectF box;               // logical units; empty without a placeable header
    int unitsPerInch = 0;     // of `box`
};

// The header of a WMF, with or without the placeable header before it; nothing when the
// bytes are no WMF.
std::optional<WmfHeader> ReadWmfHeader(QByteArrayView data);

// Plays the records of `data` onto `image`, the picture's whole area; whether anything was
// drawn.
bool PlayWmf(QByteArrayView data, const WmfHeader& header, QImage& image);

}  // namespace parcelo
