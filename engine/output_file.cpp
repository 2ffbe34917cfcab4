#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace parcelo {

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

OutputFile::OutputFile(const std::string& path, Existing existing) {
    open(path, existing);
}

void OutputFile::open(const std::string& path, Existing existing) {
    finish();
    error_ = 0;
    buffer_.clear();
    if (existing == Existing::kKeep) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0)
            error_ = errno;
        return;
    }
    // Not truncated on opening: only a regular file may be emptied, and a FIFO must not
    // block the run.
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd_ < 0) {
        error_ = errno == ELOOP ? EEXIST : errno;
        return;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error_ = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error_ = EEXIST;
    } else if (::ftruncate(fd_, 0) != 0) {
        error_ = errno;
    }
    if (error_ != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

OutputFile::~OutputFile() {
    finish();
}

OutputFile& OutputFile::write(std::string_view bytes) {
    if (fd_ < 0 || error_ != 0)
        return *this;
    if (buffer_.size() + bytes.size() > kBufferSize)
        flush();
    if (bytes.size() >= kBufferSize) {
        if (!WriteAll(fd_, bytes.data(), bytes.size()))
            fail();
    } else {
        buffer_.append(bytes);
    }
    return *this;
}

void OutputFile::writeValue(const ValueBytes& value) {
    if (fd_ < 0 || error_ != 0)
        return;
    flush();
    errno = 0;
    if (!value.writeTo(fd_))
        fail();
}

int OutputFile::finish() {
    if (fd_ >= 0) {
        flush();
        if (::close(fd_) != 0 && error_ == 0)
            error_ = errno;
        fd_ = -1;
    }
    return error_;
}

void OutputFile::flush() {
    if (buffer_.empty() || error_ != 0)
        return;
    if (!WriteAll(fd_, buffer_.data(), buffer_.size()))
        fail();
    buffer_.clear();
}

void OutputFile::fail() {
    // A value that could not be read from the stream leaves errno as it was.
    error_ = errno != 0 ? errno : EIO;
}

}  // namespace parcelo
