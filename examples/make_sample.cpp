// Writes examples/sample.dat: a mail message with a formatted body, attachments, a
// forwarded message and Outlook items, made with the tests' TNEF writer.
#include <cstdio>
#include <string>

#include "scratch_dir.h"
#include "tnef_builder.h"

using namespace parcelo::testing;

namespace {

const char* kBody =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\fmodern\\fcharset0 Courier New;}}\r\n"
    "{\\colortbl ;\\red31\\green73\\blue125;\\red192\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 Hi Anna,\\par\r\n\\par\r\n"
    "here are the figures for the \\b third quarter\\b0 , as promised. The short version:\\par\r\n"
    "{\\pntext\\f0\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent360{\\pntxtb\\'95}}"
    "\\fi-360\\li720 Sales are up \\cf1\\b 12 %\\cf0\\b0  on last year.\\par\r\n"
    "{\\pntext\\f0\\'95\\tab}Costs stayed \\i flat\\i0 .\\par\r\n"
    "{\\pntext\\f0\\'95\\tab}The new office opens in \\ul March\\ulnone .\\par\r\n"
    "\\pard\\par\r\n"
    "\\trowd\\cellx2500\\cellx5000\\intbl\\b Region\\b0\\cell\\b Revenue\\b0\\cell\\row\r\n"
    "\\trowd\\cellx2500\\cellx5000\\intbl North\\cell 1.2 M\\cell\\row\r\n"
    "\\trowd\\cellx2500\\cellx5000\\intbl South\\cell 0.9 M\\cell\\row\r\n"
    "\\pard\\par\r\n"
    "The full report is attached; the forwarded mail below has Jan's comments, and "
    "the invitation is for the review meeting. Details are on "
    "{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/q3\"}}{\\fldrslt{\\ul\\cf1 our "
    "intranet page}}}.\\par\r\n\\par\r\n"
    "\\cf2 Please reply before Friday.\\cf0\\par\r\n\\par\r\n"
    "Best regards,\\par\r\nJohn Smith\\par\r\n"
    "{\\f1\\fs18 Acme Ltd. \\endash  Caf\\'e9 district, 221B Baker St.}\\par\r\n}";

const char* kForwardedBody =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\f0\\fs20 "
    "\\b From:\\b0  Jan Novak\\par\\b Subject:\\b0  Q3 draft\\par\\par "
    "John, two remarks on the draft: the North figures need the December correction, "
    "and the chart on page 3 is missing its legend.\\par\\par Jan\\par}";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample OUTPUT\n");
        return 2;
    }
    const std::string forwarded =
        TnefBuilder()
            .tnefVersion()
            .oemCodepage(1252)
            .messageClass("IPM.Microsoft Mail.Note")
            .subject("Q3 draft")
            .messageProps(PropertyList()
                              .string8(0x0042, "Jan Novak")
                              .string8(0x5D02, "jan.novak@example.com")
                              .string8(0x0E04, "John Smith")
                              .sysTime(0x0039, fileTime(2026, 12, 7, 16, 42, 0))
                              .binary(0x1009, compressRtf(kForwardedBody)))
            .attach("DRAFT~1.TXT", "North: 1.1 M (before the December correction)\n",
                    PropertyList().string8(0x3707, "draft figures.txt"))
            .bytes();
    const std::string meeting =
        TnefBuilder()
            .messageClass("IPM.Microsoft Schedule.MtgReq")
            .subject("Q3 review")
            .messageProps(PropertyList()
                              .namedString8(0x0024, "IPM.Appointment")
                              .string8(0x0070, "Q3 review")
                              .binary(0x0C1D, "SMTP:JOHN.SMITH@EXAMPLE.COM")
                              .namedString8(0x823B, "anna@example.com; jan@example.com")
                              .namedString8(0x0002, "Room 4.12")
                              .namedSysTime(0x820D, fileTime(2026, 12, 14, 9, 0, 0))
                              .namedSysTime(0x820E, fileTime(2026, 12, 14, 10, 0, 0)))
            .bytes();
    const std::string contact =
        TnefBuilder()
            .messageClass("IPM.Contact")
            .subject("John Smith")
            .messageProps(PropertyList()
                              .string8(0x3001, "John Smith")
                              .string8(0x3A16, "Acme Ltd.")
                              .string8(0x3A17, "Sales manager")
                              .string8(0x3A08, "+44 20 7946 0000")
                              .namedString8(0x8083, "john.smith@example.com"))
            .bytes();
    std::string csv = "Region;Q1;Q2;Q3\nNorth;1.0;1.1;1.2\nSouth;0.8;0.8;0.9\n";
    const std::string message =
        TnefBuilder()
            .tnefVersion()
            .oemCodepage(1252)
            .messageClass("IPM.Microsoft Mail.Note")
            .subject("Q3 report")
            .messageProps(PropertyList()
                              .string8(0x0042, "John Smith")
                              .string8(0x5D02, "john.smith@example.com")
                              .string8(0x0E04, "Anna Berg")
                              .string8(0x0E03, "Jan Novak")
                              .sysTime(0x0039, fileTime(2026, 12, 8, 9, 15, 0))
                              .binary(0x1009, compressRtf(kBody)))
            .attach("Q3REPO~1.CSV", csv, PropertyList().string8(0x3707, "Q3 report.csv"))
            .attach("AGENDA.TXT", "1. Figures\n2. New office\n3. Budget 2027\n")
            .attach("Untitled Attachment", "",
                    PropertyList().string8(0x3001, "Q3 draft").object(0x3701, iid() + forwarded))
            .attach("Untitled Attachment", "", PropertyList().object(0x3701, iid() + meeting))
            .attach("Untitled Attachment", "", PropertyList().object(0x3701, iid() + contact))
            .bytes();
    WriteFile(argv[1], message);
    return 0;
}
