#include "body/font_families.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>

namespace parcelo {

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

bool isGeneric(const QString& family) {
    static const QStringList kGeneric = {QStringLiteral("serif"),     QStringLiteral("sans-serif"),
                                         QStringLiteral("monospace"), QStringLiteral("cursive"),
                                         QStringLiteral("fantasy"),   QStringLiteral("system-ui")};
    return kGeneric.contains(family, Qt::CaseInsensitive);
}

QString stringOf(const FcChar8* text) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text));
}

// Every family name of the font `match` names, in fontconfig's order.
QStringList familiesOf(FcPattern* match) {
    QStringList names;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        names << stringOf(name);
    return names;
}

// The installed family to give Qt for `family`: fontconfig's choice for a generic one; for
// any other, the font of that name, or the font that fontconfig's alias rules bind to it as
// a stand-in (bound "same" or strongly, as the metric-compatible aliases are: Carlito for
// Calibri); else nothing. Every name matches some font, so the match alone does not say the
// family is there: a weakly bound alias is only the fallback for a font that is missing.
// Qt is given the stand-in's own name, since it looks a name up in its list of families
// before it asks fontconfig, and a later family of the list would win over the alias.
QString installedFamily(const QString& family) {
    const QByteArray name = family.toUtf8();
    Pattern pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(name.constData()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    QStringList standIns{family};
    FcPatternIter iter;
    if (FcPatternFindIter(pattern.get(), &iter, FC_FAMILY)) {
        const int count = FcPatternIterValueCount(pattern.get(), &iter);
        for (int i = 0; i < count; ++i) {
            FcValue value;
            FcValueBinding binding;
            if (FcPatternIterGetValue(pattern.get(), &iter, i, &value, &binding) == FcResultMatch &&
                value.type == FcTypeString && binding != FcValueBindingWeak)
                standIns << stringOf(value.u.s);
        }
    }
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match)
        return {};
    const QStringList found = familiesOf(match.get());
    if (found.isEmpty())
        return {};
    if (isGeneric(family))
        return found.front();
    const bool bound = std::any_of(found.begin(), found.end(), [&](const QString& other) {
        return standIns.contains(other, Qt::CaseInsensitive);
    });
    return bound ? found.front() : QString();
}

}  // namespace

QString InstalledFontFamily(const QStringList& asked) {
    // A body names the same few families thousands of times.
    static QMutex mutex;
    static QHash<QString, QString> known;
    QMutexLocker lock(&mutex);
    for (const QString& family : asked) {
        const QString key = family.trimmed().toLower();
        if (key.isEmpty())
            continue;
        auto it = known.constFind(key);
        if (it == known.constEnd())
            it = known.insert(key, installedFamily(family.trimmed()));
        if (!it->isEmpty())
            return *it;
    }
    return {};
}

QStringList SenderFontFamilies(const QTextCharFormat& format) {
    if (format.hasProperty(kSenderFontFamiliesProperty))
        return format.property(kSenderFontFamiliesProperty).toStringList();
    return format.fontFamilies().toStringList();
}

}  // namespace parcelo
