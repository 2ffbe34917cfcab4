// How fast the main window fills: a 50 MB stream with 60 attachments and a 1 MB RTF body is
// loaded into a shown window several times; each load is timed until the filled window has
// been painted. Target: under 1 s.
// Usage: bench_window [RUNS]             generate the stream, load it RUNS times (default 5)
//        bench_window --write FILE       only write the stream to FILE
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

// About a megabyte of the RTF Outlook writes: a font and a colour table, then paragraphs with
// bold, italic and coloured runs.
std::string BodyRtf() {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New "
        "Roman;}}{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;}\\viewkind4\\uc1\n";
    for (int i = 0; rtf.size() < kBodyBytes; ++i) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        WriteFile(argv[2], StreamBytes());
        return 0;
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

    const fs::path stream = work.path() / "winmail.dat";
    WriteFile(stream, StreamBytes());
    std::printf("stream: %.1f MB, %d attachments, %.1f MB RTF body; platform %s\n",
                double(fs::file_size(stream)) / (1 << 20), kAttachments,
                double(kBodyBytes) / (1 << 20), qPrintable(QGuiApplication::platformName()));

    parcelo::MainDialog dialog;
    dialog.show();
    QApplication::processEvents();

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        dialog.fileName = QString::fromStdString(stream.string());
        QElapsedTimer timer;
        timer.start();
        const int result = dialog.LoadTnefFile();
        dialog.repaint();  // the filled window on screen
        QApplication::processEvents();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        times.push_back(ms);
        std::printf("load %d: %.0f ms (result %d, %d items, %lld body characters)\n", run + 1, ms,
                    result, dialog.attachmentList()->count(),
                    static_cast<long long>(dialog.bodyView()->document()->characterCount()));
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("median %.0f ms, best %.0f ms, worst %.0f ms: %s (target under 1000 ms)\n", median,
                times.front(), times.back(), median < 1000 ? "PASS" : "FAIL");
    dialog.reject();
    return median < 1000 ? 0 : 1;
}
