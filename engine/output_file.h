// A file the engine writes: created, or truncated when it exists, and written with the
// bytes exactly as given. Write errors are not reported: the engine carries on.
#pragma once

#include <string>
#include <string_view>

#include "value_bytes.h"

namespace parcelo {

class OutputFile {
  public:
    // Creates the file. A symbolic link in its place is not followed: the file is then not
    // created, so nothing lands outside the directory it was meant for.
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    OutputFile& write(std::string_view bytes);
    OutputFile& write(char byte) { return write(std::string_view(&byte, 1)); }
    // Copies a value straight from where it lies (large attachments are not loaded).
    void writeValue(const ValueBytes& value);

  private:
    void flush();

    int fd_ = -1;
    std::string buffer_;
};

}  // namespace parcelo
