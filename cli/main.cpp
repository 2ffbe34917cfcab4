// parcelo-extract: the extraction engine from the command line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "body_pdf.h"
#include "body_text.h"
#include "byte_source.h"
#include "extraction_run.h"
#include "file_listing.h"
#include "string_table.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: parcelo-extract [--list] [--json] [-o DIR] FILE\n"
    "       parcelo-extract --text FILE\n"
    "       parcelo-extract --pdf OUT.pdf FILE\n"
    "\n"
    "Extracts the attachments, message bodies and converted items of a TNEF file\n"
    "(winmail.dat) and lists what was written, newest first.\n"
    "\n"
    "  -o, --output DIR  write into DIR (created if missing); default: the current directory\n"
    "  --list            list only; write no file\n"
    "  --json            list as a JSON array of {\"path\", \"size\", \"attachment\"}\n"
    "  --text            print the plain text of every message body instead; write no file\n"
    "  --pdf OUT.pdf     print the message bodies into OUT.pdf as the window prints them\n"
    "                    (one empty page when there is none); write no other file\n"
    "  --help            show this help\n"
    "  --version         show the version\n";

struct Options {
    bool listOnly = false;
    bool json = false;
    bool text = false;
    std::optional<std::string> outputDirectory;
    std::optional<std::string> pdf;
    std::string file;
};

int usageError(const char* message, const char* argument) {
    std::fprintf(stderr, "parcelo-extract: %s%s\n", message, argument);
    std::fputs("Try 'parcelo-extract --help' for more information.\n", stderr);
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool haveFile = false;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!endOfOptions && arg == "--") {
            endOfOptions = true;
        } else if (!endOfOptions && arg == "--help") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        } else if (!endOfOptions && arg == "--version") {
            std::printf("parcelo-extract %s\n", PARCELO_VERSION);
            return kExitOk;
        } else if (!endOfOptions && arg == "--list") {
            options.listOnly = true;
        } else if (!endOfOptions && arg == "--json") {
            options.json = true;
        } else if (!endOfOptions && arg == "--text") {
            options.text = true;
        } else if (!endOfOptions && (arg == "-o" || arg == "--output")) {
            if (i + 1 >= argc)
                return usageError("missing directory after ", argv[i]);
            options.outputDirectory = argv[++i];
        } else if (!endOfOptions && arg == "--pdf") {
            if (i + 1 >= argc)
                return usageError("missing file after ", argv[i]);
            options.pdf = argv[++i];
        } else if (!endOfOptions && arg.rfind("--pdf=", 0) == 0) {
            options.pdf = arg.substr(std::strlen("--pdf="));
        } else if (!endOfOptions && arg.rfind("--output=", 0) == 0) {
            options.outputDirectory = arg.substr(std::strlen("--output="));
        } else if (!endOfOptions && arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option ", argv[i]);
        } else if (haveFile) {
            return usageError("more than one file: ", argv[i]);
        } else {
            options.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile)
        return usageError("no file given", "");
    if (options.outputDirectory && options.outputDirectory->empty()) {
        return usageError("empty output directory", "");
    }
    if (options.text && (options.json || options.listOnly || options.outputDirectory)) {
        return usageError("--text goes with no other option", "");
    }
    if (options.pdf && options.pdf->empty())
        return usageError("empty PDF file name", "");
    if (options.pdf &&
        (options.text || options.json || options.listOnly || options.outputDirectory)) {
        return usageError("--pdf goes with no other option", "");
    }

    const std::unique_ptr<parcelo::ByteSource> source = parcelo::OpenByteSource(options.file);
    if (!source) {
        std::fprintf(stderr, "%s\n", parcelo::kExtractFailedText);
        return kExitFailure;
    }
    std::optional<std::string> prefix;
    if (options.outputDirectory) {
        std::error_code error;
        std::filesystem::create_directories(*options.outputDirectory, error);
        if (error && !std::filesystem::is_directory(*options.outputDirectory)) {
            std::fprintf(stderr, "parcelo-extract: cannot create %s: %s\n",
                         options.outputDirectory->c_str(), error.message().c_str());
            return kExitFailure;
        }
        prefix = *options.outputDirectory + "/";
    }

    parcelo::ExtractionRun run;
    if (options.text || options.pdf) {
        std::vector<std::string> bodies;
        run.onBody = [&](const std::string& rtf) { bodies.push_back(rtf); };
        parcelo::ExtractTnefStream(run, *source, 0, std::nullopt);
        // The window shows bodies in the order of the list: the last one found first.
        std::reverse(bodies.begin(), bodies.end());
        if (options.pdf) {
            return parcelo::PrintBodiesToPdf(bodies, *options.pdf, argc, argv) ? kExitOk
                                                                               : kExitFailure;
        }
        const std::string text = parcelo::PlainTextOfBodies(bodies, argc, argv);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
    }
    parcelo::ExtractTnefStream(run, *source, options.listOnly ? 0 : 1, prefix);
    const std::string listing = options.json ? parcelo::ExtractedFilesAsJson(run.files)
                                             : parcelo::ExtractedFilesAsText(run.files);
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}
