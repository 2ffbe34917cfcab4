#include "output_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace parcelo {

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

OutputFile::OutputFile(const std::string& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666)) {}

OutputFile::~OutputFile() {
    if (fd_ < 0)
        return;
    flush();
    ::close(fd_);
}

OutputFile& OutputFile::write(std::string_view bytes) {
    if (fd_ < 0)
        return *this;
    if (buffer_.size() + bytes.size() > kBufferSize)
        flush();
    if (bytes.size() >= kBufferSize) {
        WriteAll(fd_, bytes.data(), bytes.size());
    } else {
        buffer_.append(bytes);
    }
    return *this;
}

void OutputFile::writeValue(const ValueBytes& value) {
    if (fd_ < 0)
        return;
    flush();
    value.writeTo(fd_);
}

void OutputFile::flush() {
    if (buffer_.empty())
        return;
    WriteAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
}

}  // namespace parcelo
