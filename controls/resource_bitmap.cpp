#include "resource_bitmap.h"

#include <QPaintDevice>
#include <QPainter>

namespace parcelo {

QString ResourceBitmapPath(int id) {
    return QStringLiteral(":/parcelo/bitmap-%1.png").arg(id);
}

QImage ResourceBitmap(int id) {
    return QImage(ResourceBitmapPath(id));
}

QImage ResourceBitmap2x(int id) {
    QImage image(QStringLiteral(":/parcelo/bitmap-%1@2x.png").arg(id));
    if (!image.isNull())
        image.setDevicePixelRatio(2.0);
    return image;
}

const QPixmap& ScaledPicture::forDevice(const QPainter& painter) const {
    const QPaintDevice* device = painter.device();
    if (!doubled.isNull() && device != nullptr && device->devicePixelRatioF() > 1.0)
        return doubled;
    return normal;
}

}  // namespace parcelo
