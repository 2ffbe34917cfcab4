// Dragging attachments out of the list into a file manager or a mail composer: the extracted
// file goes as a file URL, to be copied; the scratch copy stays where it is.
#pragma once

#include <QObject>
#include <QPoint>

#include <memory>

class QListWidget;
class QListWidgetItem;
class QMimeData;

namespace parcelo {

// What a drag of `item` carries: the extracted file's URL (text/uri-list); none for an item
// that is not an attachment.
std::unique_ptr<QMimeData> AttachmentDragData(const QListWidgetItem& item);

// The only action a drag of an attachment offers.
inline constexpr Qt::DropActions kAttachmentDragActions = Qt::CopyAction;

// Starts the drag of the item under the pointer once it has moved far enough with the left
// button held. The list's own dragging stays off: it would offer to move the item.
class AttachmentDragSource : public QObject {
  public:
    explicit AttachmentDragSource(QListWidget& list);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QListWidget& list_;
    const QObject* viewport_;
    QPoint pressedAt_;
    QListWidgetItem* pressedItem_ = nullptr;
};

}  // namespace parcelo
