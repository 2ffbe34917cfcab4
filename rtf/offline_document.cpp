#include "offline_document.h"

namespace parcelo {

QVariant OfflineTextDocument::loadResource(int /*type*/, const QUrl& /*name*/) {
    return {};
}

}  // namespace parcelo
