// parcelo-extract: the extraction engine from the command line.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "body_html.h"
#include "body_pdf.h"
#include "body_text.h"
#include "byte_source.h"
#include "content_id.h"
#include "damage_report.h"
#include "extraction_run.h"
#include "file_kind.h"
#include "file_listing.h"
#include "body/message_sections.h"
#include "string_table.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the file cannot be opened
constexpr int kExitUsage = 2;
constexpr int kExitNotOpenable = 3;  // neither TNEF nor mail: nothing extracted
constexpr int kExitWriteFailed = 4;  // listed files could not be written

constexpr const char* kUsage =
    "Usage: parcelo-extract [--list] [--json] [--overwrite] [-o DIR] FILE\n"
    "       parcelo-extract --text FILE\n"
    "       parcelo-extract --html FILE\n"
    "       parcelo-extract --pdf OUT.pdf FILE\n"
    "\n"
    "Extracts the attachments, message bodies and converted items of a TNEF file\n"
    "(winmail.dat), an Outlook message (.msg) or a mail file (.eml, mbox) and lists what\n"
    "was written, newest first.\n"
    "FILE - reads standard input.\n"
    "\n"
    "  -o, --output DIR  write into DIR (created if missing); default: the current directory\n"
    "  --list            list only; write no file\n"
    "  --overwrite       replace regular files already there; without it an existing\n"
    "                    file is kept and the new one gets a numbered name\n"
    "  --json            list as a JSON array of {\"path\", \"size\", \"attachment\"}\n"
    "  --text            print the plain text of every message body instead; write no file\n"
    "  --html            print every message body as one HTML document instead, pictures\n"
    "                    included as data: URIs; write no file\n"
    "  --pdf OUT.pdf     print the message bodies into OUT.pdf as the window prints them\n"
    "                    (one empty page when there is none); write no other file\n"
    "  -h, --help        show this help\n"
    "  --version         show the version\n"
    "\n"
    "Exit status: 0 success (a damaged stream gives what it holds, with a warning);\n"
    "1 the file cannot be opened; 2 usage error; 3 the file is not one Parcelo opens\n"
    "(TNEF, .msg, .eml or mbox); 4 one or more listed files could not be written.\n";

struct Options {
    bool listOnly = false;
    bool json = false;
    bool text = false;
    bool html = false;
    bool overwrite = false;
    std::optional<std::string> outputDirectory;
    std::optional<std::string> pdf;
    std::string file;
};

// One line on what a damaged stream lost; nothing for a sound one.
void warnOfDamage(const std::string& file, const parcelo::ExtractionRun& run) {
    const std::string report = parcelo::DamageReport(run);
    if (!report.empty())
        std::fprintf(stderr, "parcelo-extract: warning: %s: %s\n", file.c_str(), report.c_str());
}

// Largest attachment kept in memory for an HTML body that shows it by its Content-ID.
constexpr uint64_t kLargestInlineImage = 16 * 1024 * 1024;

// Whether a file name is that of a picture a body may show.
bool isPictureName(const std::string& path) {
    const std::string name = parcelo::ContentIdFileKey(path);
    for (const char* extension : {".png", ".jpg", ".jpeg", ".gif", ".bmp"}) {
        const size_t length = std::strlen(extension);
        if (name.size() > length && name.compare(name.size() - length, length, extension) == 0)
            return true;
    }
    return false;
}

// The messages of the stream (headers and bodies, in walk order), read without writing any file,
// and the attachments they may show.
parcelo::MessageBodies collectBodies(parcelo::ExtractionRun& run,
                                     const parcelo::ByteSource& source) {
    parcelo::MessageBodies collected;
    parcelo::CollectMessageSections(run, collected.sections);
    run.onAttachment = [&](const parcelo::ExtractedFile& attachment,
                           const parcelo::ValueBytes& content) {
        if (content.size() > kLargestInlineImage)
            return;
        if (!attachment.contentId.empty())
            collected.attachmentsByContentId.emplace(attachment.contentId, content.load());
        else if (attachment.mimeType.rfind("image/", 0) == 0 || isPictureName(attachment.path))
            collected.picturesByName.emplace(parcelo::ContentIdFileKey(attachment.path),
                                             content.load());
    };
    parcelo::ExtractByContent(run, source, 0, std::nullopt);
    return collected;
}

// Writes all of `bytes` to standard output. A closed pipe ends the program quietly, as the
// reader wanted no more; any other failure is told and gives false.
bool writeStandardOutput(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    const int error = errno != 0 ? errno : EIO;
    if (error == EPIPE)
        std::_Exit(kExitWriteFailed);
    std::fprintf(stderr, "parcelo-extract: cannot write standard output: %s\n",
                 std::strerror(error));
    return false;
}

int usageError(const char* message, const char* argument) {
    std::fprintf(stderr, "parcelo-extract: %s%s\n", message, argument);
    std::fputs("Try 'parcelo-extract --help' for more information.\n", stderr);
    return kExitUsage;
}

int run(int argc, char** argv) {
    // Past a file-size limit, a write is to fail and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    Options options;
    bool haveFile = false;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!endOfOptions && arg == "--") {
            endOfOptions = true;
        } else if (!endOfOptions && (arg == "--help" || arg == "-h")) {
            std::fputs(kUsage, stdout);
            return kExitOk;
        } else if (!endOfOptions && arg == "--version") {
            std::printf("parcelo-extract %s\n", PARCELO_VERSION);
            return kExitOk;
        } else if (!endOfOptions && arg == "--list") {
            options.listOnly = true;
        } else if (!endOfOptions && arg == "--overwrite") {
            options.overwrite = true;
        } else if (!endOfOptions && arg == "--json") {
            options.json = true;
        } else if (!endOfOptions && arg == "--text") {
            options.text = true;
        } else if (!endOfOptions && arg == "--html") {
            options.html = true;
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
    if (options.text &&
        (options.json || options.listOnly || options.outputDirectory || options.html)) {
        return usageError("--text goes with no other option", "");
    }
    if (options.html && (options.json || options.listOnly || options.outputDirectory)) {
        return usageError("--html goes with no other option", "");
    }
    if (options.pdf && options.pdf->empty())
        return usageError("empty PDF file name", "");
    if (options.pdf && (options.text || options.html || options.json || options.listOnly ||
                        options.outputDirectory)) {
        return usageError("--pdf goes with no other option", "");
    }

    if (options.overwrite && (options.text || options.html || options.pdf || options.listOnly))
        return usageError("--overwrite goes with writing the files only", "");

    const bool fromStandardInput = options.file == "-";
    const std::string shownFile = fromStandardInput ? "standard input" : options.file;
    errno = 0;
    const std::unique_ptr<parcelo::ByteSource> source =
        parcelo::OpenByteSource(fromStandardInput ? "/dev/stdin" : options.file);
    if (!source) {
        const int error = errno != 0 ? errno : EISDIR;
        std::fprintf(stderr, "%s\nparcelo-extract: cannot open %s: %s\n",
                     parcelo::kExtractFailedText, shownFile.c_str(), std::strerror(error));
        return kExitFailure;
    }
    if (!parcelo::IsExtractable(parcelo::DetectFileKind(*source))) {
        std::fprintf(stderr, "parcelo-extract: %s: %s\n", shownFile.c_str(),
                     parcelo::kNotOpenableCliText);
        return kExitNotOpenable;
    }

    parcelo::ExtractionRun run;
    if (options.text || options.html || options.pdf) {
        parcelo::MessageBodies bodies = collectBodies(run, *source);
        warnOfDamage(shownFile, run);
        if (options.pdf) {
            return parcelo::PrintBodiesToPdf(bodies, *options.pdf, argc, argv) ? kExitOk
                                                                               : kExitWriteFailed;
        }
        const std::string text = options.html ? parcelo::HtmlOfBodies(bodies, argc, argv)
                                              : parcelo::PlainTextOfBodies(bodies, argc, argv);
        return writeStandardOutput(text) ? kExitOk : kExitWriteFailed;
    }

    std::optional<std::string> prefix;
    bool directoryMissing = false;
    if (options.outputDirectory) {
        prefix = *options.outputDirectory + "/";
        std::error_code error;
        if (!options.listOnly && !std::filesystem::is_directory(*options.outputDirectory, error) &&
            !std::filesystem::create_directories(*options.outputDirectory, error)) {
            // The files are still listed, each with the reason it could not be written.
            std::fprintf(stderr, "parcelo-extract: cannot create %s: %s\n",
                         options.outputDirectory->c_str(), error.message().c_str());
            directoryMissing = true;
        }
    }
    run.replaceExisting = options.overwrite;
    parcelo::ExtractByContent(run, *source, options.listOnly ? 0 : 1, prefix);
    const std::string listing = options.json ? parcelo::ExtractedFilesAsJson(run.files)
                                             : parcelo::ExtractedFilesAsText(run.files);
    const bool listed = writeStandardOutput(listing);
    warnOfDamage(shownFile, run);
    bool writeFailed = directoryMissing;
    for (const parcelo::ExtractedFile& file : run.files) {
        if (file.writeError != 0) {
            std::fprintf(stderr, "parcelo-extract: cannot write %s: %s\n", file.path.c_str(),
                         std::strerror(file.writeError));
            writeFailed = true;
        }
    }
    return writeFailed || !listed ? kExitWriteFailed : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    // Whatever goes wrong ends in one line and a status, never in an abort.
    try {
        return run(argc, argv);
    } catch (const std::filesystem::filesystem_error& error) {
        std::fprintf(stderr, "parcelo-extract: cannot write %s: %s\n", error.path1().c_str(),
                     error.code().message().c_str());
        return kExitWriteFailed;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "parcelo-extract: %s\n", error.what());
        return kExitFailure;
    }
}
