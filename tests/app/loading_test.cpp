// Loading a TNEF file into the window: what the views show, where the files go, and what a
// second or a failed load leaves behind.
#include <sys/stat.h>

#include <QBuffer>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeDatabase>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app_test_support.h"
#include "attachment_item.h"
#include "corpus.h"
#include "damage_bar.h"
#include "file_dialogs.h"
#include "string_table.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

TEST(Loading, ListsAttachmentsSortedByNameWithTheirTypesIconsAndShowsTheBody) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(
        in, "winmail.dat",
        NoteBytes("{\\rtf1\\ansi Hi {\\b there}\\par}", {{"b.txt", "hi"},
                                                         {"A.pdf", "%PDF-1.4\n"},
                                                         {"c d.png", "\x89PNG\r\n\x1a\n"},
                                                         {"meeting.ics", "BEGIN:VCALENDAR\n"}}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    EXPECT_TRUE(dialog.messages.empty());

    // Sorted without regard to case; the blank became an underscore when the file was written.
    const QListWidget* list = dialog.attachmentList();
    EXPECT_EQ(ItemTexts(list), QStringList({"A.pdf", "b.txt", "c_d.png", "meeting.ics"}));
    QMimeDatabase types;
    for (int i = 0; i < list->count(); ++i) {
        const auto* item = dynamic_cast<const AttachmentItem*>(list->item(i));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(fs::exists(item->path().toStdString()));
        EXPECT_FALSE(item->icon().isNull()) << item->text().toStdString();
        if (item->text() == "meeting.ics")
            continue;
        const QMimeType type = types.mimeTypeForFile(item->path());
        EXPECT_TRUE(item->icon().name() == type.iconName() ||
                    item->icon().name() == type.genericIconName())
            << item->text().toStdString() << " shows " << item->icon().name().toStdString();
    }
    EXPECT_NE(list->item(0)->icon().name(), list->item(1)->icon().name());
    // A calendar is text to the MIME database, but shows as a calendar where the theme can.
    if (QIcon::hasThemeIcon("x-office-calendar")) {
        EXPECT_EQ(list->item(3)->icon().name(), "x-office-calendar");
    }

    EXPECT_EQ(dialog.bodyView()->toPlainText().trimmed(), kHelloHeader + "Hi there");
    EXPECT_EQ(dialog.windowTitle(),
              "winmail.dat - Oxbrook Parcelo - Extract TNEF message (Winmail.dat)");

    // The scratch folder is the user's alone, under $TMPDIR, and holds the listed files.
    const std::string scratch = dialog.scratchDirectory();
    ASSERT_FALSE(scratch.empty());
    EXPECT_EQ(scratch.back(), '/');
    EXPECT_EQ(fs::path(WithoutSlash(scratch)).parent_path(), tmp.path());
    struct stat status {};
    ASSERT_EQ(stat(scratch.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(ReadFile(scratch + "b.txt"), "hi");
}

TEST(Loading, TwoLoadsOfTheSameFileUseTwoFoldersAndTheFirstIsGone) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "winmail.dat", NoteBytes("{\\rtf1 One}", {{"a.txt", "a"}}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    const std::string first = dialog.scratchDirectory();
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    const std::string second = dialog.scratchDirectory();
    EXPECT_NE(first, second);
    EXPECT_FALSE(fs::exists(WithoutSlash(first)));
    EXPECT_TRUE(fs::exists(second + "a.txt"));
    EXPECT_EQ(tmp.entries(), 1u);
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"a.txt"}));
    EXPECT_EQ(dialog.bodyView()->toPlainText().trimmed(), kHelloHeader + "One");
}

TEST(Loading, AFileThatCannotBeOpenedKeepsThePreviousFileOnShowAndItsFilesInPlace) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "good.dat", NoteBytes("{\\rtf1 Kept}", {{"kept.txt", "k"}}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    const std::string scratch = dialog.scratchDirectory();

    dialog.fileName = QString::fromStdString((in.path() / "missing.dat").string());
    EXPECT_EQ(dialog.LoadTnefFile(), 0);

    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0].icon, QMessageBox::Warning);
    EXPECT_EQ(dialog.messages[0].caption, "Parcelo");
    EXPECT_EQ(dialog.messages[0].text,
              "Extract failed! The file is invalid winmail.dat(MS-TNEF). \n\n" + dialog.fileName +
                  "\n" + QString::fromLocal8Bit(strerror(ENOENT)));
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"kept.txt"}));
    EXPECT_EQ(dialog.bodyView()->toPlainText().trimmed(), kHelloHeader + "Kept");
    // The items still stand for files that can be opened and saved; no empty folder is left.
    EXPECT_EQ(dialog.scratchDirectory(), scratch);
    EXPECT_TRUE(fs::exists(scratch + "kept.txt"));
    EXPECT_EQ(tmp.entries(), 1u);
}

TEST(Loading, AFileItDoesNotOpenIsNamedInAMessageAndThePreviousFileStaysOnShow) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "good.dat", NoteBytes("{\\rtf1 Old}", {{"old.txt", "o"}}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    const std::string scratch = dialog.scratchDirectory();
    std::string alteredSignature = NoteBytes("", {{"a.txt", "a"}});
    alteredSignature[3] = '\x32';
    for (const std::string& bytes :
         {std::string("just some text, not TNEF"), std::string(), alteredSignature}) {
        dialog.messages.clear();
        dialog.fileName = WriteTnef(in, "notes.dat", bytes);
        EXPECT_EQ(dialog.LoadTnefFile(), 0);
        ASSERT_EQ(dialog.messages.size(), 1u);
        EXPECT_EQ(dialog.messages[0].icon, QMessageBox::Warning);
        EXPECT_EQ(dialog.messages[0].text,
                  "notes.dat is not a file Parcelo opens (TNEF, .msg, .eml or mbox).");
        EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"old.txt"}));
        EXPECT_EQ(dialog.bodyView()->toPlainText().trimmed(), kHelloHeader + "Old");
        EXPECT_EQ(dialog.scratchDirectory(), scratch);
        EXPECT_EQ(tmp.entries(), 1u);
    }
}

TEST(Loading, ADamagedStreamShowsWhatItHoldsUnderABarSayingWhatWasSkipped) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    const QRect bodyPlace = dialog.bodyView()->geometry();
    const auto* bar = dialog.findChild<DamageBar*>();
    ASSERT_NE(bar, nullptr);
    dialog.fileName =
        WriteTnef(in, "bad.dat",
                  TnefBuilder()
                      .messageClass(kNote)
                      .messageProps(PropertyList().binary(0x1009, compressRtf("{\\rtf1 Partly}")))
                      .attach("a.txt", "a")
                      .raw(std::string("\x02\x0f\x80\x06\x00\xff\xff\x00\x00partial", 16))
                      .bytes());
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"a.txt"}));
    EXPECT_EQ(dialog.bodyView()->toPlainText().trimmed(), "Partly");
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->text(),
              "Part of this file could not be read: the stream breaks off inside an attribute, "
              "which was skipped.");
    // The bar takes the top of the body's place; the body keeps the rest.
    EXPECT_EQ(bar->geometry().top(), bodyPlace.top());
    EXPECT_GT(bar->height(), dialog.fontMetrics().height());
    EXPECT_EQ(dialog.bodyView()->geometry().top(), bar->geometry().bottom() + 1);
    EXPECT_EQ(dialog.bodyView()->geometry().bottom(), bodyPlace.bottom());

    dialog.fileName = WriteTnef(in, "good.dat", NoteBytes("{\\rtf1 Whole}", {}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(dialog.bodyView()->geometry(), bodyPlace);
}

TEST(Loading, EveryAttachmentPastTheSixtyFourthHasItsIconToo) {
    ScratchDir in;
    TemporaryFolder tmp;
    std::vector<std::pair<std::string, std::string>> attachments;
    for (int i = 0; i < 70; ++i)
        attachments.push_back({"file" + std::to_string(100 + i) + ".txt", "text"});
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "many.dat", NoteBytes("", attachments));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    ASSERT_EQ(dialog.attachmentList()->count(), 70);
    for (int i = 0; i < 70; ++i)
        EXPECT_FALSE(dialog.attachmentList()->item(i)->icon().isNull()) << i;
}

TEST(Loading, BodiesOfNestedMessagesFollowOneAnotherInTheOrderTheListIsWalked) {
    ScratchDir in;
    TemporaryFolder tmp;
    const std::string inner = NoteBytes("{\\rtf1 Inner body}", {{"inner.txt", "i"}});
    TestDialog dialog;
    dialog.fileName =
        WriteTnef(in, "outer.dat", NoteBytes("{\\rtf1 Outer body}", {{"winmail.dat", inner}}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    // In walk order: the outer message, then the forwarded one, each under its header.
    // A blank line keeps the two messages apart.
    EXPECT_EQ(dialog.bodyView()->toPlainText().trimmed(),
              kHelloHeader + "Outer body\n\n" + kHelloHeader + "Inner body");
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"inner.txt"}));
}

TEST(Loading, ALongBodyIsShownWhole) {
    ScratchDir in;
    TemporaryFolder tmp;
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 5000; ++i)
        rtf += "paragraph " + std::to_string(i) + "\\par ";
    rtf += "THE END}";
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "long.dat", NoteBytes(rtf, {}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    const QString text = dialog.bodyView()->toPlainText();
    EXPECT_GT(text.size(), 40000);
    EXPECT_TRUE(text.trimmed().endsWith("THE END"));
}

TEST(Loading, TheFileGivenBeforeTheWindowOpensIsLoadedWhenItAppears) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "winmail.dat", NoteBytes("{\\rtf1 Hello}", {{"a.txt", "a"}}));
    QSignalSpy loaded(&dialog, &MainDialog::initialLoadFinished);
    dialog.show();
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(5000));
    EXPECT_EQ(loaded.first().first().toInt(), 1);
    EXPECT_EQ(dialog.fileNameField()->text(), dialog.fileName);
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"a.txt"}));
    dialog.reject();
}

TEST(Loading, WithoutAFileTheWindowOpensEmptyAndMakesNoFolder) {
    TemporaryFolder tmp;
    TestDialog dialog;
    QSignalSpy loaded(&dialog, &MainDialog::initialLoadFinished);
    dialog.show();
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(5000));
    EXPECT_EQ(loaded.first().first().toInt(), -1);
    EXPECT_EQ(dialog.attachmentList()->count(), 0);
    EXPECT_TRUE(dialog.scratchDirectory().empty());
    EXPECT_EQ(tmp.entries(), 0u);
    dialog.reject();
    EXPECT_TRUE(dialog.messages.empty());
}

TEST(Loading, BrowseLoadsTheChosenFileAndCancelChangesNothing) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.Browse();  // cancelled
    EXPECT_TRUE(dialog.fileName.isEmpty());
    EXPECT_EQ(dialog.openFilter, OpenDialogFilter());

    dialog.openAnswer = WriteTnef(in, "chosen.dat", NoteBytes("", {{"x.txt", "x"}}));
    dialog.Browse();
    EXPECT_EQ(dialog.fileName, dialog.openAnswer);
    EXPECT_EQ(dialog.fileNameField()->text(), dialog.openAnswer);
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"x.txt"}));
}

TEST(Loading, ARealOutlookMessageShowsItsFiveAttachmentsAndItsBody) {
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = QString::fromStdString(CorpusFile("apache-poi-hmef/quick-winmail.dat"));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    EXPECT_EQ(ItemTexts(dialog.attachmentList()),
              QStringList({"quick.doc", "quick.html", "quick.pdf", "quick.txt", "quick.xml"}));
    EXPECT_TRUE(dialog.bodyView()->toPlainText().contains("These are five files."));
}

TEST(Loading, BodiesStoredAsHtmlOrTextShowWithTheImagesTheirMessageHolds) {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const std::string html =
        TnefBuilder()
            .messageClass("IPM.Note")
            .subject("html")
            .oemCodepage(1251)
            .messageProps(PropertyList().binary(
                0x1013,
                "<html><body><p>\xCF\xF0\xE8\xE2\xE5\xF2 <img src=\"cid:pic@1\"></p>"
                "</body></html>"))
            .attach("image.png", png.toStdString(), PropertyList().string8(0x3712, "pic@1"))
            .bytes();
    const std::string text = TnefBuilder()
                                 .messageClass("IPM.Note")
                                 .subject("text")
                                 .messageProps(PropertyList().string8(0x1000, "Just <text>"))
                                 .bytes();
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(
        in, "winmail.dat",
        TnefBuilder().messageClass(kNote).attach("a.dat", html).attach("b.dat", text).bytes());
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"image.png"}));
    const QTextDocument* document = dialog.bodyView()->document();
    // In walk order, each under its header; the outer message has neither header nor body.
    EXPECT_EQ(document->toPlainText().toStdString(),
              "Subject: html\n\n\n\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xEF\xBF\xBC"
              "\n\nSubject: text\n\n\nJust <text>");
    EXPECT_FALSE(document->resource(QTextDocument::ImageResource, QUrl("cid:pic@1")).isNull());
}

// A mail shows as its TNEF parts do: its own header and HTML body with the pictures it names,
// then the stream's message, and the attachments of both in one list.
TEST(Loading, AMailFileShowsItsBodyAndTheTnefItCarries) {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const std::string tnef = NoteBytes("{\\rtf1 Inside}", {{"inner.txt", "i"}});
    const std::string mail =
        "From: Ann <ann@example.com>\r\nSubject: Mail\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/related; boundary=\"b\"\r\n\r\n--b\r\n"
        "Content-Type: text/html; charset=utf-8\r\n\r\n<p>Hello <img src=\"cid:pic@1\"></p>\r\n"
        "--b\r\nContent-Type: image/png; name=\"image.png\"\r\nContent-ID: <pic@1>\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n" +
        png.toBase64().toStdString() +
        "\r\n--b\r\nContent-Type: application/octet-stream; name=\"ATT00001.dat\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n" +
        QByteArray::fromStdString(tnef).toBase64().toStdString() + "\r\n--b--\r\n";
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = WriteTnef(in, "message.eml", mail);
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_EQ(ItemTexts(dialog.attachmentList()), QStringList({"image.png", "inner.txt"}));
    const QTextDocument* document = dialog.bodyView()->document();
    EXPECT_EQ(document->toPlainText().toStdString(),
              "From: Ann <ann@example.com>\nSubject: Mail\n\n\nHello \xEF\xBF\xBC\n\n" +
                  kHelloHeader.toStdString() + "Inside");
    EXPECT_FALSE(document->resource(QTextDocument::ImageResource, QUrl("cid:pic@1")).isNull());
}

}  // namespace
}  // namespace parcelo::testing
