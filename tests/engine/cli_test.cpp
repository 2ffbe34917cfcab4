// parcelo-extract, run as a user or a script runs it: each run in a working directory of its
// own, which must stay empty unless the run is asked to write there.
#include <sys/wait.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "corpus.h"
#include "pdf_tools.h"
#include "scratch_dir.h"
#include "tnef_builder.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

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

// Every file under `dir`, as paths relative to it, sorted.
std::vector<std::string> FilesUnder(const fs::path& dir) {
    std::vector<std::string> files;
    if (!fs::exists(dir))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        files.push_back(fs::relative(entry.path(), dir).string());
    std::sort(files.begin(), files.end());
    return files;
}

// A place for one test's runs: inputs in in/, the runs' working directory work/.
class Workspace {
  public:
    Workspace() {
        fs::create_directory(inputs());
        fs::create_directory(work());
    }
    fs::path inputs() const { return scratch_.path() / "in"; }
    fs::path work() const { return scratch_.path() / "work"; }
    fs::path path() const { return scratch_.path(); }

    std::string input(const std::string& name, const std::string& bytes) const {
        WriteFile(inputs() / name, bytes);
        return quoted((inputs() / name).string());
    }

    // Runs parcelo-extract with `arguments` (already quoted); `shellSetup` runs first in the
    // same shell (a ulimit, say).
    CliRun run(const std::string& arguments, const std::string& shellSetup = "") const {
        const std::string errFile = (scratch_.path() / "stderr.txt").string();
        const std::string command = "cd " + quoted(work().string()) + " && " + shellSetup +
                                    " exec " + quoted(PARCELO_EXTRACT_BINARY) + " " + arguments +
                                    " 2>" + quoted(errFile);
        CliRun result;
        FILE* pipe = popen(command.c_str(), "r");
        std::array<char, 4096> buffer;
        size_t n;
        while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            result.out.append(buffer.data(), n);
        const int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = ReadFile(errFile);
        fs::remove(errFile);
        return result;
    }

  private:
    ScratchDir scratch_;
};

const std::string kNote = "IPM.Microsoft Mail.Note";

TnefBuilder Sample() {
    TnefBuilder sample;
    sample.messageClass(kNote)
        .subject("Hello World")
        .messageProps(PropertyList().binary(0x1009, compressRtf("{\\rtf1 Hi}")))
        .attach("A.txt", "first")
        .attach("quote\".txt", "second!");
    return sample;
}

std::string SampleStream() {
    return Sample().bytes();
}

TEST(ParceloExtract, ListsWhatItWroteNewestFirst) {
    Workspace ws;
    const std::string in = ws.input("in.dat", SampleStream());
    const std::string out = (ws.path() / "out dir").string();
    const CliRun run = ws.run("-o " + quoted(out) + " " + in);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "attachment\t7\t" + out + "/quote\".txt\n" + "attachment\t5\t" + out +
                           "/A.txt\n" + "body\t10\t" + out + "/Hello_World0.rtf\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFile(out + "/A.txt"), "first");
    EXPECT_THAT(FilesUnder(out), ElementsAre("A.txt", "Hello_World0.rtf", "quote\".txt"));
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
    EXPECT_THAT(FilesUnder(ws.inputs()), ElementsAre("in.dat"));
}

TEST(ParceloExtract, WithoutAnOutputDirectoryWritesIntoTheWorkingDirectory) {
    Workspace ws;
    const CliRun run = ws.run(ws.input("in.dat", SampleStream()));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "attachment\t7\tquote\".txt\nattachment\t5\tA.txt\nbody\t10\tHello_World0.rtf\n");
    EXPECT_THAT(FilesUnder(ws.work()), ElementsAre("A.txt", "Hello_World0.rtf", "quote\".txt"));
}

TEST(ParceloExtract, ListsAsJson) {
    Workspace ws;
    const std::string in = ws.input(
        "in.dat",
        Sample()
            .attach("logo.png", "png",
                    PropertyList().string8(0x3712, "logo@example").string8(0x370E, "image/png"))
            .attach("typed", "t", PropertyList().unicode(0x370E, u"text/plain"))
            .bytes());
    // A backslash is an ordinary character of a directory name here.
    const std::string out = (ws.path() / "back\\slash").string();
    const CliRun run = ws.run("--json -o " + quoted(out) + " " + in);
    EXPECT_EQ(run.status, 0);
    std::string escaped = out;
    escaped.replace(escaped.find('\\'), 1, "\\\\");
    EXPECT_EQ(run.out,
              "[\n"
              "  {\"path\": \"" +
                  escaped + "/typed\", \"size\": 1, \"attachment\": true, " +
                  "\"mime_type\": \"text/plain\"},\n" + "  {\"path\": \"" + escaped +
                  "/logo.png\", \"size\": 3, \"attachment\": true, " +
                  "\"content_id\": \"logo@example\", \"mime_type\": \"image/png\"},\n" +
                  "  {\"path\": \"" + escaped +
                  "/quote\\\".txt\", \"size\": 7, \"attachment\": true},\n" + "  {\"path\": \"" +
                  escaped + "/A.txt\", \"size\": 5, \"attachment\": true},\n" + "  {\"path\": \"" +
                  escaped + "/Hello_World0.rtf\", \"size\": 10, \"attachment\": false}\n]\n");
    EXPECT_EQ(ReadFile(out + "/logo.png"), "png");
    EXPECT_EQ(ws.run("--json " + ws.input("empty.dat", TnefBuilder().bytes())).out, "[]\n");
}

TEST(ParceloExtract, ListingOnlyWritesNothingAndMakesNoDirectory) {
    Workspace ws;
    const std::string in = ws.input("in.dat", SampleStream());
    const std::string out = (ws.path() / "never").string();
    for (const std::string& args : {"--list " + in, "--json --list -o " + quoted(out) + " " + in}) {
        const CliRun run = ws.run(args);
        EXPECT_EQ(run.status, 0) << args;
        EXPECT_THAT(run.out, HasSubstr("A.txt")) << args;
    }
    EXPECT_EQ(ws.run("--list " + in).out,
              "attachment\t7\tquote\".txt\nattachment\t5\tA.txt\nbody\t10\tHello_World0.rtf\n");
    EXPECT_FALSE(fs::exists(out));
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
}

TEST(ParceloExtract, ReportsFilesItCannotOpenAndUsageErrors) {
    Workspace ws;
    const CliRun missing = ws.run(quoted((ws.inputs() / "missing.dat").string()));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "Extract failed! The file is invalid winmail.dat(MS-TNEF). \n"
              "parcelo-extract: cannot open " +
                  (ws.inputs() / "missing.dat").string() + ": No such file or directory\n");
    EXPECT_EQ(ws.run(quoted(ws.inputs().string())).status, 1);
    for (const char* args : {"", "--bogus x.dat", "-o", "a.dat b.dat", "-x a.dat", "-o '' a.dat",
                             "--text --json x.dat"}) {
        const CliRun usage = ws.run(args);
        EXPECT_EQ(usage.status, 2) << args;
        EXPECT_EQ(usage.out, "") << args;
    }
    EXPECT_EQ(ws.run("--help").status, 0);
    EXPECT_THAT(ws.run("--version").out, ::testing::StartsWith("parcelo-extract "));
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
}

TEST(ParceloExtract, SaysWhenTheFileIsNoneItOpens) {
    Workspace ws;
    const std::string out = (ws.path() / "out").string();
    std::string alteredSignature = SampleStream();
    alteredSignature[3] = '\x32';
    // A compound file is an Outlook .msg to be, not yet read; a colon in a first line does not
    // make text mail.
    for (const std::string& bytes :
         {std::string("Dear all,\nthe minutes are attached.\n"), std::string(),
          std::string("\x78\x9F"), alteredSignature,
          std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
          std::string("Note: bring the slides\n\nThanks\n")}) {
        const std::string in = ws.input("not.dat", bytes);
        for (const std::string& args :
             {"-o " + quoted(out) + " " + in, "--json " + in, "--text " + in}) {
            const CliRun run = ws.run(args);
            EXPECT_EQ(run.status, 3) << args;
            EXPECT_EQ(run.out, "") << args;
            EXPECT_THAT(run.err,
                        HasSubstr(": not a file Parcelo opens (TNEF, .msg, .eml or mbox)\n"))
                << args;
        }
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
}

TEST(ParceloExtract, GivesWhatADamagedStreamHoldsWithOneWarning) {
    Workspace ws;
    // Checksum mismatches, a damaged property block and a cut-off attribute.
    const std::string stream =
        TnefBuilder()
            .attribute(kLevelMessage, kAttMessageClass, std::string("IPM.Note\0", 9), 1)
            .messageProps(PropertyList().string8(0x3001, "x").fixed(0x1111, 0x0001, le32(0)))
            .attach("a.txt", "a")
            .raw(std::string("\x02\x0f\x80\x06\x00\xff\xff\x00\x00partial", 16))
            .bytes();
    const CliRun run = ws.run("--list --json " + ws.input("bad.dat", stream));
    EXPECT_EQ(run.status, 0);
    // The library's own complaints never reach either stream.
    EXPECT_EQ(run.out, "[\n  {\"path\": \"a.txt\", \"size\": 1, \"attachment\": true}\n]\n");
    EXPECT_THAT(run.err, ::testing::MatchesRegex("parcelo-extract: warning: [^\n]*bad.dat: "
                                                 "[^\n]*breaks off[^\n]*property block[^\n]*\n"));
    // A sound stream, and one with a few bytes of padding after its end, give none.
    EXPECT_EQ(ws.run("--list " + ws.input("ok.dat", SampleStream() + std::string(2, '\0'))).err,
              "");
}

TEST(ParceloExtract, NamesEachFileItCannotWrite) {
    Workspace ws;
    const std::string in = ws.input("in.dat", SampleStream());

    // The output directory cannot be made: a file is in the way.
    WriteFile(ws.path() / "plain", "x");
    const std::string under = (ws.path() / "plain" / "out").string();
    CliRun run = ws.run("-o " + quoted(under) + " " + in);
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.out, "attachment\t7\t" + under + "/quote\".txt\nattachment\t5\t" + under +
                           "/A.txt\nbody\t10\t" + under + "/Hello_World0.rtf\n");
    for (const char* name : {"/quote\".txt: ", "/A.txt: ", "/Hello_World0.rtf: "})
        EXPECT_THAT(run.err, HasSubstr("cannot write " + under + name + "Not a directory"));

    // A folder name the system refuses is told as one, not an abort.
    const std::string tooLong = (ws.path() / std::string(300, 'e')).string();
    run = ws.run("-o " + quoted(tooLong) + " " + in);
    EXPECT_EQ(run.status, 4);
    EXPECT_THAT(run.err, HasSubstr("cannot create " + tooLong + ": File name too long\n"));
    EXPECT_THAT(run.err, HasSubstr("cannot write " + tooLong + "/A.txt: File name too long\n"));

    // A write that stops short: past the file-size limit of the process (4 blocks).
    const std::string big(8192, 'b');
    const std::string large = ws.input("large.dat", TnefBuilder().attach("big.bin", big).bytes());
    const std::string out = (ws.path() / "out").string();
    run = ws.run("-o " + quoted(out) + " " + large, "ulimit -f 4 &&");
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.out, "attachment\t8192\t" + out + "/big.bin\n");
    EXPECT_THAT(run.err, HasSubstr("cannot write " + out + "/big.bin: File too large"));
    // What was cut short is not left to pass for the attachment.
    EXPECT_THAT(FilesUnder(out), IsEmpty());
    run = ws.run("--json -o " + quoted(out) + " " + large, "ulimit -f 4 &&");
    EXPECT_EQ(run.status, 4);
    EXPECT_THAT(run.out, HasSubstr("\"attachment\": true, \"written\": false}"));
    EXPECT_THAT(FilesUnder(out), IsEmpty());
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
}

TEST(ParceloExtract, KeepsEveryFileAlreadyThereAndNumbersTheNewOne) {
    Workspace ws;
    const std::string in =
        ws.input("in.dat", TnefBuilder().attach(".bashrc", "theirs").attach("A.txt", "a").bytes());
    WriteFile(ws.work() / ".bashrc", "mine");
    // A link in the way is never followed, with --overwrite neither.
    const fs::path target = ws.path() / "target";
    fs::create_symlink(target, ws.work() / "A.txt");

    CliRun run = ws.run(in);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "attachment\t1\tA_2.txt\nattachment\t6\t_.bashrc\n");
    EXPECT_EQ(ReadFile(ws.work() / ".bashrc"), "mine");
    EXPECT_EQ(ReadFile(ws.work() / "_.bashrc"), "theirs");
    // A listing shows the names a run would write.
    EXPECT_EQ(ws.run("--list " + in).out, "attachment\t1\tA_3.txt\nattachment\t6\t_.bashrc_2\n");
    EXPECT_EQ(ws.run(in).out, "attachment\t1\tA_3.txt\nattachment\t6\t_.bashrc_2\n");

    WriteFile(ws.work() / "_.bashrc", "edited");
    run = ws.run("--overwrite " + in);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "attachment\t1\tA_2.txt\nattachment\t6\t_.bashrc\n");
    EXPECT_EQ(ReadFile(ws.work() / "_.bashrc"), "theirs");
    EXPECT_EQ(ReadFile(ws.work() / ".bashrc"), "mine");
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(ws.run("--overwrite --list " + in).status, 2);
}

TEST(ParceloExtract, ReadsStandardInputAndChecksStandardOutput) {
    Workspace ws;
    const std::string in = ws.input("in.dat", SampleStream());
    CliRun run = ws.run("--list - < " + in);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "attachment\t7\tquote\".txt\nattachment\t5\tA.txt\nbody\t10\tHello_World0.rtf\n");
    EXPECT_EQ(ws.run("--text - < " + in).status, 0);
    EXPECT_THAT(ws.run("-h").out, HasSubstr("Usage: parcelo-extract"));

    for (const std::string& args : {"--list " + in, "--json --list " + in, "--text " + in}) {
        run = ws.run(args + " > /dev/full");
        EXPECT_EQ(run.status, 4) << args;
        EXPECT_EQ(run.err,
                  "parcelo-extract: cannot write standard output: No space left on device\n")
            << args;
    }
#ifdef PARCELO_EXTRACT_HAS_TEXT
    run = ws.run("--pdf /dev/full " + in);
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err, "parcelo-extract: cannot write /dev/full: No space left on device\n");
    // A PDF cut short by the file-size limit leaves no file, under its name or another.
    run = ws.run("--pdf t.pdf " + in, "ulimit -f 4 &&");
    EXPECT_EQ(run.status, 4);
    EXPECT_THAT(run.err, HasSubstr("cannot write t.pdf: File too large"));
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
#endif
}

TEST(ParceloExtract, PrintsTheTextOfEveryBodyWritingNothing) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    Workspace ws;
    const std::string inner = TnefBuilder()
                                  .messageClass(kNote)
                                  .subject("inner")
                                  .messageProps(PropertyList().binary(
                                      0x1009, compressRtf("{\\rtf1 Forwarded \\b text\\b0\\par}")))
                                  .bytes();
    const std::string html =
        TnefBuilder()
            .messageClass("IPM.Note")
            .messageProps(PropertyList().binary(
                0x1013, "<html><body><p>An <b>HTML</b> body</p></body></html>"))
            .bytes();
    const std::string text = TnefBuilder()
                                 .messageClass("IPM.Note")
                                 .messageProps(PropertyList().string8(0x1000, "Plain\r\ntext"))
                                 .bytes();
    const CliRun run = ws.run(
        "--text " +
        ws.input("in.dat",
                 TnefBuilder()
                     .messageClass(kNote)
                     .subject("outer")
                     .messageProps(PropertyList().binary(
                         0x1009, compressRtf("{\\rtf1\\ansi First line\\par Caf\\'e9\\par}")))
                     .attach("fwd.dat", inner)
                     .attach("html.dat", html)
                     .attach("text.dat", text)
                     .bytes()));
    EXPECT_EQ(run.status, 0);
    // In walk order, each message's header lines over its body; a bare body has none.
    EXPECT_EQ(run.out,
              "Subject: outer\n\nFirst line\nCafé\n\nSubject: inner\n\nForwarded text\n\n"
              "An HTML body\n\nPlain\ntext\n");
    EXPECT_EQ(run.err, "");
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
    EXPECT_THAT(FilesUnder(ws.inputs()), ElementsAre("in.dat"));
}

// A real message's header as a mail reader prints it: the sent-for sender (an Exchange
// address gives no mail address), the date, the recipient table's SMTP address.
TEST(ParceloExtract, PrintsEachMessagesHeaderBeforeItsText) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    Workspace ws;
    const CliRun run =
        ws.run("--text " + quoted(CorpusFile("verdammelt-tnef/body.tnef")), "export TZ=UTC;");
    EXPECT_EQ(run.status, 0);
    const std::string head =
        "From: 3krelay\nSent: Monday, 25 April 2005 17:15\n"
        "To: 3kuser2 <3kuser2@brexchange.dolphinsearch.com>\nSubject: Bill of Rights\n\n"
        "THE BILL OF RIGHTS\n";
    EXPECT_EQ(run.out.substr(0, head.size()), head);
}

TEST(ParceloExtract, PrintsTheCardOfAConvertedItemAsItsText) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    Workspace ws;
    const std::string in = ws.input(
        "meeting.dat",
        TnefBuilder()
            .messageClass("IPM.Schedule.Meeting.Request")
            .messageProps(PropertyList()
                              .namedString8(0x0024, "IPM.Appointment")
                              .string8(0x0070, "Review")
                              .namedString8(0x8208, "Room 4")
                              .namedSysTime(0x820D, 130322916000000000)  // 2013-12-23 17:00 UTC
                              .namedSysTime(0x820E, 130322934000000000)
                              .binary(0x1009, compressRtf("{\\rtf1 Bring the figures.\\par}")))
            .bytes());
    const CliRun run = ws.run("--text " + in, "TZ=XYZ-1");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "Subject: Review\n\nReview\nWhen:\tMonday, 23 December 2013 18:00\u2013"
              "18:30\nWhere:\tRoom 4\n"
              "Bring the figures.\n");
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
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
    Workspace ws;
    const std::string html =
        TnefBuilder()
            .messageClass("IPM.Note")
            .messageProps(PropertyList().binary(0x1013, "<p>An <b>HTML</b> body</p>"))
            .bytes();
    const std::string in = ws.input(
        "in.dat", TnefBuilder()
                      .messageClass("IPM.Microsoft Mail.Note")
                      .subject("outer")
                      .messageProps(PropertyList().binary(
                          0x1009, compressRtf("{\\rtf1\\ansi First line\\par Caf\\'e9\\par}")))
                      .attach("fwd.dat", NoteWithBody("{\\rtf1 Forwarded \\b text\\b0\\par}"))
                      .attach("html.dat", html)
                      .bytes());
    const std::string pdf = (ws.path() / "out.pdf").string();
    const CliRun run = ws.run("--pdf " + quoted(pdf) + " " + in);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(Words(PdfText(pdf)),
              "Subject: outer First line Café Subject: Note Forwarded text An HTML body");
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
    EXPECT_THAT(FilesUnder(ws.inputs()), ElementsAre("in.dat"));
}

TEST(ParceloExtract, PrintsALongBodyOnPagesThatLoseNoLine) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    Workspace ws;
    std::string rtf = "{\\rtf1\\ansi ";
    std::string expected = "Subject: Note";
    for (int i = 1; i <= 400; ++i) {
        const std::string line = "Line " + std::to_string(i) + " of a long body";
        rtf += line + "\\par ";
        expected += " " + line;
    }
    const std::string in = ws.input("in.dat", NoteWithBody(rtf + "}"));
    const std::string pdf = (ws.path() / "out.pdf").string();
    EXPECT_EQ(ws.run("--pdf=" + quoted(pdf) + " " + in).status, 0);
    EXPECT_GT(PdfPageCount(pdf), 4);
    EXPECT_EQ(Words(PdfText(pdf)), expected);
}

TEST(ParceloExtract, PrintsOneEmptyPageForAFileWithoutABody) {
#ifndef PARCELO_EXTRACT_HAS_TEXT
    GTEST_SKIP() << "built without the RTF reader";
#endif
    Workspace ws;
    const std::string pdf = (ws.path() / "out.pdf").string();
    const CliRun run = ws.run("--pdf " + quoted(pdf) + " " +
                              ws.input("in.dat", TnefBuilder().attach("a.txt", "a").bytes()));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(Words(PdfText(pdf)), "");
}

TEST(ParceloExtract, SaysWhyAPdfFileCannotBeWrittenAndRefusesOtherModes) {
    Workspace ws;
    const std::string in = ws.input("in.dat", SampleStream());
    const std::string unwritable = (ws.path() / "nowhere" / "out.pdf").string();
    const CliRun failed = ws.run("--pdf " + quoted(unwritable) + " " + in);
    EXPECT_EQ(failed.status, 4);
    EXPECT_EQ(failed.out, "");
#ifdef PARCELO_EXTRACT_HAS_TEXT
    EXPECT_EQ(failed.err,
              "parcelo-extract: cannot write " + unwritable + ": No such file or directory\n");
#endif
    // An input that cannot be opened, or is not TNEF, fails before anything is written.
    const std::string pdf = (ws.path() / "out.pdf").string();
    EXPECT_EQ(
        ws.run("--pdf " + quoted(pdf) + " " + quoted((ws.inputs() / "no.dat").string())).status, 1);
    EXPECT_EQ(ws.run("--pdf " + quoted(pdf) + " " + ws.input("text.dat", "plain text")).status, 3);
    EXPECT_FALSE(std::filesystem::exists(pdf));

    for (const std::string& args :
         {std::string("--pdf"), "--pdf " + in, "--pdf '' " + in, "--pdf= " + in,
          "--pdf out.pdf --text " + in, "--text --pdf out.pdf " + in, "--pdf out.pdf --json " + in,
          "--pdf out.pdf --list " + in, "--pdf out.pdf -o dir " + in}) {
        const CliRun usage = ws.run(args);
        EXPECT_EQ(usage.status, 2) << args;
        EXPECT_EQ(usage.out, "") << args;
    }
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
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
    Workspace ws;
    // A 1x1 PNG in a native body, forwarded inside an HTML body that names files and servers.
    const std::string png =
        "89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c4890000000d4944415478da"
        "636460f85f0f0002870180eb47ba920000000049454e44ae426082";
    const std::string inner =
        TnefBuilder()
            .messageClass(kNote)
            .subject("inner")
            .messageProps(PropertyList().binary(
                0x1009,
                compressRtf("{\\rtf1 Forwarded {\\pict\\pngblip\\picw1\\pich1 " + png + "}\\par}")))
            .bytes();
    std::string pngBytes;
    for (size_t i = 0; i < png.size(); i += 2)
        pngBytes += static_cast<char>(std::stoi(png.substr(i, 2), nullptr, 16));
    // The logo is an attachment of the outer message; the window shows it where the stored
    // HTML body names it.
    const std::string htmlOnly =
        TnefBuilder()
            .messageClass("IPM.Note")
            .messageProps(PropertyList().binary(
                0x1013,
                "<html><body><p>Stored <img src=\"cid:logo@x\" alt=\"Logo\"> <a "
                "href=\"javascript:alert(1)\">HTML</a></p></body></html>"))
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
    const CliRun run =
        ws.run("--html " +
               ws.input("in.dat",
                        TnefBuilder()
                            .messageClass(kNote)
                            .subject("outer")
                            .messageProps(PropertyList().binary(
                                0x1009, compressRtf("{\\rtf1\\ansi\\fromhtml1 " + html + "}")))
                            .attach("fwd.dat", inner)
                            .attach("html.dat", htmlOnly)
                            .attach("logo.png", pngBytes, PropertyList().string8(0x3712, "logo@x"))
                            .bytes()));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
    EXPECT_THAT(FilesUnder(ws.inputs()), ElementsAre("in.dat"));

    EXPECT_THAT(run.out, ::testing::StartsWith("<!DOCTYPE html>\n<html>"));
    EXPECT_THAT(run.out, ::testing::EndsWith("</html>\n"));
    EXPECT_EQ(Count(run.out, "<html"), 1u);
    EXPECT_EQ(Count(run.out, "<body"), 1u);
    // The window's order: the outer message first, then each nested one as it is met.
    const size_t stored = run.out.find("Stored");
    const size_t forwarded = run.out.find("Forwarded");
    const size_t outer = run.out.find("Outer");
    ASSERT_NE(stored, std::string::npos);
    ASSERT_NE(forwarded, std::string::npos);
    ASSERT_NE(outer, std::string::npos);
    EXPECT_LT(outer, forwarded);
    EXPECT_LT(forwarded, stored);
    EXPECT_THAT(run.out, HasSubstr("[remote]"));
    EXPECT_THAT(run.out, HasSubstr("background-color:#ffffcc"));
    EXPECT_THAT(run.out, HasSubstr("colspan=\"2\""));
    EXPECT_THAT(run.out, HasSubstr("border=\"1\""));

    EXPECT_THAT(AttributeValues(run.out, "src"),
                ElementsAre(::testing::StartsWith("data:image/png;base64,iVBORw0KGgo"),
                            ::testing::StartsWith("data:image/png;base64,iVBORw0KGgo")));
    EXPECT_EQ(Count(run.out, "[Logo]"), 0u);
    EXPECT_EQ(Count(run.out, "cid:"), 0u);
    EXPECT_THAT(AttributeValues(run.out, "href"), ElementsAre("http://example.com/x"));
    EXPECT_EQ(Count(run.out, "http:"), 1u);
    EXPECT_EQ(Count(run.out, "file:"), 0u);
    EXPECT_EQ(Count(run.out, "url("), 0u);
    EXPECT_EQ(Count(run.out, "javascript:"), 0u);
}

TEST(ParceloExtract, HtmlGoesWithNoOtherOption) {
    Workspace ws;
    const std::string in = ws.input("in.dat", SampleStream());
    for (const std::string& args :
         {"--html --text " + in, "--text --html " + in, "--html -o out " + in,
          "--html --list " + in, "--json --html " + in, "--html --pdf out.pdf " + in,
          std::string("--html")}) {
        const CliRun usage = ws.run(args);
        EXPECT_EQ(usage.status, 2) << args;
        EXPECT_EQ(usage.out, "") << args;
    }
    const CliRun missing = ws.run("--html missing.dat");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    const CliRun notTnef = ws.run("--html " + ws.input("plain.txt", "not a TNEF stream"));
    EXPECT_EQ(notTnef.status, 3);
    EXPECT_EQ(notTnef.out, "");
    EXPECT_THAT(FilesUnder(ws.work()), IsEmpty());
}

}  // namespace
}  // namespace parcelo::testing
