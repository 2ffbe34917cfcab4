#include "open_failure.h"

#include <QDesktopServices>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QMimeType>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#include "dialog_template.h"
#include "main_dialog.h"
#include "string_table.h"

namespace parcelo {

namespace {

constexpr const char* kOctetStream = "application/octet-stream";

QStringList ListValue(const QString& line) {
    return line.mid(line.indexOf(u'=') + 1).split(u';', Qt::SkipEmptyParts);
}

// The types a mimeapps.list gives a program for, by default or added; removals are the
// user's say about one program, not about the type, and are left to the opener.
void ReadMimeAppsList(const QString& path, QSet<QString>& handled) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    bool associating = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            associating = line == QLatin1String("[Default Applications]") ||
                          line == QLatin1String("[Added Associations]");
        } else if (associating && line.contains(u'=') && !ListValue(line).isEmpty()) {
            handled.insert(line.left(line.indexOf(u'=')).trimmed());
        }
    }
}

// The types of a desktop entry that is not hidden.
void ReadDesktopEntry(const QString& path, QSet<QString>& handled) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    bool inEntry = false;
    QStringList types;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'['))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.startsWith(QLatin1String("Hidden=")) &&
                 line.mid(7).trimmed() == QLatin1String("true"))
            return;
        else if (inEntry && line.startsWith(QLatin1String("MimeType=")))
            types = ListValue(line);
    }
    for (const QString& type : types)
        handled.insert(type.trimmed());
}

}  // namespace

QStringList OpenableTypes(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QStringList types{type.name()};
    types += type.aliases();
    for (const QString& ancestor : type.allAncestors()) {
        if (ancestor != QLatin1String(kOctetStream))
            types << ancestor;
    }
    return types;
}

bool DesktopHasProgramFor(const QStringList& types) {
    QSet<QString> handled;
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        ReadMimeAppsList(folder + QStringLiteral("/mimeapps.list"), handled);
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString applications = folder + QStringLiteral("/applications");
        ReadMimeAppsList(applications + QStringLiteral("/mimeapps.list"), handled);
        QDirIterator entries(applications, {QStringLiteral("*.desktop")}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            ReadDesktopEntry(entries.next(), handled);
    }
    for (const QString& type : types) {
        if (handled.contains(type))
            return true;
    }
    return false;
}

bool OpenWithDesktop(const QString& path) {
    // Inside a Flatpak sandbox the host's programs are out of sight, and the portal that
    // opens the file offers its own choice.
    const bool sandboxed = QFile::exists(QStringLiteral("/.flatpak-info"));
    // Qt hands the file to xdg-open and reports success once that has started, whatever it
    // then finds; so the question whether any program takes the type is asked first.
    if (!sandboxed && !DesktopHasProgramFor(OpenableTypes(path)))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString OpenFailureText(const QString& fileName, const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    const QString kind =
        type.name() == QLatin1String(kOctetStream)
            ? QStringLiteral("an unknown type")
            : QStringLiteral("type \u201c%1\u201d (%2)")
                  .arg(type.comment().isEmpty() ? type.name() : type.comment(), type.name());
    return QStringLiteral(
               "\u201c%1\u201d could not be opened: no program is set up to open files of "
               "%2.\n\nYou can save it elsewhere with \u201cSave as...\u201d instead.")
        .arg(fileName, kind);
}

QStringList OpenFailureButtons() {
    return {QString::fromLatin1(kSaveAsMenuText), QStringLiteral("Cancel")};
}

void MainDialog::offerSaveInstead(const QString& name, const QString& path) {
    if (AskChoice(QMessageBox::Warning, QString::fromLatin1(kAppNameText),
                  OpenFailureText(name, path), OpenFailureButtons()) == 0)
        SaveAttachmentAs();
}

}  // namespace parcelo
