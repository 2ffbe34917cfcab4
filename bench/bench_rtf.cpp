// How long a large body takes to appear in the document: native RTF and HTML encapsulated in
// RTF, at 1, 2.5, 5 and 10 MB, generated here to look like what Word and Outlook write; and
// bodies built to make a careless reader do quadratic work, at doubling counts of their piece,
// whose time must roughly double with them.
#include "body/offline_document.h"
#include "body/plain_text.h"
#include "body/rtf/rtf_reader.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr const char* kNativeHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Calibri;}"
    "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}"
    "{\\colortbl;\\red31\\green73\\blue125;\\red255\\green255\\blue0;}"
    "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}\\listid1}}"
    "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\n";

// Word's style: each run a group with its full properties, a list now and then, a table
// every fiftieth paragraph.
std::string NativeBody(size_t bytes) {
    std::string rtf = kNativeHeader;
    rtf.reserve(bytes + 4096);
    for (int paragraph = 0; rtf.size() < bytes; ++paragraph) {
        if (paragraph % 50 == 49) {
            for (int row = 0; row < 3; ++row) {
                rtf += "\\trowd\\trgaph108\\cellx3000\\cellx6000\\cellx9000\\pard\\intbl ";
                for (int cell = 0; cell < 3; ++cell)
                    rtf += "{\\rtlch\\fcs1 \\ltrch\\fcs0 \\f0\\fs22 cell " + std::to_string(cell) +
                           "}\\cell ";
                rtf += "\\row\n";
            }
            rtf += "\\pard\n";
            continue;
        }
        rtf += paragraph % 10 == 5 ? "\\pard\\plain\\ls1\\fi-360\\li720 " : "\\pard\\plain\\sa120 ";
        rtf += "{\\rtlch\\fcs1 \\ltrch\\fcs0 \\f0\\fs22\\insrsid1 Paragraph " +
               std::to_string(paragraph) +
               " of the message, with a few ordinary words in it, }{\\b\\f0\\fs22 bold words}"
               "{\\f0\\fs22  and }{\\i\\cf1\\f0\\fs22 coloured italics}{\\f0\\fs22 , K\\'e4se "
               "\\u8364\\'80 and a }{\\field{\\*\\fldinst HYPERLINK \"http://example.com/\"}"
               "{\\fldrslt{\\ul\\cf1\\f0\\fs22 link}}}{\\f0\\fs22 .}\\par\n";
    }
    return rtf + "}";
}

// Outlook's encapsulation of an HTML message from Word: a style sheet in comment markers,
// each tag in its own group, the RTF rendering of the same text hidden in \htmlrtf blocks.
std::string HtmlBody(size_t bytes) {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 \\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\fmodern Courier New;}}{\\colortbl\\red0\\green0\\blue0;\\red0\\green0"
        "\\blue255;}\n\\uc1\\pard\\plain\\deftab360 \\f0\\fs24 \n"
        "{\\*\\htmltag19 <html>}{\\*\\htmltag34 <head>}{\\*\\htmltag241 <style>}"
        "{\\*\\htmltag241 <!--\\par /* Font Definitions */\\par @font-face\\par \\tab "
        "\\{font-family:Calibri;\\par \\tab panose-1:2 15 5 2 2 2 4 3 2 4;\\}\\par "
        "p.MsoNormal, li.MsoNormal, div.MsoNormal\\par \\tab \\{margin:0cm;\\par \\tab "
        "margin-bottom:.0001pt;\\par \\tab font-size:11.0pt;\\par \\tab "
        "font-family:\"Calibri\",\"sans-serif\";\\}\\par a:link, span.MsoHyperlink\\par "
        "\\tab \\{mso-style-priority:99;\\par \\tab color:blue;\\par \\tab "
        "text-decoration:underline;\\}\\par span.EmailStyle17\\par \\tab "
        "\\{mso-style-type:personal-compose;\\par \\tab font-family:\"Calibri\",\"sans-serif\";"
        "\\par \\tab color:#1F497D;\\}\\par @page WordSection1\\par \\tab "
        "\\{size:612.0pt 792.0pt;\\par \\tab margin:72.0pt 72.0pt 72.0pt 72.0pt;\\}\\par "
        "div.WordSection1\\par \\tab \\{page:WordSection1;\\}\\par -->}"
        "{\\*\\htmltag249 </style>}"
        "{\\*\\htmltag41 </head>}{\\*\\htmltag50 <body lang=EN-GB link=blue vlink=purple>}"
        "{\\*\\htmltag96 <div class=WordSection1>}\n";
    rtf.reserve(bytes + 4096);
    for (int paragraph = 0; rtf.size() < bytes; ++paragraph) {
        if (paragraph % 50 == 49) {
            // Word's bordered table: no border attribute, a border on each cell.
            rtf +=
                "{\\*\\htmltag96 <table class=MsoTableGrid border=1 cellspacing=0 "
                "cellpadding=0 style='border-collapse:collapse;border:none'>}\n";
            for (int row = 0; row < 3; ++row) {
                rtf += "{\\*\\htmltag96 <tr>}";
                for (int cell = 0; cell < 3; ++cell)
                    rtf +=
                        "{\\*\\htmltag96 <td width=200 valign=top style='width:150.0pt;"
                        "border:solid windowtext 1.0pt;padding:0cm 5.4pt 0cm 5.4pt'>}"
                        "{\\*\\htmltag64 <p class=MsoNormal>}cell " +
                        std::to_string(cell) + "{\\*\\htmltag72 </p>}{\\*\\htmltag104 </td>}";
                rtf += "{\\*\\htmltag104 </tr>}\n";
            }
            rtf += "{\\*\\htmltag104 </table>}\n";
            continue;
        }
        if (paragraph % 10 == 5) {
            rtf +=
                "{\\*\\htmltag64 <p class=MsoNormal>}{\\*\\htmltag84 <font size=2 "
                "face=Arial>}{\\*\\htmltag84 <span class=EmailStyle17 "
                "style='font-size:10.0pt'>}Reply in Outlook's own style{\\*\\htmltag92 "
                "</span>}{\\*\\htmltag92 </font>}{\\*\\htmltag72 </p>}\n";
            continue;
        }
        rtf += "{\\*\\htmltag64 <p class=MsoNormal>}\\htmlrtf {\\htmlrtf0 Paragraph " +
               std::to_string(paragraph) +
               " of the message, with a few ordinary words in it, \n"
               "{\\*\\htmltag84 <b>}\\htmlrtf {\\b \\htmlrtf0 bold words\\htmlrtf }\\htmlrtf0 "
               "{\\*\\htmltag92 </b>} and K\\'e4se &amp; a \n"
               "{\\*\\htmltag84 <a href=\"http://example.com/\">}\\htmlrtf {\\field{\\*\\fldinst"
               "{HYPERLINK \"http://example.com/\"}}{\\fldrslt\\cf1\\ul \\htmlrtf0 link\\htmlrtf "
               "}\\htmlrtf0 \\htmlrtf }\\htmlrtf0 {\\*\\htmltag92 </a>}.\n"
               "{\\*\\htmltag244 <o:p>}{\\*\\htmltag252 </o:p>}\\htmlrtf\\par}\\htmlrtf0\n"
               "{\\*\\htmltag72 </p>}\n";
    }
    return rtf + "{\\*\\htmltag104 </div>}{\\*\\htmltag58 </body>}{\\*\\htmltag27 </html>}}";
}

// Times `rtf` appearing in a new document, the document's destruction left out.
void MeasureAppend(benchmark::State& state, const std::string& rtf) {
    for (auto _ : state) {
        auto document = std::make_unique<parcelo::OfflineTextDocument>();
        parcelo::AppendRtf(*document, rtf);
        benchmark::DoNotOptimize(document->characterCount());
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(rtf.size()));
}

template <std::string (*Make)(size_t)>
void AppendBody(benchmark::State& state) {
    MeasureAppend(state, Make(static_cast<size_t>(state.range(0)) * 1024));
}

void PlainTextOfBody(benchmark::State& state) {
    const std::string rtf = NativeBody(static_cast<size_t>(state.range(0)) * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(parcelo::PlainTextOfRtf(rtf).size());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(rtf.size()));
}

std::string Repeat(std::string_view piece, int times) {
    std::string out;
    out.reserve(piece.size() * static_cast<size_t>(times));
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// Table rows, every other one with two cells merged: Qt works a table out anew for each merge.
std::string MergedRows(int count) {
    std::string rows;
    for (int row = 0; row < count; ++row)
        rows += row % 2
                    ? "\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl a\\cell c\\cell b\\cell\\row"
                    : "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\intbl a\\cell"
                      "\\cell b\\cell\\row";
    return "{\\rtf1 " + rows + "}";
}

// Paragraphs whose tab stops all differ.
std::string DistinctTabStops(int count) {
    std::string out = "{\\rtf1 ";
    for (int i = 0; i < count; ++i)
        out += (i % 50 == 0 ? "\\pard\\tx" : "\\tx") + std::to_string(i % 31000);
    return out + "x}";
}

std::string Groups(int count) {
    return "{\\rtf1 " + Repeat("{\\b x}{\\i y}", count) + "}";
}

std::string NestedRows(int count) {
    return "{\\rtf1 \\intbl a\\par" + Repeat("\\itap5 x\\nestcell\\nestrow", count) + "}";
}

std::string Links(int count) {
    return "{\\rtf1 " + Repeat("{\\field{\\*\\fldinst HYPERLINK \"a\"}{\\fldrslt b}}", count) + "}";
}

std::string HtmlTableCells(int count) {
    return "{\\rtf1\\fromhtml1 " + Repeat("{\\*\\htmltag <table><tr><td>}", count) + "}";
}

template <std::string (*Make)(int)>
void HostileBody(benchmark::State& state) {
    MeasureAppend(state, Make(static_cast<int>(state.range(0))));
}

void Counts(benchmark::internal::Benchmark* bench, int first) {
    for (int count = first; count <= first * 4; count *= 2)
        bench->Arg(count);
    bench->Unit(benchmark::kMillisecond)->Iterations(1);
}

// 1, 2.5, 5 and 10 MB.
void Sizes(benchmark::internal::Benchmark* bench) {
    for (int kilobytes : {1024, 2560, 5120, 10240})
        bench->Arg(kilobytes);
    bench->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(AppendBody<NativeBody>)->Name("NativeRtf")->Apply(Sizes);
BENCHMARK(AppendBody<HtmlBody>)->Name("HtmlInRtf")->Apply(Sizes);
BENCHMARK(HostileBody<MergedRows>)->Name("HostileRtf/merges")->Apply([](auto* b) {
    Counts(b, 5000);
});
BENCHMARK(HostileBody<DistinctTabStops>)->Name("HostileRtf/tab_sets")->Apply([](auto* b) {
    Counts(b, 50000);
});
BENCHMARK(HostileBody<Groups>)->Name("HostileRtf/groups")->Apply([](auto* b) { Counts(b, 25000); });
BENCHMARK(HostileBody<NestedRows>)->Name("HostileRtf/nested_rows")->Apply([](auto* b) {
    Counts(b, 5000);
});
BENCHMARK(HostileBody<Links>)->Name("HostileRtf/links")->Apply([](auto* b) { Counts(b, 5000); });
BENCHMARK(HostileBody<HtmlTableCells>)->Name("HostileRtf/html_tables")->Apply([](auto* b) {
    Counts(b, 5000);
});
BENCHMARK(PlainTextOfBody)
    ->Name("PlainTextOfNativeRtf")
    ->Arg(10240)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
