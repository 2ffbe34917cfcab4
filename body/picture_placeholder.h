// What the body view shows for a picture it cannot draw (a metafile, or damaged data): a
// framed box of the picture's size with the word "picture". The original data stays in the
// document, so that saving the body as RTF keeps the picture itself.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QTextFormat>

namespace parcelo {

// The word the box shows, and the alternative text of its image.
inline const QString kPictureWord = QStringLiteral("picture");

// Properties of the QTextImageFormat of a placeholder whose original data is known: the
// words of its \pict header that say what the data is ("\wmetafile8\picw..\pich.."), and
// the name of the QTextDocument::UserResource that holds the data.
inline constexpr int kPictureHeaderProperty = QTextFormat::UserProperty + 0x100;
inline constexpr int kPictureDataProperty = QTextFormat::UserProperty + 0x101;

// The box, drawn at `size` pixels (each side at least 1), showing `word`.
QImage PicturePlaceholderImage(QSize size, const QString& word = kPictureWord);

// The box for a picture the message has lost, sized to show its alternative text (the word
// "picture" when it has none).
QImage LostPictureImage(const QString& alt);

}  // namespace parcelo
