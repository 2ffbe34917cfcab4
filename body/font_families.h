// The fonts a body's text is drawn in, chosen as a browser chooses them: the first family
// of a list that this machine has, by its own name or by a fontconfig alias (Carlito for
// Calibri), with the generic families (serif, sans-serif, ...) as fontconfig resolves them.
#pragma once

#include <QStringList>
#include <QTextFormat>

namespace parcelo {

// The first family of `asked` that is installed, as fontconfig names it (a generic family
// and an alias become the font they stand for); empty when none is.
QString InstalledFontFamily(const QStringList& asked);

// The families a sender named for text that is drawn in another family the machine has:
// saving writes these, so that the body's fonts are the sender's wherever it is opened.
inline constexpr int kSenderFontFamiliesProperty = QTextFormat::UserProperty + 2;

// The families to save for `format`: the sender's where they were replaced, else its own.
QStringList SenderFontFamilies(const QTextCharFormat& format);

}  // namespace parcelo
