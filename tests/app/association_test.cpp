// The desktop association: the desktop entry and the default application for TNEF, written
// into the XDG folders without disturbing what else they hold.
#include <stdlib.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app_test_support.h"
#include "dat_association.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// Points the XDG folders at fresh ones for one test.
class Association : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            if (const char* value = getenv(name))
                saved_.push_back({name, value});
        }
        setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_)
            setenv(name.c_str(), value.c_str(), 1);
    }

    fs::path desktopFile() const { return home.path() / "data/applications/parcelo.desktop"; }
    fs::path mimeApps() const { return home.path() / "config/mimeapps.list"; }

    ScratchDir home;

  private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(Association, AFreshHomeGetsTheEntryAndTheDefault) {
    EXPECT_EQ(RegisterDatAssociation("/opt/parcelo/bin/parcelo"), 1);
    const std::string entry = ReadFile(desktopFile());
    EXPECT_NE(entry.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=\"/opt/parcelo/bin/parcelo\" -- %f\n"), std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=application/vnd.ms-tnef;\n"), std::string::npos);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_EQ(ReadFile(mimeApps()),
              "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");
    // Folders that did not exist are made for the user alone.
    EXPECT_EQ(fs::status(home.path() / "config").permissions(), fs::perms::owner_all);
}

TEST_F(Association, TheWindowRegistersTheRunningProgramWhenItOpens) {
    TestDialog dialog;
    QSignalSpy loaded(&dialog, &MainDialog::initialLoadFinished);
    dialog.show();
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(5000));
    dialog.reject();
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    EXPECT_NE(ReadFile(desktopFile()).find("Exec=\"" + program + "\" -- %f"), std::string::npos);
    EXPECT_NE(ReadFile(mimeApps()).find("application/vnd.ms-tnef=parcelo.desktop"),
              std::string::npos);
}

TEST_F(Association, AnExistingListKeepsEverythingButTheTnefLine) {
    fs::create_directories(mimeApps().parent_path());
    const std::string before =
        "# my settings\n"
        "[Added Associations]\n"
        "application/vnd.ms-tnef=tnef-other.desktop;\n"
        "\n"
        "[Default Applications]\n"
        "text/html=firefox.desktop\n"
        "application/vnd.ms-tnef = tnef-other.desktop\n"
        "image/png=eog.desktop\n"
        "\n"
        "[Removed Associations]\n"
        "text/plain=gedit.desktop\n";
    WriteFile(mimeApps(), before);
    chmod(mimeApps().c_str(), 0600);
    RegisterDatAssociation("/usr/bin/parcelo");
    std::string expected = before;
    expected.replace(expected.find("application/vnd.ms-tnef = tnef-other.desktop"),
                     std::string("application/vnd.ms-tnef = tnef-other.desktop").size(),
                     "application/vnd.ms-tnef=parcelo.desktop");
    EXPECT_EQ(ReadFile(mimeApps()), expected);
    EXPECT_EQ(fs::status(mimeApps()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(home.fileNames().size(), 2u);  // no temporary files left beside
}

TEST_F(Association, ADefaultSectionWithoutTnefGetsTheLineAtItsEnd) {
    fs::create_directories(mimeApps().parent_path());
    WriteFile(mimeApps(),
              "[Default Applications]\r\ntext/html=firefox.desktop\r\n\r\n[Other]\r\nx=y");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(ReadFile(mimeApps()),
              "[Default Applications]\r\ntext/html=firefox.desktop\r\n"
              "application/vnd.ms-tnef=parcelo.desktop\r\n\r\n[Other]\r\nx=y");
}

TEST_F(Association, AReplacedLineKeepsItsCarriageReturn) {
    fs::create_directories(mimeApps().parent_path());
    WriteFile(mimeApps(),
              "[Default Applications]\r\napplication/vnd.ms-tnef=other.desktop\r\n"
              "text/html=firefox.desktop\r\n");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(ReadFile(mimeApps()),
              "[Default Applications]\r\napplication/vnd.ms-tnef=parcelo.desktop\r\n"
              "text/html=firefox.desktop\r\n");
}

TEST_F(Association, AListWithoutADefaultSectionGetsOneAppended) {
    fs::create_directories(mimeApps().parent_path());
    WriteFile(mimeApps(), "[Added Associations]\ntext/html=firefox.desktop;");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(ReadFile(mimeApps()),
              "[Added Associations]\ntext/html=firefox.desktop;\n\n"
              "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");
}

TEST_F(Association, MovingTheProgramUpdatesTheEntryAndAStartWithNothingMovedWritesNothing) {
    RegisterDatAssociation("/old/place/parcelo");
    RegisterDatAssociation("/new/place/parcelo");
    EXPECT_NE(ReadFile(desktopFile()).find("Exec=\"/new/place/parcelo\""), std::string::npos);

    struct stat before {};
    struct stat list {};
    ASSERT_EQ(stat(desktopFile().c_str(), &before), 0);
    ASSERT_EQ(stat(mimeApps().c_str(), &list), 0);
    RegisterDatAssociation("/new/place/parcelo");
    struct stat after {};
    struct stat listAfter {};
    ASSERT_EQ(stat(desktopFile().c_str(), &after), 0);
    ASSERT_EQ(stat(mimeApps().c_str(), &listAfter), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(list.st_ino, listAfter.st_ino);
}

TEST_F(Association, ALinkedListIsUpdatedWhereItLives) {
    // Lists kept with other settings files and linked into place stay linked.
    fs::create_directories(mimeApps().parent_path());
    WriteFile(home.path() / "dotfiles.list", "[Default Applications]\n");
    fs::create_symlink(home.path() / "dotfiles.list", mimeApps());
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_TRUE(fs::is_symlink(mimeApps()));
    EXPECT_EQ(ReadFile(home.path() / "dotfiles.list"),
              "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");
}

TEST_F(Association, ProgramPathsWithSpecialCharactersAreQuotedForTheExecLine) {
    EXPECT_EQ(DesktopExecProgram("/home/ann/my apps/parcelo"), "\"/home/ann/my apps/parcelo\"");
    // Inside quotes ", `, $ and \ take a backslash, which the string escapes double; a
    // percent sign is doubled so that it is not a field code.
    EXPECT_EQ(DesktopExecProgram("/a\"b`c$d\\e%f/parcelo"),
              "\"/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f/parcelo\"");
    RegisterDatAssociation("/home/ann/100% apps/parcelo");
    EXPECT_NE(ReadFile(desktopFile()).find("Exec=\"/home/ann/100%% apps/parcelo\" -- %f\n"),
              std::string::npos);
}

TEST_F(Association, AnUnwritableHomeIsNoFailure) {
    WriteFile(home.path() / "data", "a file where the folder should be");
    setenv("XDG_CONFIG_HOME", (home.path() / "data" / "config").c_str(), 1);
    EXPECT_EQ(RegisterDatAssociation("/usr/bin/parcelo"), 1);
    EXPECT_EQ(ReadFile(home.path() / "data"), "a file where the folder should be");
}

}  // namespace
}  // namespace parcelo::testing
