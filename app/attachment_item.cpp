#include "attachment_item.h"

namespace parcelo {

namespace {
constexpr int kAttachmentItemType = QListWidgetItem::UserType + 1;
}

AttachmentItem::AttachmentItem(const QIcon& icon, const QString& name, const QString& path)
    : QListWidgetItem(icon, name, nullptr, kAttachmentItemType), path_(path) {
    setToolTip(name);
}

bool AttachmentItem::operator<(const QListWidgetItem& other) const {
    const QString mine = text();
    const QString theirs = other.text();
    const int folded = mine.compare(theirs, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : mine < theirs;
}

}  // namespace parcelo
