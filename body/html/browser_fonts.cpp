#include "body/html/browser_fonts.h"

#include "body/font_families.h"
#include "body/format_changes.h"

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <optional>
#include <vector>

namespace parcelo {

namespace {

// A browser's default font for text whose HTML names none: 16 px (12 pt) serif.
constexpr qreal kDefaultPoints = 12;

// A browser's sizes for <font size=1> to <font size=7> (and Qt's <h1> to <h6>, <big>,
// <small>, which it gives as the same steps), relative to its default.
qreal adjustedPoints(int adjustment) {
    static constexpr qreal kScale[7] = {10.0 / 16, 13.0 / 16, 1.0, 18.0 / 16, 1.5, 2, 3};
    return kDefaultPoints * kScale[std::clamp(adjustment + 2, 0, 6)];
}

// The format `format` takes in a browser, or nothing when it keeps its own. Qt sizes text
// that states no size, and scales headings, by the view's default font, and a scale
// overrides any size that CSS gives the same text: every run gets a size of its own, the
// one the sender wrote winning. Qt also takes the first family of a list for a font of its
// own choosing when that family is missing ("Aptos, serif" in a sans font), so each run is
// given the first installed family of its list, or the browser's serif default.
std::optional<QTextCharFormat> browserFormat(QTextCharFormat format,
                                             QHash<QStringList, QString>& resolved) {
    bool changed = false;
    if (format.hasProperty(QTextFormat::FontPointSize) ||
        format.hasProperty(QTextFormat::FontPixelSize)) {
        changed = format.hasProperty(QTextFormat::FontSizeAdjustment);
    } else {
        format.setFontPointSize(
            adjustedPoints(format.intProperty(QTextFormat::FontSizeAdjustment)));
        changed = true;
    }
    format.clearProperty(QTextFormat::FontSizeAdjustment);
    if (!format.hasProperty(kSenderFontFamiliesProperty)) {
        QStringList named = format.fontFamilies().toStringList();
        if (named.isEmpty() && format.hasProperty(QTextFormat::FontFamily))
            named = {format.stringProperty(QTextFormat::FontFamily)};
        QStringList asked = named;
        // <pre>, <code> and <tt> ask for a fixed pitch and name no family.
        asked << (format.fontFixedPitch() ? QStringLiteral("monospace") : QStringLiteral("serif"));
        auto it = resolved.constFind(asked);
        if (it == resolved.constEnd())
            it = resolved.insert(asked, InstalledFontFamily(asked));
        if (!it->isEmpty() && QStringList{*it} != named) {
            format.setProperty(kSenderFontFamiliesProperty, named);
            format.clearProperty(QTextFormat::FontFamily);
            format.setFontFamilies(QStringList{*it});
            changed = true;
        }
    }
    if (!changed)
        return std::nullopt;
    return format;
}

// A family can have a light face that lacks letters its regular face has (DejaVu Sans
// ExtraLight has almost no Hebrew). Qt falls back character by character in the weight asked
// for, so a word would be drawn in a patchwork of faces, or as boxes; text its face cannot
// show is drawn in the regular weight instead.
bool keepLettersInSight(QTextCharFormat& format, const QString& text, const QFont& base,
                        QHash<QString, QRawFont>& faces) {
    const int weight = format.fontWeight();
    if (weight == QFont::Normal || weight == 0 ||
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x0300; }))
        return false;
    const auto faceOf = [&](const QFont& font) {
        const QString key = font.key();
        auto it = faces.constFind(key);
        if (it == faces.constEnd())
            it = faces.insert(key, QRawFont::fromFont(font));
        return *it;
    };
    QFont font = format.font().resolve(base);
    const QRawFont asked = faceOf(font);
    font.setWeight(QFont::Normal);
    const QRawFont regular = faceOf(font);
    const QList<uint> letters = text.toUcs4();
    const bool lacking = std::any_of(letters.begin(), letters.end(), [&](uint c) {
        return c >= 0x0300 && !asked.supportsCharacter(c) && regular.supportsCharacter(c);
    });
    if (lacking)
        format.setFontWeight(QFont::Normal);
    return lacking;
}

}  // namespace

void SetBrowserFonts(QTextDocument& document, int from) {
    QHash<QStringList, QString> resolved;
    QHash<QString, QRawFont> faces;
    // A body's many runs share a few formats.
    QHash<int, std::optional<QTextCharFormat>> formats;
    const auto formatFor = [&](int index, const QTextCharFormat& format) {
        auto it = formats.constFind(index);
        if (it == formats.constEnd())
            it = formats.insert(index, browserFormat(format, resolved));
        return *it;
    };
    std::vector<CharFormatChange> changes;
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        // A block's own format sizes only a line with no text.
        if (block.length() == 1) {
            if (auto format = formatFor(block.charFormatIndex(), block.charFormat()))
                changes.push_back({block.position(), 0, *format});
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat current = fragment.charFormat();
            if (current.isImageFormat())
                continue;
            std::optional<QTextCharFormat> format = formatFor(fragment.charFormatIndex(), current);
            QTextCharFormat weighed = format ? *format : current;
            const bool reweighed =
                keepLettersInSight(weighed, fragment.text(), document.defaultFont(), faces);
            if (!format && !reweighed)
                continue;
            // Runs that follow each other in a block and take the same format change as one.
            if (!changes.empty() && changes.back().length > 0 &&
                changes.back().position + changes.back().length == fragment.position() &&
                changes.back().format == weighed) {
                changes.back().length += fragment.length();
                continue;
            }
            changes.push_back({fragment.position(), fragment.length(), weighed});
        }
    }
    ApplyCharFormatChanges(document, changes);
}

}  // namespace parcelo
