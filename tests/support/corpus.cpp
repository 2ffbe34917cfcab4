#include "corpus.h"

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "extraction_run.h"

namespace parcelo::testing {

std::filesystem::path CorpusDir() {
    return PARCELO_CORPUS_DIR;
}

bool HaveCorpus() {
    const bool found = !CorpusDir().empty() && std::filesystem::exists(CorpusDir() / "INDEX.tsv");
    // A build that requires the samples fails the test that would skip without them: a corpus
    // gone since the build was configured must not pass for a green run.
    if (!found && PARCELO_REQUIRE_CORPUS)
        ADD_FAILURE() << "the sample corpus is missing: " << CorpusDir();
    return found;
}

std::string CorpusFile(const std::string& relative) {
    return (CorpusDir() / relative).string();
}

std::vector<std::string> CorpusStreams() {
    std::vector<std::string> files;
    std::ifstream index(CorpusDir() / "INDEX.tsv");
    std::string line;
    std::getline(index, line);  // the header
    while (std::getline(index, line)) {
        const std::string path = line.substr(0, line.find('\t'));
        if (path.size() > 4 && path.substr(path.size() - 4) == ".txt")
            continue;
        files.push_back(path);
    }
    return files;
}

ExtractedMessage ExtractCorpusMessage(const std::string& relative) {
    ExtractedMessage message;
    ExtractionRun run;
    run.onBody = [&](const ExtractedFile& body, const std::string& content) {
        message.bodies.push_back({body.bodyFormat, content, body.codePage});
    };
    run.onAttachment = [&](const ExtractedFile& attachment, const ValueBytes& content) {
        if (!attachment.contentId.empty())
            message.attachmentsByContentId[attachment.contentId] = content.load();
    };
    // In walk order (the outer message first), as the window shows them.
    ExtractTnefFile(run, CorpusFile(relative), 0, std::nullopt);
    return message;
}

}  // namespace parcelo::testing
