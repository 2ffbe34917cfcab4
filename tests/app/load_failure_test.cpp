// Why a file could not be loaded: the long-standing first line, then the path and the
// system's reason when the system can tell one.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "load_failure.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

const QString kFirstLine = "Extract failed! The file is invalid winmail.dat(MS-TNEF). ";

QString Reason(int error) {
    return QString::fromLocal8Bit(strerror(error));
}

TEST(LoadFailure, GivesThePathAndTheSystemsReasonBelowTheFirstLine) {
    ScratchDir dir;
    const std::string missing = (dir.path() / "missing.dat").string();
    WriteFile(dir.path() / "plain.dat", "x");
    const std::string underAFile = (dir.path() / "plain.dat" / "winmail.dat").string();
    fs::create_symlink("loop.dat", dir.path() / "loop.dat");
    const std::string loop = (dir.path() / "loop.dat").string();
    const std::string folder = dir.path().string();

    const struct {
        std::string path;
        int error;
    } cases[] = {{missing, ENOENT}, {underAFile, ENOTDIR}, {loop, ELOOP}, {folder, EISDIR}};
    for (const auto& c : cases) {
        EXPECT_EQ(WhyUnreadable(c.path), c.error) << c.path;
        EXPECT_EQ(LoadFailureMessage(c.path),
                  kFirstLine + "\n\n" + QString::fromStdString(c.path) + "\n" + Reason(c.error));
    }
    // A file that reads well failed for its content: the first line says it all.
    EXPECT_EQ(WhyUnreadable((dir.path() / "plain.dat").string()), 0);
    EXPECT_EQ(LoadFailureMessage((dir.path() / "plain.dat").string()), kFirstLine);
}

TEST(LoadFailure, AFolderDroppedOnTheWindowIsReportedAsAFolder) {
    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
    dialog.fileName = QString::fromStdString(in.path().string());
    EXPECT_EQ(dialog.LoadTnefFile(), 0);
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0].text,
              kFirstLine + "\n\n" + dialog.fileName + "\n" + Reason(EISDIR));
    EXPECT_EQ(tmp.entries(), 0u);
}

}  // namespace
}  // namespace parcelo::testing
