// Mail files built here, part by part, through the mail front end into one extraction run.
#include "mail_extraction.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "byte_source.h"
#include "corpus.h"
#include "extraction_run.h"

namespace parcelo::testing {
namespace {

using ::testing::ElementsAreArray;

std::string Base64(const std::string& bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[group >> 18 & 63];
        out += kDigits[group >> 12 & 63];
        out += i + 1 < bytes.size() ? kDigits[group >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
        if (i % 57 == 54)
            out += "\r\n";
    }
    return out + "\r\n";
}

// Every byte as "=XX", in lines of 75 with soft breaks, as the hardest quoted-printable.
std::string QuotedPrintable(const std::string& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out += {'=', kHex[byte >> 4], kHex[byte & 15]};
        if (i % 24 == 23)
            out += "=\r\n";
    }
    return out + "\r\n";
}

std::string Sample(const std::string& relative) {
    std::ifstream in(CorpusFile(relative), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Header(const std::string& subject, const std::string& more = "") {
    return "From: Ann Example <ann@example.com>\r\nTo: Bob <bob@example.com>\r\nSubject: " +
           subject + "\r\nDate: Tue, 1 Dec 2026 10:00:00 +0000\r\nMIME-Version: 1.0\r\n" + more;
}

// A multipart of `subtype` holding `parts` (each its own headers, a blank line, its content).
std::string Multipart(const std::string& subtype, const std::vector<std::string>& parts,
                      const std::string& boundary = "b0") {
    std::string out =
        "Content-Type: multipart/" + subtype + "; boundary=\"" + boundary + "\"\r\n\r\n";
    for (const std::string& part : parts)
        out += "--" + boundary + "\r\n" + part + "\r\n";
    return out + "--" + boundary + "--\r\n";
}

std::string TextPart(const std::string& text, const std::string& type = "text/plain",
                     const std::string& charset = "utf-8") {
    return "Content-Type: " + type + "; charset=" + charset + "\r\n\r\n" + text;
}

std::string FilePart(const std::string& type, const std::string& name, const std::string& bytes,
                     const std::string& more = "") {
    return "Content-Type: " + type + "; name=\"" + name +
           "\"\r\nContent-Disposition: attachment; filename=\"" + name +
           "\"\r\nContent-Transfer-Encoding: base64\r\n" + more + "\r\n" + Base64(bytes);
}

struct MailRun {
    std::vector<std::string> messages;  // "subject@depth", in the order met
    std::vector<std::string> files;     // "body NAME" or "NAME <cid>", in the order recorded
    std::vector<ExtractedBody> bodies;
};

MailRun RunMail(const std::string& mail) {
    MailRun out;
    ExtractionRun run;
    run.onMessage = [&](const MessageHeader& header, int depth) {
        out.messages.push_back(header.subject + "@" + std::to_string(depth));
    };
    run.onBody = [&](const ExtractedFile& body, const std::string& content) {
        out.bodies.push_back({body.bodyFormat, content, body.codePage});
    };
    const MemorySource source(mail.data(), mail.size());
    ExtractMailStream(run, source, 0, std::nullopt);
    for (const ExtractedFile& file : run.files) {
        std::string entry = file.isAttachment ? file.path : "body " + file.path;
        if (!file.contentId.empty())
            entry += " <" + file.contentId + ">";
        out.files.insert(out.files.begin(), entry);
    }
    return out;
}

struct MailCase {
    std::string name;
    std::string mail;
    std::vector<std::string> messages;
    std::vector<std::string> files;
};

std::vector<MailCase> MailCases() {
    const std::string quick = Sample("apache-poi-hmef/quick-winmail.dat");
    const std::string simple = Sample("convert-tnef-perl/tnef.doc");
    const std::vector<std::string> quickFiles = {"body untitled1.rtf", "quick.doc", "quick.html",
                                                 "quick.pdf",          "quick.txt", "quick.xml"};
    std::vector<MailCase> cases;
    // Outlook's own: a stub text and the TNEF stream, whose message comes one level in.
    MailCase base64{"Base64Tnef",
                    Header("Rich") +
                        Multipart("mixed", {TextPart("See the attachment."),
                                            FilePart("application/ms-tnef", "winmail.dat", quick)}),
                    {"Rich@0", "This is a test message@1"},
                    {"body Rich0.txt"}};
    base64.files.insert(base64.files.end(), quickFiles.begin(), quickFiles.end());
    cases.push_back(base64);
    cases.push_back({"QuotedPrintableTnef",
                     Header("QP") + Multipart("mixed", {"Content-Type: application/vnd.ms-tnef\r\n"
                                                        "Content-Transfer-Encoding: "
                                                        "quoted-printable\r\n\r\n" +
                                                        QuotedPrintable(simple)}),
                     {"QP@0", "This is a test@1"},
                     {"body This_is_a_test0.rtf", "tmp.out"}});
    // Relayed mail loses the type; the signature tells.
    cases.push_back(
        {"TnefBySignature",
         Header("Relayed") + Multipart("mixed", {TextPart("x"), FilePart("application/octet-stream",
                                                                         "ATT00001.dat", simple)}),
         {"Relayed@0", "This is a test@1"},
         {"body Relayed0.txt", "body This_is_a_test1.rtf", "tmp.out"}});
    // The plain alternative is the same text; the picture the HTML shows keeps its Content-ID.
    cases.push_back(
        {"AlternativeShowsItsHtml",
         Header("Alt") +
             Multipart(
                 "related",
                 {Multipart("alternative",
                            {TextPart("plain"), TextPart("<p>rich <img src=cid:p1>", "text/html")},
                            "b1"),
                  FilePart("image/png", "p.png", "\x89PNG", "Content-ID: <p1>\r\n")}),
         {"Alt@0"},
         {"body Alt0.html", "p.png <p1>"}});
    // A forwarded message comes where it is met, its files numbered with the outer ones.
    cases.push_back(
        {"ForwardedMessage",
         Header("Outer") +
             Multipart("mixed",
                       {TextPart("fwd"), FilePart("text/csv", "a.csv", "1,2"),
                        "Content-Type: message/rfc822\r\n\r\n" + Header("Inner") +
                            Multipart("mixed", {TextPart("in"), FilePart("text/csv", "a.csv", "3")},
                                      "b1"),
                        FilePart("application/octet-stream", "note.msg",
                                 std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))}),
         {"Outer@0", "Inner@1"},
         {"body Outer0.txt", "a.csv", "body Inner1.txt", "a_2.csv", "note.msg"}});
    // One body counter for the whole file; a ">From " line is text of the body.
    cases.push_back({"MboxOfThree",
                     "From ann@example.com Tue Dec  1 10:00:00 2026\n" + Header("One") +
                         "\r\none\r\n>From here\r\n\r\n"
                         "From bob@example.com Tue Dec  1 11:00:00 2026\n" +
                         Header("Two") + "\r\ntwo\r\n\r\n" +
                         "From ann@example.com Tue Dec  1 12:00:00 2026\n" + Header("Three") +
                         Multipart("mixed", {TextPart("three"), FilePart("text/csv", "a.csv", "")}),
                     {"One@0", "Two@0", "Three@0"},
                     {"body One0.txt", "body Two1.txt", "body Three2.txt", "a.csv"}});
    return cases;
}

TEST(MailExtraction, EachMessageAndPartComesInOrderIntoOneRun) {
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    for (const MailCase& mailCase : MailCases()) {
        SCOPED_TRACE(mailCase.name);
        const MailRun run = RunMail(mailCase.mail);
        EXPECT_THAT(run.messages, ElementsAreArray(mailCase.messages));
        EXPECT_THAT(run.files, ElementsAreArray(mailCase.files));
    }
}

TEST(MailExtraction, BodiesKeepTheirCharsetOrBecomeUtf8) {
    // Below a signature's "-- ", lines read like fields, more than a header may hold.
    std::string signed_ = "hi\n-- \n";
    for (int i = 0; i < 1500; ++i)
        signed_ += "Line" + std::to_string(i) + ": " + std::string(100, 'v') + "\n";
    struct Case {
        std::string part;
        ExtractedBody body;
    } cases[] = {
        // HTML keeps its bytes, for its <meta> may name the charset too.
        {TextPart("<p>\xF0\xD2\xC9", "text/html", "koi8-r"),
         {BodyFormat::kHtml, "<p>\xF0\xD2\xC9", 20866}},
        {TextPart("<p>caf\xE9", "text/html", "iso-8859-1"),
         {BodyFormat::kHtml, "<p>caf\xE9", 1252}},
        {TextPart("caf\xE9", "text/plain", "iso-8859-1"), {BodyFormat::kText, "caf\xC3\xA9", 0}},
        {"Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
             Base64("caf\xC3\xA9"),
         {BodyFormat::kText, "caf\xC3\xA9", 0}},
        {TextPart(signed_), {BodyFormat::kText, signed_, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        const MailRun run = RunMail(Header("B") + c.part);
        ASSERT_EQ(run.bodies.size(), 1u);
        EXPECT_EQ(run.bodies[0].format, c.body.format);
        EXPECT_EQ(run.bodies[0].content, c.body.content);
        EXPECT_EQ(run.bodies[0].codePage, c.body.codePage);
    }
}

TEST(MailExtraction, HeaderFieldsComeFromTheMimeHeader) {
    ExtractionRun run;
    std::vector<MessageHeader> headers;
    run.onMessage = [&](const MessageHeader& header, int) { headers.push_back(header); };
    const std::string mail =
        "From: =?utf-8?q?Ren=C3=A9?= <rene@example.com>\r\nTo: Bob <bob@example.com>, "
        "team: Cy <cy@example.com>, dee@example.com;\r\nCc: Eve <eve@example.com>\r\n"
        "Subject: =?iso-8859-1?q?caf=E9?=\r\nDate: Tue, 1 Dec 2026 11:00:00 +0100\r\n"
        "X-Priority: 1 (Highest)\r\n\r\nbody\r\n";
    ExtractMailStream(run, MemorySource(mail.data(), mail.size()), 0, std::nullopt);
    ASSERT_EQ(headers.size(), 1u);
    EXPECT_EQ(headers[0].from.display(), "Ren\xC3\xA9 <rene@example.com>");
    EXPECT_EQ(headers[0].sentTime, 1796119200);
    std::vector<std::string> to;
    for (const MessageAddress& address : headers[0].to)
        to.push_back(address.display());
    EXPECT_THAT(
        to, ElementsAreArray({"Bob <bob@example.com>", "Cy <cy@example.com>", "dee@example.com"}));
    ASSERT_EQ(headers[0].cc.size(), 1u);
    EXPECT_EQ(headers[0].subject, "caf\xC3\xA9");
    EXPECT_EQ(headers[0].importance, MessageImportance::kHigh);
}

// Hostile mail ends, with what can be read of it, in bounded time and memory.
TEST(MailExtraction, HostileMailEnds) {
    std::string deepMultipart = Header("Deep");
    for (int i = 0; i < 20000; ++i)
        deepMultipart += "Content-Type: multipart/mixed; boundary=\"" + std::to_string(i) +
                         "\"\r\n\r\n--" + std::to_string(i) + "\r\n";
    std::string deepMessages;
    for (int i = 0; i < 5000; ++i)
        deepMessages += Header("M") + "Content-Type: message/rfc822\r\n\r\n";
    std::string manyFields = Header("Fields");
    for (int i = 0; i < 100000; ++i)
        manyFields += "X-F" + std::to_string(i) + ": v\r\n";
    std::string emptyParts =
        Header("Parts") + "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n";
    for (int i = 0; i < 200000; ++i)
        emptyParts += "--b\r\n\r\n";
    const std::string hostile[] = {
        deepMultipart,
        deepMessages,
        manyFields + "\r\nbody",
        Header(std::string(4 << 20, 'S')) + "\r\nbody",
        Header("Broken") + "Content-Type: multipart/mixed; boundary=\"\"\r\n\r\n--\r\n--\r\n",
        Header("Unclosed") + "Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\n" +
            "Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\n--x--",
        Header("Bad64") + "Content-Transfer-Encoding: base64\r\n\r\n!!!=\x01===",
        // Each part costs GMime a kilobyte or so, whatever its size.
        emptyParts,
    };
    for (const std::string& mail : hostile) {
        const MailRun run = RunMail(mail);
        ASSERT_FALSE(run.messages.empty());
        EXPECT_LE(run.messages.size(), static_cast<size_t>(kMaxNestingDepth) + 1);
        EXPECT_LE(run.files.size(), 10000u);
    }
}

}  // namespace
}  // namespace parcelo::testing
