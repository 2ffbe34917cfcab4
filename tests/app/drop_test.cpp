// Files dropped onto the window from a file manager.
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTextEdit>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace parcelo::testing {
namespace {

QMimeData* UrlData(const QList<QUrl>& urls) {
    auto* data = new QMimeData;
    data->setUrls(urls);
    // File managers also offer the paths as text, which a text field would take.
    QStringList paths;
    for (const QUrl& url : urls)
        paths << url.toString();
    data->setText(paths.join('\n'));
    return data;
}

// Drags `data` over `target` (a control of `dialog`, or the dialog) and drops it there, as
// the window system does: the events go to the window, which finds the control under the
// point that takes drops. Returns whether the drop was accepted.
bool DropOnto(TestDialog& dialog, QWidget* target, QMimeData* data) {
    dialog.show();
    QWindow* window = dialog.windowHandle();
    const QPoint point =
        target == &dialog ? QPoint(2, 2) : target->mapTo(&dialog, target->rect().center());
    QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    QDropEvent drop(QPointF(point), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

TEST(Dropping, ThreeFilesLoadsTheFirstOnly) {
    ScratchDir in;
    TemporaryFolder tmp;
    const QString first = WriteTnef(in, "first.dat", NoteBytes("", {{"first.txt", "1"}}));
    const QString second = WriteTnef(in, "second.dat", NoteBytes("", {{"second.txt", "2"}}));
    const QString third = WriteTnef(in, "third.dat", NoteBytes("", {{"third.txt", "3"}}));
    TestDialog dialog;
    std::unique_ptr<QMimeData> data(UrlData(
        {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl::fromLocalFile(third)}));
    ASSERT_TRUE(DropOnto(dialog, &dialog, data.get()));
    EXPECT_EQ(dialog.fileName, first);
    EXPECT_EQ(dialog.fileNameField()->text(), first);
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"first.txt"}));
    EXPECT_EQ(tmp.entries(), 1u);
    dialog.reject();
}

TEST(Dropping, OntoAnyControlLoadsTheFileRatherThanTypingItsPath) {
    ScratchDir in;
    TemporaryFolder tmp;
    const QString file = WriteTnef(in, "winmail.dat", NoteBytes("{\\rtf1 Body}", {{"a.txt", "a"}}));
    for (const char* where : {"field", "body", "list"}) {
        TestDialog dialog;
        QWidget* target = std::string(where) == "field"
                              ? static_cast<QWidget*>(dialog.fileNameField())
                          : std::string(where) == "body" ? dialog.bodyView()->viewport()
                                                         : dialog.attachmentList()->viewport();
        std::unique_ptr<QMimeData> data(UrlData({QUrl::fromLocalFile(file)}));
        ASSERT_TRUE(DropOnto(dialog, target, data.get())) << where;
        EXPECT_EQ(dialog.fileNameField()->text(), file) << where;
        EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"a.txt"})) << where;
        EXPECT_EQ(dialog.bodyView()->toPlainText().trimmed(), kHelloHeader + "Body") << where;
        dialog.reject();
    }
}

TEST(Dropping, SomethingThatIsNotALocalFileIsRefused) {
    TemporaryFolder tmp;
    TestDialog dialog;
    std::unique_ptr<QMimeData> web(UrlData({QUrl("https://example.com/winmail.dat")}));
    EXPECT_FALSE(DropOnto(dialog, &dialog, web.get()));
    auto text = std::make_unique<QMimeData>();
    text->setText("/tmp/winmail.dat");
    EXPECT_FALSE(DropOnto(dialog, &dialog, text.get()));
    dialog.reject();
    EXPECT_TRUE(dialog.fileName.isEmpty());
    EXPECT_EQ(tmp.entries(), 0u);
}

}  // namespace
}  // namespace parcelo::testing
