#include "body_pdf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "app/dialog_template.h"
#include "body/body_document.h"
#include "body/offline_document.h"
#include "byte_source.h"
#include "offscreen_qt.h"
#include "print/pdf_printing.h"
#include "string_table.h"

namespace parcelo {

namespace {

int reportFailure(const std::string& path, int error) {
    std::fprintf(stderr, "parcelo-extract: cannot write %s: %s\n", path.c_str(),
                 std::strerror(error != 0 ? error : EIO));
    return error != 0 ? error : EIO;
}

// The folder a path is in.
std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// 0 when the file at `fd` holds a whole PDF (up to its closing "%%EOF") and is safely on
// disk, else why not. The printer says nothing of a write that failed: a file cut short
// lacks its end, and writing once more past it tells the system's reason.
int checkWholePdf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return errno;
    const auto size = static_cast<size_t>(st.st_size);
    char tail[64] = {};
    const size_t tailSize = std::min(size, sizeof tail);
    if (::pread(fd, tail, tailSize, static_cast<off_t>(size - tailSize)) !=
            static_cast<ssize_t>(tailSize) ||
        std::string_view(tail, tailSize).find("%%EOF") == std::string_view::npos) {
        const char probe = '\n';
        return ::pwrite(fd, &probe, 1, static_cast<off_t>(size)) < 0 ? errno : EIO;
    }
    return ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
}

// Copies the file at `fd` into `path` (a device or a pipe).
int copyInto(int fd, const std::string& path) {
    const int out = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (out < 0)
        return errno;
    char buffer[65536];
    off_t offset = 0;
    int error = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        if (!WriteAll(out, buffer, static_cast<size_t>(n))) {
            error = errno != 0 ? errno : EIO;
            break;
        }
        offset += n;
    }
    if (::close(out) != 0 && error == 0)
        error = errno;
    return error;
}

}  // namespace

bool PrintBodiesToPdf(const MessageBodies& bodies, const std::string& path, int argc, char** argv) {
    // The PDF is made in a file of its own and takes OUT's place only when whole, so that a
    // failure leaves nothing behind, and never a broken file under OUT's name. A device or
    // a pipe named as OUT (/dev/stdout) gets the finished PDF copied into it.
    struct stat st {};
    const bool intoStream = ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
    if (intoStream && S_ISDIR(st.st_mode)) {
        reportFailure(path, EISDIR);
        return false;
    }
    std::string temporary;
    if (intoStream) {
        const char* tmp = std::getenv("TMPDIR");
        temporary =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/parcelo-pdf-XXXXXX";
    } else {
        const size_t slash = path.rfind('/');
        temporary = folderOf(path) + "/." +
                    path.substr(slash == std::string::npos ? 0 : slash + 1) + ".XXXXXX";
    }
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        reportFailure(path, errno);
        return false;
    }
    // The finished file has the permissions a newly created one would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    bool printed = false;
    {
        PrepareOffscreenQt();
        QGuiApplication application(argc, argv);
        auto document = std::make_unique<OfflineTextDocument>();
        // The body view's font: the window's, at its dialog size.
        QFont font = QGuiApplication::font();
        font.setPointSize(kMainDialogFontPoints);
        document->setBodyFont(font);
        document->setUndoRedoEnabled(false);
        BuildBodyDocument(*document, bodies);

        printed = PrintDocumentToPdf(std::move(document),
                                     QFile::decodeName(QByteArray::fromStdString(temporary)),
                                     QString::fromLatin1(kPrintDocumentName));
    }
    int error = printed ? checkWholePdf(fd) : EIO;
    if (error == 0)
        error = intoStream ? copyInto(fd, path)
                           : (::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno);
    ::close(fd);
    if (error != 0 || intoStream)
        ::unlink(temporary.c_str());
    if (error != 0) {
        reportFailure(path, error);
        return false;
    }
    return true;
}

}  // namespace parcelo
