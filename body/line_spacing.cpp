#include "body/line_spacing.h"

#include <QFontMetricsF>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace parcelo {

namespace {

struct Face {
    qreal points = 0;  // the size that decides which face sets a line
    qreal share = 1;   // the part of Qt's line that is the font's own height
};

}  // namespace

void SetSingleLineSpacing(QTextDocument& document, int from) {
    QHash<int, Face> faces;  // by format: a body's many runs share a few
    const QFont base = document.defaultFont();
    const auto faceOf = [&](int index, const QTextCharFormat& format) {
        auto it = faces.constFind(index);
        if (it == faces.constEnd()) {
            const QFont font = format.font().resolve(base);
            const QFontMetricsF metrics(font);
            const qreal height = metrics.ascent() + metrics.descent();
            const qreal spacing = height + std::max<qreal>(metrics.leading(), 0);
            it = faces.insert(index,
                              {font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75,
                               spacing > 0 ? height / spacing : 1});
        }
        return *it;
    };
    struct Change {
        int position;
        qreal percent;
        qreal asked;
    };
    std::vector<Change> changes;
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        // A multiple of the line (Word's \\slmult, CSS percentages) is a multiple of the
        // font's height too; a height in points stays as it is.
        const QTextBlockFormat format = block.blockFormat();
        const bool multiple = format.lineHeightType() == QTextBlockFormat::ProportionalHeight;
        if (!multiple && format.lineHeightType() != QTextBlockFormat::SingleHeight)
            continue;
        const qreal percent = multiple ? format.lineHeight() : 100;
        // The largest text sets the line, as it does its height. A share of a line that
        // holds a picture would be a share of the picture's height, and the next line
        // would be drawn over it.
        Face face = faceOf(block.charFormatIndex(), block.charFormat());
        bool first = true;
        bool picture = false;
        for (auto it = block.begin(); !it.atEnd() && !picture; ++it) {
            const QTextFragment fragment = it.fragment();
            picture = fragment.charFormat().isImageFormat();
            const Face own = faceOf(fragment.charFormatIndex(), fragment.charFormat());
            if (first || own.points > face.points)
                face = own;
            first = false;
        }
        if (!picture && face.share < 0.995)
            changes.push_back({block.position(), face.share * percent, multiple ? percent : 0});
    }
    QTextCursor cursor(&document);
    for (const Change& change : changes) {
        cursor.setPosition(change.position);
        QTextBlockFormat format;
        format.setLineHeight(change.percent, QTextBlockFormat::ProportionalHeight);
        format.setProperty(kSenderLineHeightProperty, change.asked);
        cursor.mergeBlockFormat(format);
    }
}

QTextBlockFormat SenderLineSpacing(QTextBlockFormat format) {
    if (!format.hasProperty(kSenderLineHeightProperty))
        return format;
    const qreal asked = format.doubleProperty(kSenderLineHeightProperty);
    format.clearProperty(kSenderLineHeightProperty);
    if (asked > 0) {
        format.setLineHeight(asked, QTextBlockFormat::ProportionalHeight);
    } else {
        format.clearProperty(QTextFormat::LineHeight);
        format.clearProperty(QTextFormat::LineHeightType);
    }
    return format;
}

}  // namespace parcelo
