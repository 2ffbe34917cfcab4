// Opening an attachment with the desktop's program for its type, and what the user is told
// when there is none: the file's name, that no program is set up for its type, and the offer
// to save it elsewhere instead.
#pragma once

#include <QString>
#include <QStringList>

namespace parcelo {

// The MIME types whose programs could open the file at `path`: its own type, its aliases and
// the types it is a kind of. Every file is a kind of "application/octet-stream", whose
// programs (hex editors, archive tools) are no answer for a file of a more specific type.
QStringList OpenableTypes(const QString& path);

// Whether a desktop entry in the XDG data folders, or an association in a mimeapps.list of
// the XDG config and data folders, takes one of `types`.
bool DesktopHasProgramFor(const QStringList& types);

// Hands the file to the desktop's program for it; false when there is none, or the desktop
// could not be asked.
bool OpenWithDesktop(const QString& path);

// The question asked when a file could not be opened, and its buttons.
QString OpenFailureText(const QString& fileName, const QString& path);
QStringList OpenFailureButtons();

}  // namespace parcelo
