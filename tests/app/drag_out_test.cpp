// Dragging an attachment out of the list: what the drag carries, and that it starts only from
// an item.
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "attachment_drag.h"
#include "attachment_item.h"

namespace parcelo::testing {
namespace {

TEST(DragOut, AnAttachmentGoesAsTheUrlOfItsExtractedFileToBeCopied) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName =
        WriteTnef(in, "winmail.dat", NoteBytes("", {{"report one.txt", "r"}, {"b#1.txt", "b"}}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    for (int row = 0; row < dialog.attachmentList()->count(); ++row) {
        const QListWidgetItem& item = *dialog.attachmentList()->item(row);
        const std::unique_ptr<QMimeData> data = AttachmentDragData(item);
        ASSERT_NE(data, nullptr);
        EXPECT_TRUE(data->hasFormat("text/uri-list"));
        const QString path = QString::fromStdString(dialog.scratchDirectory()) + item.text();
        EXPECT_EQ(data->urls(), QList<QUrl>({QUrl::fromLocalFile(path)}));
        // A "#" in a name is escaped in the list, so the receiver finds the file itself.
        EXPECT_EQ(QUrl(QString::fromUtf8(data->data("text/uri-list")).trimmed()).toLocalFile(),
                  path);
    }
    EXPECT_EQ(kAttachmentDragActions, Qt::DropActions(Qt::CopyAction));

    const QListWidgetItem plain("not an attachment");
    EXPECT_EQ(AttachmentDragData(plain), nullptr);
}

}  // namespace
}  // namespace parcelo::testing
