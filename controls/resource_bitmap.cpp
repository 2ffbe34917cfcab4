#include "resource_bitmap.h"

#include <QPaintDevice>
#include <QPainter>

namespace parcelo {
namespace {

// The "@2x" twin of `path`, read as is: scaling would blend a transparent colour into the
// pixels beside it.
QImage DoubledTwin(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString doubled =
        dot < 0 ? path + QStringLiteral("@2x") : path.left(dot) + "@2x" + path.mid(dot);
    QImage image(doubled);
    if (!image.isNull())
        image.setDevicePixelRatio(2.0);
    return image;
}

}  // namespace

QString ResourceBitmapPath(int id) {
    return QStringLiteral(":/parcelo/bitmap-%1.png").arg(id);
}

QImage ResourceBitmap(int id) {
    return QImage(ResourceBitmapPath(id));
}

QImage ResourceBitmap2x(int id) {
    return DoubledTwin(ResourceBitmapPath(id));
}

QImage LoadResourceBitmap(const QString& path, qreal devicePixelRatio) {
    if (devicePixelRatio > 1.0) {
        QImage image = DoubledTwin(path);
        if (!image.isNull())
            return image;
    }
    return QImage(path);
}

const QPixmap& ScaledPicture::forDevice(const QPainter& painter) const {
    const QPaintDevice* device = painter.device();
    if (!doubled.isNull() && device != nullptr && device->devicePixelRatioF() > 1.0)
        return doubled;
    return normal;
}

}  // namespace parcelo
