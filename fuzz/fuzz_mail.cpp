// libFuzzer target: any bytes read as mail (.eml or mbox) and extracted into a listing, TNEF
// parts included. Besides crashes, hangs and runaway memory it checks that every name listed
// lies in the output directory and is listed once.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "byte_source.h"
#include "extraction_run.h"
#include "mail_extraction.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = "out/";
    parcelo::ExtractionRun run;
    // Bodies and attachments are read as a window reads them, without writing.
    uint64_t seen = 0;
    run.onBody = [&](const parcelo::ExtractedFile&, const std::string& content) {
        seen += content.size();
    };
    run.onAttachment = [&](const parcelo::ExtractedFile&, const parcelo::ValueBytes& content) {
        seen += content.load().size();
    };
    const parcelo::MemorySource source(data, size);
    parcelo::ExtractMailStream(run, source, 0, directory);
    std::set<std::string> folded;
    for (const parcelo::ExtractedFile& file : run.files) {
        const std::string name = file.path.substr(directory.size());
        if (file.path.compare(0, directory.size(), directory) != 0 ||
            name.find('/') != std::string::npos || name.empty() || name == "." || name == ".." ||
            !folded.insert(parcelo::FoldCase(file.path)).second || name.size() > 255) {
            std::fprintf(stderr, "bad name listed: %s\n", file.path.c_str());
            std::abort();
        }
    }
    return 0;
}
