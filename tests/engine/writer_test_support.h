// Helpers for the tests of the item writers and the routines they write through.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "byte_source.h"
#include "corpus.h"
#include "output_file.h"
#include "property_lookup.h"
#include "scratch_dir.h"
#include "tnef_library.h"

namespace parcelo::testing {

// A stream built in a test, parsed, with the bytes kept alive for the message.
class ParsedMessage {
  public:
    explicit ParsedMessage(std::string stream)
        : stream_(std::move(stream)),
          source_(stream_.data(), stream_.size()),
          message_(ReadTnefMessage(source_, 0)) {}

    const MapiMessage& message() const { return *message_; }
    PropertyLookup lookup() const {
        return PropertyLookup(message_->properties, message_->codePage);
    }

  private:
    std::string stream_;
    MemorySource source_;
    std::shared_ptr<const MapiMessage> message_;
};

// The name of a data-driven case, from its row's `name`.
struct CaseName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};

// The lines of a file, each without its line feed.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

// What `write` puts into a fresh output file.
template <class Write>
std::string Written(Write&& write) {
    ScratchDir dir;
    const auto path = dir.path() / "out";
    {
        OutputFile out(path.string());
        write(out);
    }
    return ReadFile(path);
}

}  // namespace parcelo::testing
