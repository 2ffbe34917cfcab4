// The bitmap resources, by their numeric ids or their paths. Each is stored at its own size,
// with a twin twice the size under Qt's "@2x" name for screens scaled 2x.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

class QPainter;

namespace parcelo {

// ":/parcelo/bitmap-<id>.png".
QString ResourceBitmapPath(int id);
// The bitmap at its own size; a null image when there is no such resource.
QImage ResourceBitmap(int id);
// Its twin at twice the size, with device pixel ratio 2; a null image when it has none.
QImage ResourceBitmap2x(int id);

// The image at `path` (":/..." or a file); on a screen of device pixel ratio 2 or more, its
// "@2x" twin when there is one, marked with that ratio so that it keeps its logical size.
// A null image when neither can be read.
QImage LoadResourceBitmap(const QString& path, qreal devicePixelRatio);

// A picture kept at its own size and, when there is one, at twice the size, drawn from
// whichever suits the device it is painted on.
struct ScaledPicture {
    QPixmap normal;
    QPixmap doubled;  // device pixel ratio 2, or null

    bool isNull() const { return normal.isNull(); }
    // The size in device-independent pixels.
    QSize size() const { return normal.size(); }
    const QPixmap& forDevice(const QPainter& painter) const;
};

}  // namespace parcelo
