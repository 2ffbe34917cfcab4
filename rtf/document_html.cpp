#include "document_html.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <memory>
#include <vector>

namespace parcelo {

namespace {

// The picture named `name` as a data: URI, or an empty string when the document does not
// hold it.
QString dataUriOf(const QTextDocument& document, const QString& name) {
    if (name.startsWith(u"data:", Qt::CaseInsensitive))
        return name;
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    if (resource.typeId() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.typeId() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.typeId() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray());
    if (image.isNull())
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

}  // namespace

QString SelfContainedHtml(const QTextDocument& document) {
    // The copy holds no resources: each picture takes its image along in its name.
    const std::unique_ptr<QTextDocument> copy(document.clone());
    struct Picture {
        int position;
        QTextImageFormat format;
        bool kept = true;
    };
    std::vector<Picture> pictures;
    QHash<QString, QString> uris;  // a logo repeated in a thread is encoded once
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            auto uri = uris.constFind(format.name());
            if (uri == uris.constEnd())
                uri = uris.insert(format.name(), dataUriOf(document, format.name()));
            format.setName(*uri);
            // An image is one character; consecutive images share a fragment.
            for (int i = 0; i < fragment.length(); ++i)
                pictures.push_back({fragment.position() + i, format, !uri->isEmpty()});
        }
    }
    QTextCursor cursor(copy.get());
    // From the end, so that a removed picture does not move the ones before it.
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        cursor.setPosition(it->position);
        cursor.setPosition(it->position + 1, QTextCursor::KeepAnchor);
        if (it->kept)
            cursor.setCharFormat(it->format);
        else
            cursor.removeSelectedText();
    }
    QString html = copy->toHtml();
    // Qt's doctype names the W3C's server; a browser needs only to know the page is HTML.
    if (html.startsWith(u"<!DOCTYPE")) {
        const qsizetype end = html.indexOf(u'>');
        html.replace(0, end + 1, QStringLiteral("<!DOCTYPE html>"));
    }
    return html;
}

}  // namespace parcelo
