// A file the engine writes: created, or truncated when it exists, and written with the
// bytes exactly as given. The first error met is kept, for the list of extracted files.
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
    // Writes what is buffered and closes the file; returns the errno of the first failure
    // to create, write or close it, or 0 when all went well.
    int finish();

  private:
    void flush();
    void fail();

    int fd_ = -1;
    int error_ = 0;
    std::string buffer_;
};

}  // namespace parcelo
