// libFuzzer target: any bytes through the whole extraction, written into a private
// directory. Besides crashes it checks that nothing is listed (or written) outside it.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "byte_source.h"
#include "extraction_run.h"

namespace {

const std::string& outputDirectory() {
    static const std::string directory = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "fuzz-extract-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            abort();
        return pattern + "/";
    }();
    return directory;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& directory = outputDirectory();
    parcelo::ExtractionRun run;
    const parcelo::MemorySource source(data, size);
    parcelo::ExtractTnefStream(run, source, 1, directory);
    std::set<std::string> folded;
    for (const parcelo::ExtractedFile& file : run.files) {
        const std::string name = file.path.substr(directory.size());
        if (file.path.compare(0, directory.size(), directory) != 0 ||
            name.find('/') != std::string::npos || name.empty() || name == "." || name == "..") {
            std::fprintf(stderr, "file outside the output directory: %s\n", file.path.c_str());
            abort();
        }
        // No two files may share a name, letter case aside, and every name must fit.
        if (!folded.insert(parcelo::FoldCase(file.path)).second || name.size() > 255) {
            std::fprintf(stderr, "name listed twice or too long: %s\n", file.path.c_str());
            abort();
        }
    }
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ignored)) {
        if (!entry.is_regular_file()) {
            std::fprintf(stderr, "unexpected entry: %s\n", entry.path().c_str());
            abort();
        }
        std::filesystem::remove(entry.path(), ignored);
    }
    return 0;
}
