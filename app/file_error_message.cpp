#include "file_error_message.h"

#include <cerrno>

namespace parcelo {

FileErrorCause CauseOfErrno(int errorNumber, FileAccess access) {
    switch (errorNumber) {
        case ENOENT:
            return access == FileAccess::Reading ? FileErrorCause::FileNotFound
                                                 : FileErrorCause::InvalidPath;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
        case EINVAL:
        case EXDEV:
            return FileErrorCause::InvalidPath;
        case EMFILE:
        case ENFILE:
            return FileErrorCause::TooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EEXIST:
            return FileErrorCause::AccessDenied;
        case EBADF:
            return FileErrorCause::InvalidFileHandle;
        case ESPIPE:
            return FileErrorCause::SeekFailed;
        case EIO:
        case ENXIO:
        case ENODEV:
            return FileErrorCause::HardwareError;
        case ETXTBSY:
        case EBUSY:
            return FileErrorCause::SharingViolation;
        case ENOLCK:
        case EDEADLK:
            return FileErrorCause::LockViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return FileErrorCause::DiskFull;
        default:
            return FileErrorCause::Unknown;
    }
}

QString FileErrorMessage(FileErrorCause cause, const QString& path) {
    const char* text = "An unknown error occurred while accessing %1.";
    switch (cause) {
        case FileErrorCause::Unknown:
            break;
        case FileErrorCause::FileNotFound:
            text = "%1 was not found.";
            break;
        case FileErrorCause::InvalidPath:
            text = "%1 contains an invalid path.";
            break;
        case FileErrorCause::TooManyOpenFiles:
            text = "%1 could not be opened because there are too many open files.";
            break;
        case FileErrorCause::AccessDenied:
            text = "Access to %1 was denied.";
            break;
        case FileErrorCause::InvalidFileHandle:
            text = "An invalid file handle was associated with %1.";
            break;
        case FileErrorCause::RemoveCurrentDirectory:
            text = "%1 could not be removed because it is the current directory.";
            break;
        case FileErrorCause::DirectoryFull:
            text = "%1 could not be created because the directory is full.";
            break;
        case FileErrorCause::SeekFailed:
            text = "Seek failed on %1";
            break;
        case FileErrorCause::HardwareError:
            text = "A hardware I/O error was reported while accessing %1.";
            break;
        case FileErrorCause::SharingViolation:
            text = "A sharing violation occurred while accessing %1.";
            break;
        case FileErrorCause::LockViolation:
            text = "A locking violation occurred while accessing %1.";
            break;
        case FileErrorCause::DiskFull:
            text = "Disk full while accessing %1.";
            break;
        case FileErrorCause::EndOfFile:
            text = "An attempt was made to access %1 past its end.";
            break;
    }
    // Not QString::arg: a path may itself hold "%1".
    QString message = QString::fromLatin1(text);
    message.replace(QLatin1String("%1"), path);
    return message;
}

}  // namespace parcelo
