// A temporary directory for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace parcelo::testing {

class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory as an output-directory prefix: its path followed by "/".
    std::string prefix() const { return path_.string() + "/"; }
    // The names of the files in the directory (not recursive), sorted.
    std::vector<std::string> fileNames() const;

  private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace parcelo::testing
