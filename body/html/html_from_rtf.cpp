#include "body/html/html_from_rtf.h"

#include "body/html/browser_fonts.h"
#include "body/html/safe_html.h"
#include "body/html/table_margins.h"
#include "body/metafile_player.h"
#include "body/picture_placeholder.h"
#include "body/rtf/bitmap_decoding.h"
#include "body/rtf/code_page_text.h"
#include "body/rtf/rtf_interpreter.h"

#include <QHash>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace parcelo {

namespace {

// The image that an <img src> names, when the message itself holds it.
QImage imageOfSource(const QString& source, const CidResolver& resolveCid) {
    if (source.startsWith(u"data:", Qt::CaseInsensitive)) {
        const qsizetype comma = source.indexOf(u',');
        if (comma < 0)
            return {};
        const QStringView header = QStringView(source).mid(5, comma - 5);
        const QByteArray payload = source.mid(comma + 1).toLatin1();
        const QByteArray bytes = header.endsWith(u";base64", Qt::CaseInsensitive)
                                     ? QByteArray::fromBase64(payload)
                                     : QByteArray::fromPercentEncoding(payload);
        return QImage::fromData(bytes);
    }
    if (source.startsWith(u"cid:", Qt::CaseInsensitive) && resolveCid) {
        const QString contentId = QUrl::fromPercentEncoding(source.mid(4).toUtf8());
        const QByteArray bytes = resolveCid(contentId);
        if (bytes.isEmpty())
            return {};
        // Outlook attaches a body's drawings as .wmf or .emf files, which Qt cannot read.
        if (IsMetafile(bytes)) {
            const QSize own = MetafileSize(bytes);
            return ImageFromMetafile(bytes, own.isEmpty() ? QSize(96, 96) : own, kMaxPicturePixels);
        }
        return QImage::fromData(bytes);
    }
    return {};
}

// The symbol font a text format names first, if it names one.
SymbolFont symbolFontOf(const QTextCharFormat& format) {
    const QStringList families = format.fontFamilies().toStringList();
    if (families.isEmpty())
        return SymbolFont::None;
    const QString& family = families.front();
    if (family.contains(u"Wingdings", Qt::CaseInsensitive) ||
        family.contains(u"Webdings", Qt::CaseInsensitive))
        return SymbolFont::Wingdings;
    if (family.compare(u"Symbol", Qt::CaseInsensitive) == 0)
        return SymbolFont::Symbol;
    return SymbolFont::None;
}

// Outlook writes the glyphs of Wingdings and Symbol as the letters at their code points (its
// smiley is a "J" in Wingdings). The text becomes the characters the glyphs stand for, in
// the surrounding font, as an RTF body's does: a machine without those fonts shows them too.
void mapSymbolFonts(QTextDocument& document, int from) {
    const QList<QTextFormat> formats = document.allFormats();
    if (std::none_of(formats.begin(), formats.end(), [](const QTextFormat& format) {
            return format.isCharFormat() && symbolFontOf(format.toCharFormat()) != SymbolFont::None;
        }))
        return;
    struct Change {
        int position;
        QString text;
        QTextCharFormat format;
    };
    std::vector<Change> changes;
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextCharFormat format = it.fragment().charFormat();
            const SymbolFont font = symbolFontOf(format);
            if (font == SymbolFont::None || format.isImageFormat())
                continue;
            QString text = it.fragment().text();
            for (QChar& c : text)
                c = QChar(SymbolFontChar(font, c.unicode()));
            format.clearProperty(QTextFormat::FontFamilies);
            format.clearProperty(QTextFormat::FontFamily);
            changes.push_back({it.fragment().position(), std::move(text), std::move(format)});
        }
    }
    // Each glyph is one character, so the positions stay where they were.
    QTextCursor cursor(&document);
    for (const Change& change : changes) {
        cursor.setPosition(change.position);
        cursor.setPosition(change.position + int(change.text.size()), QTextCursor::KeepAnchor);
        cursor.insertText(change.text, change.format);
    }
}

}  // namespace

std::optional<QString> HtmlFromRtf(std::string_view rtf) {
    if (RtfBodyKindOf(rtf) != RtfBodyKind::Html)
        return std::nullopt;
    return InterpretEncapsulatedHtml(rtf);
}

void AppendHtml(QTextDocument& document, const QString& html, const CidResolver& resolveCid) {
    QHash<QString, bool> shown;  // signatures repeat the same logo in every quoted message
    const QString safe = SanitizeHtml(html, [&](const QString& source, const QString& alt) {
        const auto known = shown.constFind(source);
        if (known != shown.constEnd())
            return *known;
        QImage image = imageOfSource(source, resolveCid);
        // A picture of the message itself that it no longer carries keeps its place, so the
        // reader sees something is missing; Outlook's alt text is often the cid: again.
        if (image.isNull() && resolveCid && source.startsWith(u"cid:", Qt::CaseInsensitive))
            image =
                LostPictureImage(alt.startsWith(u"cid:", Qt::CaseInsensitive) ? QString() : alt);
        if (!image.isNull())
            document.addResource(QTextDocument::ImageResource, QUrl(source), image);
        shown.insert(source, !image.isNull());
        return !image.isNull();
    });
    const bool undoWasEnabled = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    int from = 0;
    if (document.isEmpty()) {
        // Importing straight into the document saves the copy that inserting a fragment
        // makes, a third of the time for a large body; it keeps the body's own background.
        document.setHtml(safe);
    } else {
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        cursor.beginEditBlock();
        cursor.insertBlock();
        from = cursor.position();
        cursor.insertHtml(safe);
        cursor.endEditBlock();
    }
    // Symbol fonts first: their text takes the surrounding font.
    mapSymbolFonts(document, from);
    CollapseTableMargins(document, from);
    SetBrowserFonts(document, from);
    document.setUndoRedoEnabled(undoWasEnabled);
}

}  // namespace parcelo
