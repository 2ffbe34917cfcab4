// How fast the main window fills: a 50 MB stream with 60 attachments and a 1 MB RTF body is
// loaded into a shown window several times; each load is timed until the filled window has
// been painted. Target: under 1 s. Two large bodies as well, a mail whose HTML body is a
// table of 20,000 rows and a stream whose RTF body is 10 MB: target under 1.5 s each.
// Usage: bench_window [RUNS]                   generate the inputs, load each RUNS times
//                                              (default 5)
//        bench_window --write KIND FILE        only write input KIND (stream, table or rtf)
//                                              to FILE
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "scratch_dir.h"
#include "tnef_builder.h"

using namespace parcelo::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kAttachments = 60;
constexpr size_t kStreamBytes = 50u << 20;
constexpr size_t kBodyBytes = 1u << 20;
constexpr size_t kLargeBodyBytes = 10u << 20;
constexpr int kTableRows = 20000;

// The RTF Outlook writes, of about `bytes`: a font and a colour table, then paragraphs with
// bold, italic and coloured runs.
std::string BodyRtf(size_t bytes = kBodyBytes) {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New "
        "Roman;}}{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;}\\viewkind4\\uc1\n";
    rtf.reserve(bytes + 256);
    for (int i = 0; rtf.size() < bytes; ++i) {
        rtf += "\\pard\\f0\\fs20 Paragraph " + std::to_string(i) +
               ": the quarterly figures are attached, {\\b see the summary} and the "
               "{\\i notes on page two}; {\\cf2 please reply by Friday}. \\f1 Regards, Ann.\\par\n";
    }
    return rtf + "}";
}

std::string StreamBytes() {
    const char* extensions[] = {".pdf", ".docx", ".jpg", ".png", ".txt", ".zip", ".xlsx"};
    const size_t each = (kStreamBytes - kBodyBytes / 4) / kAttachments;
    std::mt19937_64 random(42);
    TnefBuilder builder;
    builder.messageClass("IPM.Microsoft Mail.Note")
        .subject("Quarterly figures")
        .messageProps(PropertyList().binary(0x1009, compressRtf(BodyRtf())));
    for (int i = 0; i < kAttachments; ++i) {
        std::string data(each, '\0');
        for (size_t j = 0; j + 8 <= data.size(); j += 8) {
            const uint64_t word = random();
            std::memcpy(&data[j], &word, 8);
        }
        builder.attach("attachment " + std::to_string(i) + extensions[i % 7], data);
    }
    return builder.bytes();
}

// A mail whose HTML body is one long bordered table of three columns, as a report mailed from
// a database or a spreadsheet is.
std::string TableMail() {
    std::string html =
        "<html><head><meta charset=\"utf-8\"></head><body><p>The stock list:</p>\n"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">\n"
        "<tr><th>Item</th><th>Description</th><th>Quantity</th></tr>\n";
    for (int row = 1; row <= kTableRows; ++row) {
        html += "<tr><td>" + std::to_string(100000 + row) + "</td><td>Part number " +
                std::to_string(row) + ", in store " + std::to_string(row % 17) +
                "</td><td align=\"right\">" + std::to_string(row * 7 % 1000) + "</td></tr>\n";
    }
    html += "</table></body></html>\n";
    return "From: Stock <stock@example.com>\r\nTo: Ann <ann@example.com>\r\n"
           "Subject: Stock list\r\nDate: Mon, 7 Dec 2026 09:00:00 +0000\r\n"
           "MIME-Version: 1.0\r\nContent-Type: text/html; charset=utf-8\r\n"
           "Content-Transfer-Encoding: 8bit\r\n\r\n" +
           html;
}

std::string LargeRtfStream() {
    return TnefBuilder()
        .messageClass("IPM.Microsoft Mail.Note")
        .subject("Minutes")
        .messageProps(PropertyList().binary(0x1009, compressRtf(BodyRtf(kLargeBodyBytes))))
        .bytes();
}

struct Input {
    const char* kind;
    const char* fileName;
    std::string (*make)();
    double targetMs;
};

constexpr Input kInputs[] = {
    {"stream", "winmail.dat", StreamBytes, 1000},
    {"table", "table.eml", TableMail, 1500},
    {"rtf", "minutes.dat", LargeRtfStream, 1500},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write") == 0) {
        for (const Input& input : kInputs) {
            if (std::strcmp(argv[2], input.kind) == 0) {
                WriteFile(argv[3], input.make());
                return 0;
            }
        }
        std::fprintf(stderr, "bench_window: no input %s (stream, table or rtf)\n", argv[2]);
        return 2;
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    // The window registers the desktop association when it opens: keep that out of $HOME.
    ScratchDir work;
    setenv("XDG_DATA_HOME", (work.path() / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (work.path() / "config").c_str(), 1);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    parcelo::MainDialog dialog;
    dialog.show();
    QApplication::processEvents();

    bool passed = true;
    for (const Input& input : kInputs) {
        const fs::path file = work.path() / input.fileName;
        WriteFile(file, input.make());
        if (input.make == StreamBytes) {
            std::printf("stream: %.1f MB, %d attachments, %.1f MB RTF body; platform %s\n",
                        double(fs::file_size(file)) / (1 << 20), kAttachments,
                        double(kBodyBytes) / (1 << 20),
                        qPrintable(QGuiApplication::platformName()));
        } else {
            std::printf("%s: %.1f MB\n", input.fileName, double(fs::file_size(file)) / (1 << 20));
        }
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            dialog.fileName = QString::fromStdString(file.string());
            QElapsedTimer timer;
            timer.start();
            const int result = dialog.LoadTnefFile();
            dialog.repaint();  // the filled window on screen
            QApplication::processEvents();
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            times.push_back(ms);
            std::printf("load %d: %.0f ms (result %d, %d items, %lld body characters)\n", run + 1,
                        ms, result, dialog.attachmentList()->count(),
                        static_cast<long long>(dialog.bodyView()->document()->characterCount()));
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        const bool pass = median < input.targetMs;
        passed = passed && pass;
        std::printf("median %.0f ms, best %.0f ms, worst %.0f ms: %s (target under %.0f ms)\n",
                    median, times.front(), times.back(), pass ? "PASS" : "FAIL", input.targetMs);
    }
    dialog.reject();
    return passed ? 0 : 1;
}
