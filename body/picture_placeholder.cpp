#include "body/picture_placeholder.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace parcelo {

QImage PicturePlaceholderImage(QSize size, const QString& word) {
    QImage image(std::max(size.width(), 1), std::max(size.height(), 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    QFont font;
    font.setPixelSize(std::clamp(image.height() / 4, 6, 14));
    painter.setFont(font);
    // A box too small for the word keeps only its frame.
    if (QFontMetrics(font).horizontalAdvance(word) + 4 <= image.width() &&
        font.pixelSize() + 2 <= image.height()) {
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.drawText(image.rect(), Qt::AlignCenter, word);
    }
    return image;
}

QImage LostPictureImage(const QString& alt) {
    const QString word = alt.trimmed().isEmpty() ? kPictureWord : alt.trimmed();
    constexpr int kHeight = 48;  // a 12-pixel word
    QFont font;
    font.setPixelSize(kHeight / 4);
    // A long text is cut to fit rather than making a box wider than the page.
    constexpr int kMaxWidth = 400;
    const QString shown = QFontMetrics(font).elidedText(word, Qt::ElideRight, kMaxWidth - 16);
    const int width = std::max(QFontMetrics(font).horizontalAdvance(shown) + 16, kHeight);
    return PicturePlaceholderImage(QSize(width, kHeight), shown);
}

}  // namespace parcelo
