#include "format_template.h"

namespace parcelo {

QString FormatTemplate(const QString& format, const QStringList& arguments) {
    QString text;
    text.reserve(format.size() + 32);
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%' || i + 1 == format.size()) {
            text += c;
            continue;
        }
        const QChar kind = format[i + 1];
        if (kind == u'%') {
            text += u'%';
            ++i;
        } else if ((kind == u'd' || kind == u'i' || kind == u'u' || kind == u's') &&
                   next < arguments.size()) {
            text += arguments[next++];
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace parcelo
