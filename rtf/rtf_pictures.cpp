// Pictures: a \pict group's header and data, and the image that a PNG or JPEG picture puts
// into the document.
#include "rtf_interpreter_state.h"
#include "rtf_tokenizer.h"

#include <QCryptographicHash>
#include <QImage>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace parcelo::rtf {

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

void Interpreter::finishPicture() {
    Picture picture = std::move(picture_);
    picture_ = {};
    if (picture.kind == Picture::Kind::Unknown || picture.data.isEmpty())
        return;
    const QImage image =
        QImage::fromData(picture.data, picture.kind == Picture::Kind::Png ? "PNG" : "JPEG");
    if (image.isNull())
        return;
    // Named after the bytes, so that a logo repeated in a thread is kept once.
    const QString name =
        QStringLiteral("rtf-image:") +
        QString::fromLatin1(
            QCryptographicHash::hash(picture.data, QCryptographicHash::Sha1).toHex());
    builder_->document().addResource(QTextDocument::ImageResource, QUrl(name), image);

    QTextImageFormat format;
    format.setName(name);
    const double width = picture.goalWidth > 0 ? picture.goalWidth * picture.scaleX / 1500.0
                                               : image.width() * picture.scaleX / 100.0;
    const double height = picture.goalHeight > 0 ? picture.goalHeight * picture.scaleY / 1500.0
                                                 : image.height() * picture.scaleY / 100.0;
    format.setWidth(std::clamp(width, 1.0, 4000.0));
    format.setHeight(std::clamp(height, 1.0, 4000.0));
    flushRun();
    runs_.push_back({QString(QChar::ObjectReplacementCharacter), format});
}

}  // namespace parcelo::rtf
