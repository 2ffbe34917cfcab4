#include "resource_bitmap.h"

#include <QFile>

namespace parcelo {

QImage LoadResourceBitmap(const QString& path, qreal devicePixelRatio) {
    if (devicePixelRatio > 1.0) {
        const qsizetype dot = path.lastIndexOf(u'.');
        const QString doubled =
            dot < 0 ? path + QStringLiteral("@2x") : path.left(dot) + "@2x" + path.mid(dot);
        // Read as is, never scaled: scaling would blend the transparent colour into the
        // pixels beside it.
        QImage image(doubled);
        if (!image.isNull()) {
            image.setDevicePixelRatio(2.0);
            return image;
        }
    }
    return QImage(path);
}

}  // namespace parcelo
