// Makes the desktop open TNEF files ("winmail.dat") with this program: a desktop entry for
// it and the default-application line for the TNEF type, written at every start so that they
// follow the program when it moves.
#pragma once

#include <QByteArray>
#include <QString>

namespace parcelo {

inline constexpr const char* kTnefMimeType = "application/vnd.ms-tnef";
inline constexpr const char* kDesktopFileId = "parcelo.desktop";

// Writes $XDG_DATA_HOME/applications/parcelo.desktop for the running program and makes it the
// default for TNEF in $XDG_CONFIG_HOME/mimeapps.list. Failures are silent: the program works
// without the association. Always returns 1.
int RegisterDatAssociation();
// The same for a program at `programPath`.
int RegisterDatAssociation(const QString& programPath);

// The desktop entry that starts the program at `programPath` with a file.
QByteArray DesktopEntryText(const QString& programPath);

// `programPath` as the first word of an Exec line, quoted and escaped.
QString DesktopExecProgram(const QString& programPath);

// `mimeApps` (the content of a mimeapps.list, possibly empty) with the TNEF default set to
// `desktopFileId` and every other line kept as it was.
QByteArray MimeAppsWithDefault(const QByteArray& mimeApps, const QByteArray& desktopFileId);

}  // namespace parcelo
