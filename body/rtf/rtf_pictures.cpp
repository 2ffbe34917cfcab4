// Pictures: a \pict group's header and data, and what it puts into the document: the image of
// a PNG, JPEG, bitmap or metafile picture, or for anything else (Mac pictures, damaged data)
// a framed box of its size with the word "picture" that keeps the original data for saving.
#include "body/lengths.h"
#include "body/metafile_player.h"
#include "body/picture_placeholder.h"
#include "body/rtf/bitmap_decoding.h"
#include "body/rtf/rtf_interpreter_state.h"
#include "body/rtf/rtf_tokenizer.h"

#include <QCryptographicHash>
#include <QImage>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace parcelo::rtf {

namespace {

// Most distinct placeholder boxes drawn for one body, and the largest side drawn; larger
// boxes are drawn smaller and stretched, and boxes beyond the count share one drawing.
constexpr int kMaxPlaceholders = 32;
constexpr int kMaxPlaceholderSide = 800;

bool isMetafile(Picture::Kind kind) {
    return kind == Picture::Kind::Wmf || kind == Picture::Kind::Emf ||
           kind == Picture::Kind::MacPict;
}

const char* kindWord(Picture::Kind kind) {
    switch (kind) {
        case Picture::Kind::Png:
            return "\\pngblip";
        case Picture::Kind::Jpeg:
            return "\\jpegblip";
        case Picture::Kind::Dib:
            return "\\dibitmap";
        case Picture::Kind::DeviceBitmap:
            return "\\wbitmap";
        case Picture::Kind::Wmf:
            return "\\wmetafile";
        case Picture::Kind::Emf:
            return "\\emfblip";
        case Picture::Kind::MacPict:
            return "\\macpict";
        case Picture::Kind::Unknown:
            break;
    }
    return "";
}

// The words of a \pict header that say what its data is, for writing the data back.
QString headerOf(const Picture& picture) {
    QString header = QString::fromLatin1(kindWord(picture.kind));
    if (picture.kind == Picture::Kind::Wmf || picture.kind == Picture::Kind::Dib ||
        picture.kind == Picture::Kind::DeviceBitmap)
        header += QString::number(picture.kindParam);
    if (picture.width > 0)
        header += QStringLiteral("\\picw%1").arg(picture.width);
    if (picture.height > 0)
        header += QStringLiteral("\\pich%1").arg(picture.height);
    if (picture.kind == Picture::Kind::DeviceBitmap) {
        header += QStringLiteral("\\wbmbitspixel%1\\wbmplanes%2")
                      .arg(picture.bitsPerPixel)
                      .arg(picture.planes);
        if (picture.widthBytes > 0)
            header += QStringLiteral("\\wbmwidthbytes%1").arg(picture.widthBytes);
    }
    return header;
}

bool isDrawnMetafile(Picture::Kind kind) {
    return kind == Picture::Kind::Wmf || kind == Picture::Kind::Emf;
}

// The size a picture says it has: metafiles give theirs in hundredths of a millimetre,
// bitmaps in pixels; with neither, an inch square.
QSize boxOf(const Picture& picture) {
    const double perUnit = isMetafile(picture.kind) ? PixelsFromHimetric(1) : 1.0;
    const QSizeF box(picture.width > 0 ? picture.width * perUnit : kPixelsPerInch,
                     picture.height > 0 ? picture.height * perUnit : kPixelsPerInch);
    return box.toSize().expandedTo(QSize(1, 1));
}

// A metafile's size from the \pict header, else from its own header.
QSize metafileBox(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0) {
        if (const QSize own = MetafileSize(picture.data); !own.isEmpty())
            return own;
    }
    return boxOf(picture);
}

// The size the body shows a picture at: the goal the RTF asks for, else its natural size,
// scaled.
QSizeF shownSize(const Picture& picture, QSize natural) {
    const double width = picture.goalWidth > 0 ? picture.goalWidth * picture.scaleX / 1500.0
                                               : natural.width() * picture.scaleX / 100.0;
    const double height = picture.goalHeight > 0 ? picture.goalHeight * picture.scaleY / 1500.0
                                                 : natural.height() * picture.scaleY / 100.0;
    return QSizeF(std::clamp(width, 1.0, 4000.0), std::clamp(height, 1.0, 4000.0));
}

QString nameOf(const char* scheme, const QByteArray& data) {
    return QLatin1StringView(scheme) +
           QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

}  // namespace

void Interpreter::pictureWord(Group& g, const Word& word) {
    if (word.kw != Kw::Pict)
        return;  // the words of a picture's header, read by pictureHeaderWord
    if (html() || g.dest == Dest::Picture) {
        g.dest = Dest::Skip;
    } else {
        g.dest = Dest::Picture;
        picture_ = {};
        pictureDepth_ = depth();
    }
}

void Interpreter::pictureHeaderWord(const Word& word) {
    switch (word.kw) {
        case Kw::PictKind:
            picture_.kind = static_cast<Picture::Kind>(word.arg);
            picture_.kindParam = std::clamp(word.param, 0, 100);
            return;
        case Kw::PictWidth:
            picture_.width = std::clamp(word.param, 0, 1'000'000);
            return;
        case Kw::PictHeight:
            picture_.height = std::clamp(word.param, 0, 1'000'000);
            return;
        case Kw::PictBitsPerPixel:
            picture_.bitsPerPixel = std::clamp(word.param, 0, 64);
            return;
        case Kw::PictPlanes:
            picture_.planes = std::clamp(word.param, 0, 64);
            return;
        case Kw::PictWidthBytes:
            picture_.widthBytes = std::clamp(word.param, 0, 1'000'000);
            return;
        case Kw::PictGoalWidth:
            picture_.goalWidth = std::clamp(word.param, 0, kMaxTwips);
            return;
        case Kw::PictGoalHeight:
            picture_.goalHeight = std::clamp(word.param, 0, kMaxTwips);
            return;
        case Kw::PictScaleX:
            picture_.scaleX = std::clamp(word.param, 1, 1000);
            return;
        case Kw::PictScaleY:
            picture_.scaleY = std::clamp(word.param, 1, 1000);
            return;
        default:
            return;
    }
}

void Interpreter::addPictureHex(std::string_view hex) {
    for (char c : hex) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            continue;
        if (picture_.highNibble < 0) {
            picture_.highNibble = digit;
        } else {
            picture_.data.append(static_cast<char>(picture_.highNibble << 4 | digit));
            picture_.highNibble = -1;
        }
    }
}

QImage Interpreter::decodePicture(const Picture& picture, int64_t maxPixels) const {
    Picture::Kind kind = picture.kind;
    // A picture that does not say what it is may still be a PNG or JPEG file.
    if (kind == Picture::Kind::Unknown) {
        if (picture.data.startsWith("\x89PNG"))
            kind = Picture::Kind::Png;
        else if (picture.data.startsWith("\xFF\xD8\xFF"))
            kind = Picture::Kind::Jpeg;
    }
    switch (kind) {
        case Picture::Kind::Png:
            return ImageFromEncoded(picture.data, "PNG", maxPixels);
        case Picture::Kind::Jpeg:
            return ImageFromEncoded(picture.data, "JPEG", maxPixels);
        case Picture::Kind::Dib:
            return ImageFromDib(picture.data, maxPixels);
        case Picture::Kind::DeviceBitmap:
            return ImageFromDeviceBitmap(picture.data,
                                         {picture.width, picture.height, picture.bitsPerPixel,
                                          picture.planes, picture.widthBytes},
                                         maxPixels);
        default:
            return {};
    }
}

void Interpreter::finishPicture() {
    Picture picture = std::move(picture_);
    picture_ = {};
    if (picture.data.isEmpty() && picture.goalWidth <= 0 && picture.width <= 0)
        return;  // nothing to show, not even a size

    // Named after the bytes, so that a logo repeated in a thread is read and kept once.
    QString name = nameOf("rtf-image:", picture.data);
    QSize natural;
    if (const auto known = pictureImages_.constFind(name); known != pictureImages_.constEnd()) {
        natural = *known;
    } else if (isDrawnMetafile(picture.kind) && !picture.data.isEmpty()) {
        // A metafile has no pixels of its own: it is drawn at twice the size it is shown,
        // so that it stays sharp when printed.
        natural = metafileBox(picture);
        const QImage image =
            ImageFromMetafile(picture.data, shownSize(picture, natural).toSize() * 2,
                              std::min(kMaxPicturePixels, kMaxBodyPicturePixels - picturePixels_));
        if (!image.isNull()) {
            picturePixels_ += int64_t{image.width()} * image.height();
            builder_->document().addResource(QTextDocument::ImageResource, QUrl(name), image);
            pictureImages_.insert(name, natural);
        } else {
            natural = {};
        }
    } else if (!picture.data.isEmpty()) {
        const QImage image = decodePicture(
            picture, std::min(kMaxPicturePixels, kMaxBodyPicturePixels - picturePixels_));
        if (!image.isNull()) {
            picturePixels_ += int64_t{image.width()} * image.height();
            builder_->document().addResource(QTextDocument::ImageResource, QUrl(name), image);
            pictureImages_.insert(name, image.size());
            natural = image.size();
        }
    }

    QTextImageFormat format;
    if (natural.isEmpty()) {
        natural = boxOf(picture);
        format.setProperty(QTextFormat::ImageAltText, kPictureWord);
        if (!picture.data.isEmpty()) {
            const QString dataName = nameOf("rtf-picture-data:", picture.data);
            builder_->document().addResource(QTextDocument::UserResource, QUrl(dataName),
                                             picture.data);
            format.setProperty(kPictureHeaderProperty, headerOf(picture));
            format.setProperty(kPictureDataProperty, dataName);
        }
        name.clear();
    }
    const QSizeF size = shownSize(picture, natural);
    format.setName(name.isEmpty() ? placeholderFor(size) : name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    flushRun();
    runs_.push_back({QString(QChar::ObjectReplacementCharacter), format});
}

// The name of the image of a placeholder box of `size`, drawn when first needed.
QString Interpreter::placeholderFor(QSizeF size) {
    QSize drawn = size.toSize().expandedTo(QSize(1, 1));
    if (drawn.width() > kMaxPlaceholderSide || drawn.height() > kMaxPlaceholderSide)
        drawn.scale(kMaxPlaceholderSide, kMaxPlaceholderSide, Qt::KeepAspectRatio);
    drawn = drawn.expandedTo(QSize(1, 1));
    QString name = QStringLiteral("rtf-placeholder:%1x%2").arg(drawn.width()).arg(drawn.height());
    if (pictureImages_.contains(name))
        return name;
    if (++placeholders_ > kMaxPlaceholders) {
        drawn = QSize(160, 120);
        name = QStringLiteral("rtf-placeholder:shared");
        if (pictureImages_.contains(name))
            return name;
    }
    builder_->document().addResource(QTextDocument::ImageResource, QUrl(name),
                                     PicturePlaceholderImage(drawn));
    pictureImages_.insert(name, drawn);
    return name;
}

}  // namespace parcelo::rtf
