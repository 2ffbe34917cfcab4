#include "replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <functional>

namespace parcelo {

namespace {

// Writes everything or fails with errno set.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A content source: writes into `fd`, returning 0 or a failure of its own (a read error).
using Fill = std::function<FileResult(int fd)>;

FileResult Failure(int errorNumber, const std::string& path, FileAccess access) {
    FileResult result;
    result.errorNumber = errorNumber != 0 ? errorNumber : EIO;
    result.path = path;
    result.access = access;
    return result;
}

std::string ResolveLink(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr)
            return resolved;
    }
    return path;
}

FileResult Replace(const std::string& path, const Fill& fill) {
    const std::string target = ResolveLink(path);

    // Opening the file itself first gives the error the user should see for it (read-only,
    // a folder, a missing folder on the way) and, for a new file, its mode under the umask.
    bool created = true;
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    }
    if (fd < 0)
        return Failure(errno, path, FileAccess::Writing);

    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return Failure(error, path, FileAccess::Writing);
    }
    auto discardCreated = [&] {
        if (created)
            ::unlink(target.c_str());
    };

    // Devices and pipes are written as they are.
    const bool regular = S_ISREG(status.st_mode);
    std::string temporary;
    int out = -1;
    if (regular) {
        const size_t slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
        temporary = folder + "." + name + ".XXXXXX";
        out = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (out >= 0)
            (void)::fchmod(out, status.st_mode & 07777);  // worth a try, not a failure
    }

    if (out < 0) {
        // Not a regular file, or a folder that takes no new files: rewrite in place.
        if (regular && ::ftruncate(fd, 0) != 0) {
            const int error = errno;
            ::close(fd);
            discardCreated();
            return Failure(error, path, FileAccess::Writing);
        }
        FileResult result = fill(fd);
        if (::close(fd) != 0 && result.ok())
            result = Failure(errno, path, FileAccess::Writing);
        if (!result.ok())
            discardCreated();
        return result;
    }
    ::close(fd);

    FileResult result = fill(out);
    if (result.ok() && ::fsync(out) != 0 && errno != EINVAL)
        result = Failure(errno, path, FileAccess::Writing);
    if (::close(out) != 0 && result.ok())
        result = Failure(errno, path, FileAccess::Writing);
    if (result.ok() && ::rename(temporary.c_str(), target.c_str()) != 0)
        result = Failure(errno, path, FileAccess::Writing);
    if (!result.ok()) {
        ::unlink(temporary.c_str());
        discardCreated();
    }
    return result;
}

}  // namespace

FileResult WriteFileReplacing(const std::string& path, std::string_view bytes) {
    return Replace(path, [&](int fd) {
        if (!WriteAll(fd, bytes.data(), bytes.size()))
            return Failure(errno, path, FileAccess::Writing);
        return FileResult{};
    });
}

FileResult CopyFileReplacing(const std::string& source, const std::string& target) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (in < 0)
        return Failure(errno, source, FileAccess::Reading);
    struct stat sourceStatus {};
    struct stat targetStatus {};
    if (::fstat(in, &sourceStatus) == 0 && ::stat(target.c_str(), &targetStatus) == 0 &&
        sourceStatus.st_dev == targetStatus.st_dev && sourceStatus.st_ino == targetStatus.st_ino) {
        ::close(in);  // the file onto itself: it already holds what it should
        return FileResult{};
    }
    if (S_ISDIR(sourceStatus.st_mode)) {
        ::close(in);
        return Failure(EISDIR, source, FileAccess::Reading);
    }
    FileResult result = Replace(target, [&](int out) {
        char buffer[1 << 16];
        for (;;) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return Failure(errno, source, FileAccess::Reading);
            }
            if (n == 0)
                return FileResult{};
            if (!WriteAll(out, buffer, static_cast<size_t>(n)))
                return Failure(errno, target, FileAccess::Writing);
        }
    });
    ::close(in);
    return result;
}

}  // namespace parcelo
