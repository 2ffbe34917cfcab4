// parcelo-extract, run as a user or a script runs it.
#include <sys/wait.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "pdf_tools.h"
#include "scratch_dir.h"
#include "tnef_builder.h"

namespace parcelo::testing {
namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CliRun RunExtract(const std::string& arguments, const ScratchDir& scratch) {
    const std::string errFile = (scratch.path() / "stderr.txt").string();
    const std::string command =
        quoted(PARCELO_EXTRACT_BINARY) + " " + arguments + " 2>" + quoted(errFile);
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFile(errFile);
    std::filesystem::remove(errFile);
    return run;
}

std::string SampleStream() {
    return TnefBuilder()
        .messageClass("IPM.Microsoft Mail.Note")
        .subject("Hello World")
        .messageProps(PropertyList().binary(0x1009, compressRtf("{\\rtf1 Hi}")))
        .attach("A.txt", "first")
        .attach("quote\".txt", "second!")
        .bytes();
}

TEST(ParceloExtract, ListsWhatItWroteNewestFirst) {
    ScratchDir scratch;
    WriteFile(scratch.path() / "in.dat", SampleStream());
    const std::string out = (scratch.path() / "out").string();
    const CliRun run = RunExtract(
        "-o " + quoted(out) + " " + quoted((scratch.path() / "in.dat").string()), scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "attachment\t7\t" + out + "/quote\".txt\n" + "attachment\t5\t" + out +
                           "/A.txt\n" + "body\t10\t" + out + "/Hello_World0.rtf\n");
    EXPECT_EQ(ReadFile(out + "/A.txt"), "first");
}

TEST(ParceloExtract, ListsAsJson) {
    ScratchDir scratch;
    WriteFile(scratch.path() / "in.dat", SampleStream());
    const std::string out = (scratch.path() / "out").string();
    const CliRun run = RunExtract(
        "--json -o " + quoted(out) + " " + quoted((scratch.path() / "in.dat").string()), scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "[\n  {\"path\": \"" + out +
                           "/quote\\\".txt\", \"size\": 7, \"attachment\": true},\n" +
                           "  {\"path\": \"" + out +
                           "/A.txt\", \"size\": 5, \"attachment\": true},\n" + "  {\"path\": \"" +
                           out + "/Hello_World0.rtf\", \"size\": 10, \"attachment\": false}\n]\n");
    WriteFile(scratch.path() / "empty.dat", "");
    EXPECT_EQ(
        RunExtract("--json --list " + quoted((scratch.path() / "empty.dat").string()), scratch).out,
        "[]\n");
}

TEST(ParceloExtract, ListOnlyWritesNothingAndNeedsNoDirectory) {
    ScratchDir scratch;
    WriteFile(scratch.path() / "in.dat", SampleStream());
    const CliRun run =
        RunExtract("--list " + quoted((scratch.path() / "in.dat").string()), scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "attachment\t7\tquote\".txt\nattachment\t5\tA.txt\nbody\t10\tHello_World0.rtf\n");
    EXPECT_THAT(scratch.fileNames(), ::testing::ElementsAre("in.dat"));
}

TEST(ParceloExtract, ReportsFilesItCannotOpenAndUsageErrors) {
    ScratchDir scratch;
    const CliRun missing = RunExtract(quoted((scratch.path() / "missing.dat").string()), scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "Extract failed! The file is invaild winmail.dat(MS-TNEF). \n");
    EXPECT_EQ(RunExtract(quoted(scratch.path().string()), scratch).status, 1);
    for (const char* args : {"", "--bogus x.dat", "-o", "a.dat b.dat", "-x a.dat"}) {
        const CliRun usage = RunExtract(args, scratch);
        EXPECT_EQ(usage.status, 2) << args;
        EXPECT_EQ(usage.out, "") << args;
    }
    EXPECT_EQ(RunExtract("--help", scratch).status, 0);
    EXPECT_THAT(RunExtract("--version", scratch).out, ::testing::StartsWith("parcelo-extract "));
}

TEST(ParceloExtract, KeepsTheLibrarysMessagesOutOfItsOutput) {
    ScratchDir scratch;
    // Checksum mismatches, a cut-off attribute and a damaged property block.
    const std::string stream =
        TnefBuilder()
            .attribute(kLevelMessage, kAttMessageClass, std::string("IPM.Note\0", 9), 1)
            .messageProps(PropertyList().string8(0x3001, "x").fixed(0x1111, 0x0001, le32(0)))
            .attach("a.txt", "a")
            .raw("\x02\x0f\x80\x06\x00\xff\xff\x00\x00")
            .bytes();
    WriteFile(scratch.path() / "bad.dat", stream);
    const CliRun run =
        RunExtract("--list --json " + quoted((scratch.path() / "bad.dat").string()), scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "[\n  {\"path\": \"a.txt\", \"size\": 1, \"attachment\": true}\n]\n");
    EXPECT_EQ(run.err, "");
}

TEST(ParceloExtract, PrintsTheTextOfEveryBodyWritingNothing) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    ScratchDir scratch;
    const std::string inner = TnefBuilder()
                                  .messageClass("IPM.Microsoft Mail.Note")
                                  .subject("inner")
                                  .messageProps(PropertyList().binary(
                                      0x1009, compressRtf("{\\rtf1 Forwarded \\b text\\b0\\par}")))
                                  .bytes();
    WriteFile(scratch.path() / "in.dat",
              TnefBuilder()
                  .messageClass("IPM.Microsoft Mail.Note")
                  .subject("outer")
                  .messageProps(PropertyList().binary(
                      0x1009, compressRtf("{\\rtf1\\ansi First line\\par Caf\\'e9\\par}")))
                  .attach("fwd.dat", inner)
                  .bytes());
    const CliRun run =
        RunExtract("--text " + quoted((scratch.path() / "in.dat").string()), scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Forwarded text\n\nFirst line\nCafé\n");
    EXPECT_EQ(run.err, "");
    EXPECT_THAT(scratch.fileNames(), ::testing::ElementsAre("in.dat"));
    EXPECT_EQ(RunExtract("--text --json x.dat", scratch).status, 2);
}

// Text with each run of white space made one space.
std::string Words(const std::string& text) {
    std::string words;
    bool space = false;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\r') {
            space = !words.empty();
            continue;
        }
        if (space)
            words += ' ';
        space = false;
        words += c;
    }
    return words;
}

std::string NoteWithBody(const std::string& rtf) {
    return TnefBuilder()
        .messageClass("IPM.Microsoft Mail.Note")
        .subject("Note")
        .messageProps(PropertyList().binary(0x1009, compressRtf(rtf)))
        .bytes();
}

TEST(ParceloExtract, PrintsTheBodiesIntoAPdfFileInTheWindowsOrder) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    ScratchDir scratch;
    WriteFile(scratch.path() / "in.dat",
              TnefBuilder()
                  .messageClass("IPM.Microsoft Mail.Note")
                  .subject("outer")
                  .messageProps(PropertyList().binary(
                      0x1009, compressRtf("{\\rtf1\\ansi First line\\par Caf\\'e9\\par}")))
                  .attach("fwd.dat", NoteWithBody("{\\rtf1 Forwarded \\b text\\b0\\par}"))
                  .bytes());
    const std::string pdf = (scratch.path() / "out.pdf").string();
    const CliRun run = RunExtract(
        "--pdf " + quoted(pdf) + " " + quoted((scratch.path() / "in.dat").string()), scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(Words(PdfText(pdf)), "Forwarded text First line Café");
    EXPECT_THAT(scratch.fileNames(), ::testing::ElementsAre("in.dat", "out.pdf"));
}

TEST(ParceloExtract, PrintsALongBodyOnPagesThatLoseNoLine) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    ScratchDir scratch;
    std::string rtf = "{\\rtf1\\ansi ";
    std::string expected;
    for (int i = 1; i <= 400; ++i) {
        const std::string line = "Line " + std::to_string(i) + " of a long body";
        rtf += line + "\\par ";
        expected += (expected.empty() ? "" : " ") + line;
    }
    WriteFile(scratch.path() / "in.dat", NoteWithBody(rtf + "}"));
    const std::string pdf = (scratch.path() / "out.pdf").string();
    EXPECT_EQ(
        RunExtract("--pdf=" + quoted(pdf) + " " + quoted((scratch.path() / "in.dat").string()),
                   scratch)
            .status,
        0);
    EXPECT_GT(PdfPageCount(pdf), 4);
    EXPECT_EQ(Words(PdfText(pdf)), expected);
}

TEST(ParceloExtract, PrintsOneEmptyPageForAFileWithoutABody) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    ScratchDir scratch;
    WriteFile(scratch.path() / "in.dat", TnefBuilder().attach("a.txt", "a").bytes());
    const std::string pdf = (scratch.path() / "out.pdf").string();
    const CliRun run = RunExtract(
        "--pdf " + quoted(pdf) + " " + quoted((scratch.path() / "in.dat").string()), scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(Words(PdfText(pdf)), "");
}

TEST(ParceloExtract, SaysWhyAPdfFileCannotBeWrittenAndRefusesOtherModes) {
    ScratchDir scratch;
    WriteFile(scratch.path() / "in.dat", SampleStream());
    const std::string in = quoted((scratch.path() / "in.dat").string());
    const std::string unwritable = (scratch.path() / "nowhere" / "out.pdf").string();
    const CliRun failed = RunExtract("--pdf " + quoted(unwritable) + " " + in, scratch);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "");
#ifdef PARCELO_EXTRACT_HAS_TEXT
    EXPECT_EQ(failed.err,
              "parcelo-extract: cannot write " + unwritable + ": No such file or directory\n");
#endif
    // An input that cannot be opened fails before anything is written.
    const std::string pdf = (scratch.path() / "out.pdf").string();
    const CliRun missing = RunExtract(
        "--pdf " + quoted(pdf) + " " + quoted((scratch.path() / "no.dat").string()), scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(std::filesystem::exists(pdf));

    for (const std::string& args :
         {std::string("--pdf"), "--pdf " + in, "--pdf '' " + in, "--pdf= " + in,
          "--pdf out.pdf --text " + in, "--text --pdf out.pdf " + in, "--pdf out.pdf --json " + in,
          "--pdf out.pdf --list " + in, "--pdf out.pdf -o dir " + in}) {
        const CliRun usage = RunExtract(args, scratch);
        EXPECT_EQ(usage.status, 2) << args;
        EXPECT_EQ(usage.out, "") << args;
    }
    EXPECT_THAT(scratch.fileNames(), ::testing::ElementsAre("in.dat"));
}

}  // namespace
}  // namespace parcelo::testing
