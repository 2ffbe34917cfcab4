#include "load_failure.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <cerrno>
#include <cstring>

#include "string_table.h"

namespace parcelo {

int WhyUnreadable(const std::string& path) {
    if (path.empty())
        return ENOENT;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat st {};
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    ::close(fd);
    return error;
}

QString LoadFailureMessage(const std::string& path) {
    QString message = QString::fromLatin1(kExtractFailedText);
    if (const int error = WhyUnreadable(path); error != 0) {
        // The system's own words, in the user's language.
        message += QStringLiteral("\n\n") + QFile::decodeName(QByteArray::fromStdString(path)) +
                   u'\n' + QString::fromLocal8Bit(std::strerror(error));
    }
    return message;
}

}  // namespace parcelo
