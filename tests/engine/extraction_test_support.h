// Running a stream built in a test through the engine.
#pragma once

#include <string>
#include <vector>

#include "byte_source.h"
#include "extraction_run.h"
#include "scratch_dir.h"

namespace parcelo::testing {

struct Listed {
    std::string name;  // the path without the output directory
    int64_t size;
    int isAttachment;
    bool operator==(const Listed&) const = default;
};

// Extracts `stream` into `dir` and gives the list, newest first, by file name.
inline std::vector<Listed> Extract(const std::string& stream, const ScratchDir& dir,
                                   int writeSwitch = 1) {
    ExtractionRun run;
    // Tests extract into one folder again and again, each run in place of the last.
    run.replaceExisting = true;
    const MemorySource source(stream.data(), stream.size());
    ExtractTnefStream(run, source, writeSwitch, dir.prefix());
    std::vector<Listed> listed;
    for (const ExtractedFile& file : run.files) {
        std::string name = file.path.substr(0, dir.prefix().size()) == dir.prefix()
                               ? file.path.substr(dir.prefix().size())
                               : "OUTSIDE:" + file.path;
        listed.push_back({name, file.size, file.isAttachment});
    }
    return listed;
}

inline std::vector<std::string> Names(const std::vector<Listed>& listed) {
    std::vector<std::string> names;
    for (const Listed& l : listed)
        names.push_back(l.name);
    return names;
}

}  // namespace parcelo::testing
