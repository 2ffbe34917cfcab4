#include "byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace parcelo {

namespace {

bool inRange(uint64_t offset, uint64_t length, uint64_t size) {
    return offset <= size && length <= size - offset;
}

}  // namespace

bool WriteAll(int fd, const void* data, size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = ::write(fd, p, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool ByteSource::copyTo(uint64_t offset, uint64_t length, int fd) const {
    if (!inRange(offset, length, size()))
        return false;
    std::string buffer(static_cast<size_t>(std::min<uint64_t>(length, 1 << 20)), '\0');
    while (length > 0) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(length, buffer.size()));
        if (!read(offset, buffer.data(), chunk) || !WriteAll(fd, buffer.data(), chunk)) {
            return false;
        }
        offset += chunk;
        length -= chunk;
    }
    return true;
}

bool MemorySource::read(uint64_t offset, void* destination, size_t length) const {
    if (!inRange(offset, length, size_))
        return false;
    if (length > 0)
        std::memcpy(destination, data_ + offset, length);
    return true;
}

bool MemorySource::copyTo(uint64_t offset, uint64_t length, int fd) const {
    if (!inRange(offset, length, size_))
        return false;
    return WriteAll(fd, data_ + offset, static_cast<size_t>(length));
}

FileSource::~FileSource() {
    ::close(fd_);
}

bool FileSource::read(uint64_t offset, void* destination, size_t length) const {
    if (!inRange(offset, length, size_))
        return false;
    char* p = static_cast<char*>(destination);
    while (length > 0) {
        const ssize_t n = ::pread(fd_, p, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        offset += static_cast<uint64_t>(n);
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool FileSource::copyTo(uint64_t offset, uint64_t length, int fd) const {
    if (!inRange(offset, length, size_))
        return false;
    // In-kernel copy: the bytes of large attachments never pass through user space.
    loff_t in = static_cast<loff_t>(offset);
    while (length > 0) {
        const ssize_t n = ::copy_file_range(fd_, &in, fd, nullptr, length, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n > 0) {
            length -= static_cast<uint64_t>(n);
            continue;
        }
        // Not possible between these files (another file system, an old kernel, a file
        // system that has no such copy), or nothing copied for no stated reason: the rest
        // goes by reading. Any other error (a full disk, say) is the copy's failure.
        if (n == 0 || errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
            return ByteSource::copyTo(static_cast<uint64_t>(in), length, fd);
        return false;
    }
    return true;
}

bool RangeSource::read(uint64_t offset, void* destination, size_t length) const {
    if (!inRange(offset, length, size_))
        return false;
    return parent_.read(offset_ + offset, destination, length);
}

bool RangeSource::copyTo(uint64_t offset, uint64_t length, int fd) const {
    if (!inRange(offset, length, size_))
        return false;
    return parent_.copyTo(offset_ + offset, length, fd);
}

const unsigned char* RangeSource::memory() const {
    const unsigned char* base = parent_.memory();
    return base ? base + offset_ : nullptr;
}

std::unique_ptr<ByteSource> OpenByteSource(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    if (S_ISREG(st.st_mode))
        return std::make_unique<FileSource>(fd, static_cast<uint64_t>(st.st_size));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return std::make_unique<OwnedMemorySource>(std::move(bytes));
}

}  // namespace parcelo
