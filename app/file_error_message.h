// The message shown when a file the user asked for cannot be written or read: one text per
// cause, chosen from the system's error number, naming the file.
#pragma once

#include <QString>

namespace parcelo {

enum class FileErrorCause {
    Unknown,
    FileNotFound,
    InvalidPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFileHandle,
    RemoveCurrentDirectory,
    DirectoryFull,
    SeekFailed,
    HardwareError,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile,
};

enum class FileAccess { Reading, Writing };

// A missing file is "not found" when reading it; when creating it, the missing part can only
// be a folder on the way, so the path is invalid.
FileErrorCause CauseOfErrno(int errorNumber, FileAccess access);

// The message for a cause, with `path` (the file's full path) in it.
QString FileErrorMessage(FileErrorCause cause, const QString& path);

}  // namespace parcelo
