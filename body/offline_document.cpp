#include "body/offline_document.h"

namespace parcelo {

QVariant OfflineTextDocument::loadResource(int /*type*/, const QUrl& /*name*/) {
    return {};
}

void OfflineTextDocument::setBodyFont(QFont font) {
    font.setStyleStrategy(QFont::PreferNoShaping);
    setDefaultFont(font);
}

}  // namespace parcelo
