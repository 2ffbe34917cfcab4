// A file the engine writes: created anew (or, when asked, in place of a regular file) and
// written with the bytes exactly as given. The first error met is kept, for the list of
// extracted files.
#pragma once

#include <string>
#include <string_view>

#include "value_bytes.h"

namespace parcelo {

class OutputFile {
  public:
    enum class Existing {
        kKeep,     // a file of that name is never touched: creating fails with EEXIST
        kReplace,  // a regular file of that name is emptied and written; anything else in
                   // its place (a symbolic link, a device) fails with EEXIST
    };

    // Creates the file. A symbolic link in its place is never followed, so nothing lands
    // outside the directory it was meant for.
    explicit OutputFile(const std::string& path, Existing existing = Existing::kKeep);
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the file of a default-constructed or finished one.
    void open(const std::string& path, Existing existing);
    bool isOpen() const { return fd_ >= 0; }
    // The errno of the first failure so far; 0 while all went well.
    int error() const { return error_; }
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
