// The sample streams written by others that the tests read (found by the build; see the top
// CMakeLists), and the bodies the engine gives for them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "extracted_file_list.h"

namespace parcelo::testing {

// The corpus folder, or an empty path when the build found none.
std::filesystem::path CorpusDir();
// Whether the corpus is there to read; when the build requires it (PARCELO_REQUIRE_CORPUS),
// its absence also fails the running test.
bool HaveCorpus();
// The path of a sample, relative to the corpus folder.
std::string CorpusFile(const std::string& relative);
// The TNEF samples the corpus index lists (it lists a few files that are not TNEF too).
std::vector<std::string> CorpusStreams();

struct ExtractedBody {
    BodyFormat format = BodyFormat::kNone;
    std::string content;
    uint32_t codePage = 0;
};

struct ExtractedMessage {
    std::vector<ExtractedBody> bodies;  // in the order the window shows them
    std::map<std::string, std::string> attachmentsByContentId;
};

// What the engine gives for a sample, extracted without writing anything.
ExtractedMessage ExtractCorpusMessage(const std::string& relative);

}  // namespace parcelo::testing
