#include "body/html/document_html.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <memory>
#include <vector>

#include "body/font_families.h"
#include "body/html/openable_link.h"
#include "body/line_spacing.h"

namespace parcelo {

namespace {

// Qt quotes every family of a font-family list, and a browser takes a quoted 'sans-serif' for
// a font of that name, found nowhere: the generic families go unquoted.
void unquoteGenericFamilies(QString& html) {
    static const QRegularExpression kFamilies(QStringLiteral("font-family:([^;\"]*)"));
    static const QRegularExpression kGeneric(
        QStringLiteral("'(serif|sans-serif|monospace|cursive|fantasy|system-ui)'"));
    QString out;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : kFamilies.globalMatch(html)) {
        out += QStringView(html).mid(copied, match.capturedStart(1) - copied);
        out += match.captured(1).replace(kGeneric, QStringLiteral("\\1"));
        copied = match.capturedEnd(1);
    }
    if (copied == 0)
        return;
    out += QStringView(html).mid(copied);
    html = std::move(out);
}

}  // namespace

namespace {

// The picture named `name` as a data: URI made from the image the document holds, or an
// empty string when it holds none. Even a data: name is written anew, so that only the
// image's own bytes reach the page.
QString dataUriOf(const QTextDocument& document, const QString& name) {
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

// The links that the window opens with a click, and links within the page; a page in a
// browser gets no others (no local file, no script, nothing else on its server or disk).
bool isWebLink(const QString& href) {
    return href.startsWith(u'#') || IsOpenableLink(QUrl(href));
}

}  // namespace

QString SelfContainedHtml(const QTextDocument& document) {
    // The copy holds no resources: each picture takes its image along in its name.
    const std::unique_ptr<QTextDocument> copy(document.clone());
    struct Change {
        int position;
        int length;
        QTextCharFormat format;
        bool remove = false;
    };
    std::vector<Change> changes;
    QHash<QString, QString> uris;  // a logo repeated in a thread is encoded once
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            bool changed = false;
            bool remove = false;
            if (format.hasProperty(kSenderFontFamiliesProperty)) {
                const QStringList families = SenderFontFamilies(format);
                format.clearProperty(kSenderFontFamiliesProperty);
                format.clearProperty(QTextFormat::FontFamilies);
                if (!families.isEmpty())
                    format.setFontFamilies(families);
                changed = true;
            }
            if (format.isAnchor() && !isWebLink(format.anchorHref())) {
                format.clearProperty(QTextFormat::AnchorHref);
                format.setAnchor(!format.anchorNames().isEmpty());
                changed = true;
            }
            if (format.isImageFormat()) {
                QTextImageFormat image = format.toImageFormat();
                auto uri = uris.constFind(image.name());
                if (uri == uris.constEnd())
                    uri = uris.insert(image.name(), dataUriOf(document, image.name()));
                image.setName(*uri);
                format = image;
                remove = uri->isEmpty();
                changed = true;
            }
            if (changed)
                changes.push_back({fragment.position(), fragment.length(), format, remove});
        }
    }
    QTextCursor cursor(copy.get());
    // Paragraphs are spaced as their body spaced them.
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().hasProperty(kSenderLineHeightProperty)) {
            cursor.setPosition(block.position());
            cursor.setBlockFormat(SenderLineSpacing(block.blockFormat()));
        }
    }
    // From the end, so that a removed picture does not move the changes before it.
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        cursor.setPosition(it->position);
        cursor.setPosition(it->position + it->length, QTextCursor::KeepAnchor);
        if (it->remove)
            cursor.removeSelectedText();
        else
            cursor.setCharFormat(it->format);
    }
    QString html = copy->toHtml();
    // Qt's doctype names the W3C's server; a browser needs only to know the page is HTML.
    if (html.startsWith(u"<!DOCTYPE")) {
        const qsizetype end = html.indexOf(u'>');
        html.replace(0, end + 1, QStringLiteral("<!DOCTYPE html>"));
    }
    unquoteGenericFamilies(html);
    return html;
}

}  // namespace parcelo
