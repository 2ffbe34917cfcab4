// Attachments copied in the kernel from the stream's file, and what happens when that copy
// stops part way. The kernel's copy_file_range is stood in for by this test's own, which
// passes through to the kernel unless a case has scripted what the next calls do.
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <deque>

#include "extraction_run.h"
#include "scratch_dir.h"
#include "tnef_builder.h"

namespace {

// Each step is the most the next call copies, or a negative errno it fails with.
std::deque<long> scriptedCopies;

}  // namespace

extern "C" ssize_t copy_file_range(int inFd, loff_t* inOffset, int outFd, loff_t* outOffset,
                                   size_t length, unsigned int flags) noexcept {
    if (!scriptedCopies.empty()) {
        const long step = scriptedCopies.front();
        scriptedCopies.pop_front();
        if (step < 0) {
            errno = static_cast<int>(-step);
            return -1;
        }
        length = std::min(length, static_cast<size_t>(step));
        if (length == 0)
            return 0;
    }
    return ::syscall(SYS_copy_file_range, inFd, inOffset, outFd, outOffset, length, flags);
}

namespace parcelo::testing {
namespace {

struct CopyCase {
    const char* what;
    std::deque<long> steps;
    int writeError;  // 0: the file is written whole
};

class AttachmentCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(AttachmentCopy, IsFinishedByReadingOrReportedAndRemoved) {
    std::string content(300 * 1024, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 + i / 251);
    ScratchDir dir;
    WriteFile(dir.path() / "in.dat", TnefBuilder().attach("a.bin", content).bytes());
    std::filesystem::create_directory(dir.path() / "out");

    ExtractionRun run;
    scriptedCopies = GetParam().steps;
    ExtractTnefFile(run, (dir.path() / "in.dat").string(), 1, dir.prefix() + "out/");
    scriptedCopies.clear();

    ASSERT_EQ(run.files.size(), 1u);
    EXPECT_EQ(run.files.newest().writeError, GetParam().writeError);
    const std::filesystem::path out = dir.path() / "out" / "a.bin";
    if (GetParam().writeError == 0)
        EXPECT_EQ(ReadFile(out), content);
    else
        EXPECT_FALSE(std::filesystem::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AttachmentCopy,
    ::testing::Values(CopyCase{"AnotherFileSystem", {-EXDEV}, 0},
                      CopyCase{"ShortCopyThenNothing", {4096, 0}, 0},
                      CopyCase{"ShortCopyThenUnsupported", {4096, 5000, -EOPNOTSUPP}, 0},
                      CopyCase{"DiskFullMidway", {4096, -ENOSPC}, ENOSPC}),
    [](const ::testing::TestParamInfo<CopyCase>& row) { return std::string(row.param.what); });

}  // namespace
}  // namespace parcelo::testing
