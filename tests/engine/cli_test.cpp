// parcelo-extract, run as a user or a script runs it.
#include <sys/wait.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

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

// Runs in the scratch directory, so that a file written by mistake shows there.
CliRun RunExtract(const std::string& arguments, const ScratchDir& scratch) {
    const std::string errFile = (scratch.path() / "stderr.txt").string();
    const std::string command = "cd " + quoted(scratch.path().string()) + " && " +
                                quoted(PARCELO_EXTRACT_BINARY) + " " + arguments + " 2>" +
                                quoted(errFile);
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

// How often `needle` occurs in `text`.
size_t Count(const std::string& text, const std::string& needle) {
    size_t count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}

// The values of every `attribute="..."` in `html`.
std::vector<std::string> AttributeValues(const std::string& html, const std::string& attribute) {
    std::vector<std::string> values;
    const std::string start = " " + attribute + "=\"";
    for (size_t at = html.find(start); at != std::string::npos; at = html.find(start, at + 1)) {
        const size_t from = at + start.size();
        values.push_back(html.substr(from, html.find('"', from) - from));
    }
    return values;
}

TEST(ParceloExtract, PrintsEveryBodyAsOneHtmlDocumentWritingNothing) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    ScratchDir scratch;
    // A 1x1 PNG in a native body, forwarded inside an HTML body that names files and servers.
    const std::string png =
        "89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c4890000000d4944415478da"
        "636460f85f0f0002870180eb47ba920000000049454e44ae426082";
    const std::string inner =
        TnefBuilder()
            .messageClass("IPM.Microsoft Mail.Note")
            .subject("inner")
            .messageProps(PropertyList().binary(
                0x1009,
                compressRtf("{\\rtf1 Forwarded {\\pict\\pngblip\\picw1\\pich1 " + png + "}\\par}")))
            .bytes();
    const std::string html =
        "{\\*\\htmltag34 <head><link rel=stylesheet href=\"file:///etc/x.css\"><style><!-- "
        "@import url(http://example.net/a.css); p.MsoNormal \\{margin:0in; "
        "background:url(file:///etc/bg.png) #ffffcc\\} --></style></head>}"
        "{\\*\\htmltag64 <p class=MsoNormal>}Outer {\\*\\htmltag84 <a "
        "href=\"http://example.com/x\">}link{\\*\\htmltag92 </a>}{\\*\\htmltag84 <img "
        "src=\"http://example.net/t.gif\" alt=\"remote\">}{\\*\\htmltag84 <img "
        "src=\"file:///etc/secret.png\">}{\\*\\htmltag72 </p>}"
        "{\\*\\htmltag96 <table border=1><tr><td colspan=2>wide</td></tr><tr><td>a</td><td>b"
        "</td></tr></table>}";
    WriteFile(scratch.path() / "in.dat",
              TnefBuilder()
                  .messageClass("IPM.Microsoft Mail.Note")
                  .subject("outer")
                  .messageProps(PropertyList().binary(
                      0x1009, compressRtf("{\\rtf1\\ansi\\fromhtml1 " + html + "}")))
                  .attach("fwd.dat", inner)
                  .bytes());
    const CliRun run = RunExtract("--html in.dat", scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_THAT(scratch.fileNames(), ::testing::ElementsAre("in.dat"));

    EXPECT_THAT(run.out, ::testing::StartsWith("<!DOCTYPE html>\n<html>"));
    EXPECT_THAT(run.out, ::testing::EndsWith("</html>\n"));
    EXPECT_EQ(Count(run.out, "<html"), 1u);
    EXPECT_EQ(Count(run.out, "<body"), 1u);
    // The window's order: the forwarded message first.
    const size_t forwarded = run.out.find("Forwarded");
    const size_t outer = run.out.find("Outer");
    ASSERT_NE(forwarded, std::string::npos);
    ASSERT_NE(outer, std::string::npos);
    EXPECT_LT(forwarded, outer);
    EXPECT_NE(run.out.find("[remote]"), std::string::npos);
    EXPECT_NE(run.out.find("background-color:#ffffcc"), std::string::npos);
    EXPECT_NE(run.out.find("colspan=\"2\""), std::string::npos);
    EXPECT_NE(run.out.find("border=\"1\""), std::string::npos);

    EXPECT_THAT(AttributeValues(run.out, "src"),
                ::testing::ElementsAre(::testing::StartsWith("data:image/png;base64,iVBORw0KGgo")));
    EXPECT_THAT(AttributeValues(run.out, "href"), ::testing::ElementsAre("http://example.com/x"));
    EXPECT_EQ(Count(run.out, "http:"), 1u);
    EXPECT_EQ(Count(run.out, "file:"), 0u);
    EXPECT_EQ(Count(run.out, "url("), 0u);
}

TEST(ParceloExtract, HtmlGoesWithNoOtherOption) {
    ScratchDir scratch;
    WriteFile(scratch.path() / "in.dat", SampleStream());
    for (const char* args : {"--html --text in.dat", "--text --html in.dat", "--html -o out in.dat",
                             "--html --list in.dat", "--json --html in.dat", "--html"}) {
        const CliRun usage = RunExtract(args, scratch);
        EXPECT_EQ(usage.status, 2) << args;
        EXPECT_EQ(usage.out, "") << args;
    }
    const CliRun missing = RunExtract("--html missing.dat", scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_THAT(scratch.fileNames(), ::testing::ElementsAre("in.dat"));
}

}  // namespace
}  // namespace parcelo::testing
