// Enhanced metafiles (EMF), the pictures of newer Office and of RTF's \emfblip.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRectF>

#include <optional>

namespace parcelo {

struct EmfHeader {
    QRectF frame;                 // hundredths of a millimetre
    double deviceUnitsPerMm = 0;  // of the device the metafile was made on
};

// The header record of an EMF; nothing when the bytes are no EMF.
std::optional<EmfHeader> ReadEmfHeader(QByteArrayView data);

// Plays the records of `data` onto `image`, the picture's whole area; whether anything was
// drawn.
bool PlayEmf(QByteArrayView data, const EmfHeader& header, QImage& image);

}  // namespace parcelo
