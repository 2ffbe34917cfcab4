// The private folder each load unpacks into.
#pragma once

#include <string>

namespace parcelo {

// $TMPDIR when it names a folder, else /tmp; without a trailing "/".
std::string TemporaryDirectory();

// Makes a new folder, readable by the user alone, under `parent`, named from a random number
// and a unique suffix. Returns 0 and sets `path` to the folder followed by "/", or returns
// the errno of the failure.
int MakeScratchDirectory(const std::string& parent, std::string& path);

}  // namespace parcelo
