#include "attachment_drag.h"

#include <QApplication>
#include <QDrag>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "attachment_item.h"

namespace parcelo {

std::unique_ptr<QMimeData> AttachmentDragData(const QListWidgetItem& item) {
    const auto* attachment = dynamic_cast<const AttachmentItem*>(&item);
    if (attachment == nullptr || attachment->path().isEmpty())
        return nullptr;
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(attachment->path())});
    return data;
}

AttachmentDragSource::AttachmentDragSource(QListWidget& list)
    : QObject(&list), list_(list), viewport_(list.viewport()) {
    list.viewport()->installEventFilter(this);
}

bool AttachmentDragSource::eventFilter(QObject* watched, QEvent* event) {
    // Compared, not asked for: the viewport still sends events while the list is destroyed.
    if (watched != viewport_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            pressedItem_ = mouse->button() == Qt::LeftButton
                               ? list_.itemAt(mouse->position().toPoint())
                               : nullptr;
            pressedAt_ = mouse->position().toPoint();
            break;
        }
        case QEvent::MouseButtonRelease:
            pressedItem_ = nullptr;
            break;
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (pressedItem_ == nullptr || !(mouse->buttons() & Qt::LeftButton) ||
                (mouse->position().toPoint() - pressedAt_).manhattanLength() <
                    QApplication::startDragDistance())
                break;
            // The item may be gone by the time the pointer moves (a load in between).
            QListWidgetItem* item = list_.itemAt(pressedAt_);
            pressedItem_ = nullptr;
            if (item == nullptr)
                break;
            std::unique_ptr<QMimeData> data = AttachmentDragData(*item);
            if (!data)
                break;
            auto* drag = new QDrag(&list_);
            drag->setMimeData(data.release());
            drag->setPixmap(item->icon().pixmap(list_.iconSize()));
            drag->exec(kAttachmentDragActions, Qt::CopyAction);
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace parcelo
