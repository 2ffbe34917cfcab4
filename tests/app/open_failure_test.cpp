// An attachment that no program takes: the user is told which file and why, and may save it
// instead; and the look-up of programs in the desktop's XDG folders.
#include <stdlib.h>

#include <QListWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "app_test_support.h"
#include "open_failure.h"

namespace parcelo::testing {
namespace {

class OpenFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog.fileName = WriteTnef(in, "winmail.dat",
                                    NoteBytes("", {{"data.zzq", std::string("\x01\x02\x03\x00", 4)},
                                                   {"photo.png", "\x89PNG\r\n\x1a\n"}}));
        ASSERT_EQ(dialog.LoadTnefFile(), 1);
        dialog.openSucceeds = false;
    }
    void select(const QString& name) {
        dialog.attachmentList()->setCurrentItem(
            dialog.attachmentList()->findItems(name, Qt::MatchExactly).value(0));
    }
    ScratchDir in;
    ScratchDir out;
    TemporaryFolder tmp;
    TestDialog dialog;
};

TEST_F(OpenFailure, NamesTheFileAndItsTypeAndOffersSaveAs) {
    select("data.zzq");
    dialog.choiceAnswer = 0;
    dialog.saveAnswer = QString::fromStdString((out.path() / "kept.zzq").string());
    dialog.OpenAttachment();
    ASSERT_EQ(dialog.questions.size(), 1u);
    const Question& question = dialog.questions[0];
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_EQ(question.caption, "Parcelo");
    EXPECT_EQ(question.text,
              "\u201c"
              "data.zzq\u201d could not be opened: no program is set up to open files of "
              "an unknown type.\n\nYou can save it elsewhere with \u201cSave as...\u201d instead.");
    EXPECT_EQ(question.buttons, QStringList({"Save as...", "Cancel"}));
    // "Save as..." asks as the menu's command does, with the attachment's own name.
    ASSERT_EQ(dialog.saveQuestions.size(), 1u);
    EXPECT_EQ(dialog.saveQuestions[0].proposedName, "data.zzq");
    EXPECT_EQ(ReadFile(out.path() / "kept.zzq"), std::string("\x01\x02\x03\x00", 4));
}

TEST_F(OpenFailure, AKnownTypeIsNamedAndCancelSavesNothing) {
    select("photo.png");
    dialog.choiceAnswer = -1;
    dialog.OpenAttachment();
    ASSERT_EQ(dialog.questions.size(), 1u);
    EXPECT_TRUE(dialog.questions[0].text.startsWith("\u201cphoto.png\u201d could not be opened"));
    EXPECT_TRUE(dialog.questions[0].text.contains("(image/png)"));
    EXPECT_TRUE(dialog.saveQuestions.empty());

    dialog.openSucceeds = true;
    dialog.OpenAttachment();
    EXPECT_EQ(dialog.questions.size(), 1u);  // a file a program took asks nothing
}

// Points an XDG variable at a folder of the test's own while it lives.
class XdgVariable {
  public:
    XdgVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = getenv(name))
            previous_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~XdgVariable() {
        if (previous_)
            setenv(name_, previous_->c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> previous_;
};

void WriteWithFolders(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    WriteFile(path, bytes);
}

TEST(DesktopPrograms, AreFoundByTheirEntriesAndByMimeAppsLists) {
    ScratchDir xdg;
    const auto dir = [&](const char* name) { return (xdg.path() / name).string(); };
    XdgVariable dataHome("XDG_DATA_HOME", dir("home-data"));
    XdgVariable dataDirs("XDG_DATA_DIRS", dir("data"));
    XdgVariable configHome("XDG_CONFIG_HOME", dir("home-config"));
    XdgVariable configDirs("XDG_CONFIG_DIRS", dir("config"));
    const QStringList png{"image/png"};
    EXPECT_FALSE(DesktopHasProgramFor(png));

    // A hidden entry is no program; one in a subfolder of applications is.
    WriteWithFolders(xdg.path() / "data/applications/viewer.desktop",
                     "[Desktop Entry]\nType=Application\nExec=viewer %f\nHidden=true\n"
                     "MimeType=image/png;\n");
    EXPECT_FALSE(DesktopHasProgramFor(png));
    WriteWithFolders(
        xdg.path() / "data/applications/kde/viewer.desktop",
        "[Desktop Entry]\nType=Application\nExec=viewer %f\nMimeType=image/gif;image/png;\n"
        "[Desktop Action new]\nMimeType=text/x-never;\n");
    EXPECT_TRUE(DesktopHasProgramFor(png));
    EXPECT_FALSE(DesktopHasProgramFor({"text/x-never"}));

    // The user's own lists: a default or an added association counts, a removal does not.
    EXPECT_FALSE(DesktopHasProgramFor({"text/x-mine"}));
    WriteWithFolders(xdg.path() / "home-config/mimeapps.list",
                     "[Removed Associations]\ntext/x-gone=editor.desktop;\n"
                     "[Added Associations]\ntext/x-mine=editor.desktop;\n"
                     "[Default Applications]\ntext/x-empty=\n");
    EXPECT_TRUE(DesktopHasProgramFor({"text/x-mine"}));
    EXPECT_FALSE(DesktopHasProgramFor({"text/x-gone"}));
    EXPECT_FALSE(DesktopHasProgramFor({"text/x-empty"}));
    WriteWithFolders(xdg.path() / "home-data/applications/mimeapps.list",
                     "[Default Applications]\napplication/x-old=old.desktop\n");
    EXPECT_TRUE(DesktopHasProgramFor({"application/x-old"}));
}

TEST(DesktopPrograms, AFileMayBeOpenedByAProgramForAKindOfItsTypeButNotForAnyFileAtAll) {
    ScratchDir dir;
    WriteFile(dir.path() / "notes.c", "int main() { return 0; }\n");
    const QStringList c = OpenableTypes(QString::fromStdString((dir.path() / "notes.c").string()));
    EXPECT_EQ(c.value(0), "text/x-csrc");
    EXPECT_TRUE(c.contains("text/plain"));
    EXPECT_FALSE(c.contains("application/octet-stream"));

    WriteFile(dir.path() / "data.zzq", std::string("\x01\x02\x03\x00", 4));
    EXPECT_EQ(OpenableTypes(QString::fromStdString((dir.path() / "data.zzq").string())),
              QStringList({"application/octet-stream"}));
}

}  // namespace
}  // namespace parcelo::testing
