// Makes the desktop open TNEF files ("winmail.dat") with this program: a desktop entry for
// it, written at every start so that it follows the program when it moves, and the
// default-application line for the TNEF type unless the user chose another program.
#pragma once

#include <QByteArray>
#include <QString>

namespace parcelo {

inline constexpr const char* kTnefMimeType = "application/vnd.ms-tnef";
// The other name shared-mime-info knows for the type; mail programs label TNEF parts with it.
inline constexpr const char* kTnefMimeAlias = "application/ms-tnef";
// Outlook's saved messages (.msg), a type of the project's own shared-mime-info package.
inline constexpr const char* kOutlookMessageMimeType = "application/vnd.ms-outlook";
// Mail files the program opens but is never made the default for: mail readers own them.
inline constexpr const char* kMailMimeType = "message/rfc822";
inline constexpr const char* kMboxMimeType = "application/mbox";
inline constexpr const char* kDesktopFileId = "parcelo.desktop";
// The shared-mime-info package that names the .msg type, in $XDG_DATA_HOME/mime/packages.
inline constexpr const char* kMimePackageFile = "parcelo.xml";

// Writes $XDG_DATA_HOME/applications/parcelo.desktop for the running program and the .msg
// type's package in $XDG_DATA_HOME/mime and, for TNEF and for .msg each, when no
// mimeapps.list names another program as the default, makes it the default in
// $XDG_CONFIG_HOME/mimeapps.list. Failures are silent: the program works without the
// association. Always returns 1.
int RegisterDatAssociation();
// The same for a program at `programPath`.
int RegisterDatAssociation(const QString& programPath);

// The desktop entry that starts the program at `programPath` with a file.
QByteArray DesktopEntryText(const QString& programPath);

// `programPath` as the first word of an Exec line: as it is where the desktop entry rules
// allow, else quoted and escaped.
QString DesktopExecProgram(const QString& programPath);

// Whether `programPath` can stand in an Exec line as it is and be read back the same by every
// launcher, including xdg-open's own reader, which knows neither quotes nor "%%".
bool IsPlainExecPath(const QString& programPath);

// The shared-mime-info package that defines the .msg type.
QByteArray MimePackageText();

// `mimeApps` (the content of a mimeapps.list, possibly empty) with `desktopFileId` as the
// default for `mimeType` (TNEF or .msg), unless a default line there names another program
// first; every other line is kept as it was.
QByteArray MimeAppsWithDefault(const QByteArray& mimeApps, const QByteArray& desktopFileId,
                               const char* mimeType = kTnefMimeType);

// Whether a default line of `mimeApps` for `mimeType` (or, for TNEF, its alias) names first a
// program other than `desktopFileId`.
bool NamesOtherDefault(const QByteArray& mimeApps, const QByteArray& desktopFileId,
                       const char* mimeType = kTnefMimeType);

}  // namespace parcelo
