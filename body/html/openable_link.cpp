#include "body/html/openable_link.h"

#include <QString>
#include <QUrl>

namespace parcelo {

bool IsOpenableLink(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https" || scheme == u"mailto");
}

}  // namespace parcelo
