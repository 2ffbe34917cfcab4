#include "file_dialog_filter.h"

#include <QStringList>

namespace parcelo {

namespace {

QString QtPatterns(const QString& patterns) {
    QStringList out;
    for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        out << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return out.join(u' ');
}

}  // namespace

QString QtFileFilter(const char* tableFilter) {
    QString text = QString::fromLatin1(tableFilter).trimmed();
    const QStringList parts = text.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = QtPatterns(parts[i + 1]);
        if (description.isEmpty() || patterns.isEmpty())
            break;  // "||" ends the list
        const qsizetype open = description.lastIndexOf(u'(');
        if (open >= 0 && description.endsWith(u')'))
            description.truncate(open);
        else
            description += u' ';
        filters << description + u'(' + patterns + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace parcelo
