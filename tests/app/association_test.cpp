// The desktop association: the desktop entry and the default application for TNEF, written
// into the XDG folders without disturbing what else they hold, and read back by the desktop's
// own tools.
#include <stdlib.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QMimeDatabase>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <regex>

#include "app_test_support.h"
#include "dat_association.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// Points the XDG folders, the system-wide configuration folders included, at fresh ones for
// one test.
class Association : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP"}) {
            const char* value = getenv(name);
            saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
        }
        setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (home.path() / "etc").c_str(), 1);
        unsetenv("XDG_CURRENT_DESKTOP");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

    fs::path desktopFile() const { return home.path() / "data/applications/parcelo.desktop"; }
    fs::path mimeApps() const { return home.path() / "config/mimeapps.list"; }
    // The user's mimeapps.list but for the .msg default a start adds beside TNEF's, for the
    // tests of how the TNEF line is placed.
    std::string tnefLines() const {
        static const std::regex outlook("application/vnd\\.ms-outlook=parcelo\\.desktop\r?\n?");
        return std::regex_replace(ReadFile(mimeApps()), outlook, "");
    }
    void writeMimeApps(const std::string& content) const {
        fs::create_directories(mimeApps().parent_path());
        WriteFile(mimeApps(), content);
    }

    ScratchDir home;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(Association, AFreshHomeGetsTheEntryAndTheDefault) {
    EXPECT_EQ(RegisterDatAssociation("/opt/parcelo/bin/parcelo"), 1);
    const std::string entry = ReadFile(desktopFile());
    EXPECT_NE(entry.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=/opt/parcelo/bin/parcelo -- %f\n"), std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=application/vnd.ms-tnef;application/ms-tnef;"
                         "application/vnd.ms-outlook;message/rfc822;application/mbox;\n"),
              std::string::npos);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_EQ(tnefLines(), "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");
    // Folders that did not exist are made for the user alone.
    EXPECT_EQ(fs::status(home.path() / "config").permissions(), fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(home.path() / "data/parcelo"));  // no launcher for a plain path
}

TEST_F(Association, TheWindowRegistersTheRunningProgramWhenItOpens) {
    TestDialog dialog;
    QSignalSpy loaded(&dialog, &MainDialog::initialLoadFinished);
    dialog.show();
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(5000));
    dialog.reject();
    const QString program = QCoreApplication::applicationFilePath();
    const std::string named = IsPlainExecPath(program)
                                  ? program.toStdString()
                                  : (home.path() / "data/parcelo/parcelo").string();
    EXPECT_NE(ReadFile(desktopFile()).find("Exec=" + named + " -- %f"), std::string::npos);
    EXPECT_NE(tnefLines().find("application/vnd.ms-tnef=parcelo.desktop"), std::string::npos);
}

// Lists in which the user chose another program for TNEF: every byte stays.
TEST_F(Association, ADefaultForAnotherProgramIsKept) {
    const char* const lists[] = {
        "[Default Applications]\napplication/vnd.ms-tnef=tnef-other.desktop\n",
        // spaces around "=", CR LF, a list of several with another program first
        "[Default Applications]\r\napplication/vnd.ms-tnef = other.desktop;parcelo.desktop;\r\n",
        " [Default Applications]\n  application/vnd.ms-tnef=;other.desktop;\n",
        // the type under the other name shared-mime-info gives it
        "[Default Applications]\napplication/ms-tnef=other.desktop\n",
        // a second default group counts as much as the first
        "# mine\n[Default Applications]\ntext/html=firefox.desktop\n\n[Added Associations]\n"
        "text/plain=gedit.desktop;\n[Default Applications]\napplication/vnd.ms-tnef=o.desktop",
    };
    for (const char* list : lists) {
        SCOPED_TRACE(list);
        writeMimeApps(list);
        chmod(mimeApps().c_str(), 0600);
        RegisterDatAssociation("/usr/bin/parcelo");
        EXPECT_EQ(tnefLines(), list);
        EXPECT_EQ(fs::status(mimeApps()).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_TRUE(fs::exists(desktopFile()));  // the entry is written all the same
        fs::remove(desktopFile());
    }
}

// Another program's default in a list the desktop reads besides the user's own keeps the
// user's list as it was.
TEST_F(Association, ADefaultInAnotherListTheDesktopReadsIsKept) {
    const std::string other = "[Default Applications]\napplication/vnd.ms-tnef=other.desktop\n";
    const fs::path lists[] = {
        "etc/mimeapps.list",                // system-wide
        "config/gnome-mimeapps.list",       // the current desktop's own
        "data/applications/mimeapps.list",  // where older desktops kept it
    };
    setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
    for (const fs::path& list : lists) {
        SCOPED_TRACE(list);
        fs::create_directories((home.path() / list).parent_path());
        WriteFile(home.path() / list, other);
        RegisterDatAssociation("/usr/bin/parcelo");
        EXPECT_EQ(tnefLines().find("vnd.ms-tnef"), std::string::npos);
        fs::remove(home.path() / list);
    }
    // Once none names another program, the default is added.
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(tnefLines(), "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");
}

TEST_F(Association, OurOwnDefaultIsRefreshedAndEveryOtherLineKept) {
    const std::string before =
        "# my settings\r\n"
        "[Added Associations]\r\n"
        "application/vnd.ms-tnef=tnef-other.desktop;\r\n"
        "\r\n"
        "[Default Applications]\r\n"
        "text/html=firefox.desktop\r\n"
        "application/vnd.ms-tnef = parcelo.desktop;tnef-other.desktop;\r\n"
        "image/png=eog.desktop\r\n"
        "\r\n"
        "[Removed Associations]\r\n"
        "text/plain=gedit.desktop\r\n";
    writeMimeApps(before);
    RegisterDatAssociation("/usr/bin/parcelo");
    std::string expected = before;
    // Written the one way xdg-mime finds it, with the user's own choices after ours.
    const std::string line = "application/vnd.ms-tnef = parcelo.desktop;tnef-other.desktop;";
    expected.replace(expected.find(line), line.size(),
                     "application/vnd.ms-tnef=parcelo.desktop;tnef-other.desktop;");
    EXPECT_EQ(tnefLines(), expected);
    EXPECT_EQ(home.fileNames().size(), 2u);  // no temporary files left beside
}

TEST_F(Association, AnEmptyDefaultOrOnlyAnAddedAssociationIsNoDefault) {
    writeMimeApps("[Default Applications]\napplication/vnd.ms-tnef=\n");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(tnefLines(), "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");

    writeMimeApps("[Added Associations]\napplication/vnd.ms-tnef=tnef-other.desktop;\n");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(tnefLines(),
              "[Added Associations]\napplication/vnd.ms-tnef=tnef-other.desktop;\n\n"
              "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");
}

TEST_F(Association, ADefaultGroupWithoutTnefGetsTheLineAtItsEnd) {
    // After its last line with content, blank lines and comments inside it included.
    writeMimeApps(
        "[Default Applications]\r\ntext/html=firefox.desktop\r\n\r\n# pdf\r\n"
        "application/pdf=evince.desktop\r\n\r\n[Other]\r\nx=y");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(tnefLines(),
              "[Default Applications]\r\ntext/html=firefox.desktop\r\n\r\n# pdf\r\n"
              "application/pdf=evince.desktop\r\napplication/vnd.ms-tnef=parcelo.desktop\r\n"
              "\r\n[Other]\r\nx=y");

    writeMimeApps("[Default Applications]\r\ntext/html=firefox.desktop");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(tnefLines(),
              "[Default Applications]\r\ntext/html=firefox.desktop\r\n"
              "application/vnd.ms-tnef=parcelo.desktop\r\n");
}

TEST_F(Association, AListWithoutADefaultGroupGetsOneAppendedInItsOwnLineEnds) {
    writeMimeApps("[Added Associations]\ntext/html=firefox.desktop;");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(tnefLines(),
              "[Added Associations]\ntext/html=firefox.desktop;\n\n"
              "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");

    writeMimeApps("[Added Associations]\r\ntext/html=firefox.desktop;\r\n");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(tnefLines(),
              "[Added Associations]\r\ntext/html=firefox.desktop;\r\n\r\n"
              "[Default Applications]\r\napplication/vnd.ms-tnef=parcelo.desktop\r\n");
}

TEST_F(Association, MovingTheProgramUpdatesTheEntryAndAStartWithNothingMovedWritesNothing) {
    RegisterDatAssociation("/old/place/parcelo");
    RegisterDatAssociation("/new/place/parcelo");
    EXPECT_NE(ReadFile(desktopFile()).find("Exec=/new/place/parcelo "), std::string::npos);

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
    EXPECT_EQ(tnefLines(), "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n");
}

TEST_F(Association, ExecProgramsAreQuotedOnlyWhereTheRulesAskForIt) {
    EXPECT_EQ(DesktopExecProgram("/usr/bin/parcelo"), "/usr/bin/parcelo");
    EXPECT_EQ(DesktopExecProgram("/opt/x-1.0/Übung/parcelo"), "/opt/x-1.0/Übung/parcelo");
    EXPECT_EQ(DesktopExecProgram("/opt/100%/parcelo"), "/opt/100%%/parcelo");
    EXPECT_EQ(DesktopExecProgram("/home/ann/my apps/parcelo"), "\"/home/ann/my apps/parcelo\"");
    EXPECT_EQ(DesktopExecProgram("/home/ann/it's/parcelo"), "\"/home/ann/it's/parcelo\"");
    // Inside quotes ", `, $ and \ take a backslash, which the string escapes double.
    EXPECT_EQ(DesktopExecProgram("/a\"b`c$d\\e%f g/parcelo"),
              "\"/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f g/parcelo\"");

    EXPECT_TRUE(IsPlainExecPath("/usr/bin/parcelo"));
    for (const char* path : {"/my apps/p", "/a%b/p", "/a[1]/p", "/it's/p", "/a~b/p", "/a\tb/p"})
        EXPECT_FALSE(IsPlainExecPath(QString::fromUtf8(path))) << path;
}

// xdg-open splits an Exec line at blanks whatever its quotes say, so a program whose path
// needs quotes is named through a link of a plain path.
TEST_F(Association, AProgramPathWithBlanksIsStartedThroughALauncherLink) {
    const std::string program = "/home/ann/my \"new\" apps/parcelo";
    const fs::path link = home.path() / "data/parcelo/parcelo";
    RegisterDatAssociation(QString::fromStdString(program));
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link).string(), program);
    EXPECT_NE(ReadFile(desktopFile()).find("\nExec=" + link.string() + " -- %f\n"),
              std::string::npos);

    // Moved again: the link follows; moved to a plain path: the link goes.
    RegisterDatAssociation("/home/ann/other apps/parcelo");
    EXPECT_EQ(fs::read_symlink(link).string(), "/home/ann/other apps/parcelo");
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_NE(ReadFile(desktopFile()).find("\nExec=/usr/bin/parcelo -- %f\n"), std::string::npos);

    // A file of the user's own in the link's place stays; the path is quoted instead.
    WriteFile(link, "mine");
    RegisterDatAssociation(QString::fromStdString(program));
    EXPECT_EQ(ReadFile(link), "mine");
    EXPECT_NE(ReadFile(desktopFile()).find("\nExec=\"/home/ann/my \\\\\"new\\\\\" apps/parcelo\" "),
              std::string::npos);
}

TEST_F(Association, AnUnwritableHomeIsNoFailure) {
    WriteFile(home.path() / "data", "a file where the folder should be");
    setenv("XDG_CONFIG_HOME", (home.path() / "data" / "config").c_str(), 1);
    EXPECT_EQ(RegisterDatAssociation("/usr/bin/parcelo"), 1);
    EXPECT_EQ(ReadFile(home.path() / "data"), "a file where the folder should be");
}

TEST_F(Association, TheEntryNamesOnlyTypesTheMimeDatabaseKnows) {
    const std::string entry = DesktopEntryText("/usr/bin/parcelo").toStdString();
    const size_t start = entry.find("\nMimeType=") + 10;
    const QString types =
        QString::fromStdString(entry.substr(start, entry.find('\n', start) - start));
    const QStringList names = types.split(u';', Qt::SkipEmptyParts);
    ASSERT_EQ(names.size(), 5);
    for (const QString& name : names.mid(0, 2))
        EXPECT_EQ(QMimeDatabase().mimeTypeForName(name).name(), kTnefMimeType)
            << name.toStdString();
    EXPECT_EQ(names[2], kOutlookMessageMimeType);  // our own package's
    for (const QString& name : names.mid(3))
        EXPECT_EQ(QMimeDatabase().mimeTypeForName(name).name(), name) << name.toStdString();
}

// .msg is ours where no other program is its default, as TNEF is; mail files never are, and
// the desktop's own type lookup knows a .msg file once a start has written its package.
TEST_F(Association, OutlookMessagesAreOursWhereNoOtherDefaultAndMailNever) {
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(ReadFile(mimeApps()),
              "[Default Applications]\napplication/vnd.ms-tnef=parcelo.desktop\n"
              "application/vnd.ms-outlook=parcelo.desktop\n");
    const std::string mine = "[Default Applications]\napplication/vnd.ms-outlook=other.desktop\n";
    writeMimeApps(mine);
    RegisterDatAssociation("/usr/bin/parcelo");
    EXPECT_EQ(ReadFile(mimeApps()), mine + "application/vnd.ms-tnef=parcelo.desktop\n");

    const fs::path message = home.path() / "note.msg";
    WriteFile(message, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + std::string(504, '\0'));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", QString::fromStdString((home.path() / "data").string()));
    QProcess gio;
    gio.setProcessEnvironment(environment);
    gio.start("gio",
              {"info", "-a", "standard::content-type", QString::fromStdString(message.string())});
    ASSERT_TRUE(gio.waitForFinished(20000));
    EXPECT_NE(gio.readAllStandardOutput().indexOf("application/vnd.ms-outlook"), -1);
}

// What gets installed says the same as what a start writes, but for the program's path.
TEST_F(Association, TheInstalledEntryMatchesTheWrittenOne) {
    std::string installed = ReadFile(PARCELO_DESKTOP_ENTRY_FILE);
    const std::string tryExec = "TryExec=parcelo\n";
    ASSERT_NE(installed.find(tryExec), std::string::npos);
    installed.erase(installed.find(tryExec), tryExec.size());
    EXPECT_EQ(installed, DesktopEntryText("parcelo").toStdString());
}

struct ToolRun {
    int exitCode = -1;
    std::string output;
};

ToolRun RunTool(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        return {-1, "did not finish: " + process.errorString().toStdString()};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAll().toStdString()};
}

TEST_F(Association, EveryEntryPassesDesktopFileValidate) {
    const std::string programs[] = {"/usr/bin/parcelo", "/opt/100%/parcelo",
                                    "/home/ann/my \"new\" apps/parcelo"};
    for (const std::string& program : programs) {
        WriteFile(home.path() / "parcelo.desktop",
                  DesktopEntryText(QString::fromStdString(program)).toStdString());
        const ToolRun run =
            RunTool("desktop-file-validate",
                    {QString::fromStdString((home.path() / "parcelo.desktop").string())});
        EXPECT_EQ(run.exitCode, 0) << program;
        EXPECT_EQ(run.output, "") << program;
    }
    const ToolRun run = RunTool("desktop-file-validate", {PARCELO_DESKTOP_ENTRY_FILE});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
}

// A stand-in for the program that writes down the arguments it was given, into the file
// that $PARCELO_TEST_ARGS names, in one step.
QString WriteStandIn(const fs::path& path) {
    fs::create_directories(path.parent_path());
    WriteFile(path,
              "#!/bin/sh\n"
              "printf '%s\\n' \"$@\" > \"$PARCELO_TEST_ARGS.new\"\n"
              "mv \"$PARCELO_TEST_ARGS.new\" \"$PARCELO_TEST_ARGS\"\n");
    fs::permissions(path, fs::perms::owner_all);
    return QString::fromStdString(path.string());
}

// Opens `file` with an opener of the desktop (a command with its arguments), run as a file
// manager runs it in the test's XDG folders, and gives the arguments that the started
// stand-in program got.
std::optional<std::string> OpenWith(const std::vector<std::string>& command, const fs::path& file,
                                    const fs::path& home) {
    const fs::path argsFile = home / "args";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QString::fromStdString((home / "home").string()));
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"})
        environment.insert(name, QString::fromLocal8Bit(getenv(name)));
    // No desktop session: xdg-open takes its own way through the desktop entry then, which
    // it does only with a display named.
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
          "XDG_SESSION_DESKTOP", "BROWSER", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY"})
        environment.remove(name);
    environment.insert("DISPLAY", ":99");
    environment.insert("PARCELO_TEST_ARGS", QString::fromStdString(argsFile.string()));
    QStringList arguments;
    for (size_t i = 1; i < command.size(); ++i)
        arguments << QString::fromStdString(command[i]);
    arguments << QString::fromStdString(file.string());
    const ToolRun run = RunTool(QString::fromStdString(command[0]), arguments, environment);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    if (!QTest::qWaitFor([&] { return fs::exists(argsFile); }, 20000))
        return std::nullopt;
    return ReadFile(argsFile);
}

fs::path WriteTnefFile(const fs::path& file) {
    fs::create_directories(file.parent_path());
    WriteFile(file, NoteBytes("", {{"a.txt", "hi"}}));
    return file;
}

// xdg-open and gio, with the file's path and the program's path full of blanks and quotes:
// the program must get the path back intact.
class DesktopOpener : public Association,
                      public ::testing::WithParamInterface<std::vector<std::string>> {
  protected:
    fs::path tnefFile() const {
        return WriteTnefFile(home.path() / "mail/the \"boss's\" winmail copy.dat");
    }
    std::optional<std::string> open(const fs::path& file) const {
        return OpenWith(GetParam(), file, home.path());
    }
};

TEST_P(DesktopOpener, StartsTheProgramWithTheFile) {
    const QString program = WriteStandIn(home.path() / "my \"new\" apps/parcelo");
    RegisterDatAssociation(program);
    const fs::path file = tnefFile();
    EXPECT_EQ(open(file), "--\n" + file.string() + "\n");
}

TEST_P(DesktopOpener, StartsAnotherDefaultTheUserChose) {
    const QString other = WriteStandIn(home.path() / "other/viewer");
    fs::create_directories(home.path() / "data/applications");
    WriteFile(home.path() / "data/applications/tnef-other.desktop",
              "[Desktop Entry]\nType=Application\nName=Other\nExec=" + other.toStdString() +
                  " %f\nMimeType=application/vnd.ms-tnef;\n");
    writeMimeApps("[Default Applications]\napplication/vnd.ms-tnef=tnef-other.desktop\n");
    RegisterDatAssociation(WriteStandIn(home.path() / "bin/parcelo"));
    const fs::path file = tnefFile();
    EXPECT_EQ(open(file), file.string() + "\n");
}

INSTANTIATE_TEST_SUITE_P(XdgOpenAndGio, DesktopOpener,
                         ::testing::Values(std::vector<std::string>{"xdg-open"},
                                           std::vector<std::string>{"gio", "open"}),
                         [](const auto& param) { return param.index == 0 ? "XdgOpen" : "Gio"; });

// gio reads quotes the way the desktop entry rules write them; used where no launcher link
// with a plain path can be made.
TEST_F(Association, GioStartsAProgramNamedWithQuotes) {
    setenv("XDG_DATA_HOME", (home.path() / "data home").c_str(), 1);
    RegisterDatAssociation(WriteStandIn(home.path() / "my \"new\" $apps`/parcelo"));
    ASSERT_NE(ReadFile(home.path() / "data home/applications/parcelo.desktop").find("Exec=\""),
              std::string::npos);
    const fs::path file = WriteTnefFile(home.path() / "it's winmail.dat");
    EXPECT_EQ(OpenWith({"gio", "open"}, file, home.path()), "--\n" + file.string() + "\n");
}

}  // namespace
}  // namespace parcelo::testing
