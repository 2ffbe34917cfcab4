#include "file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>

#include "file_dialog_filter.h"
#include "string_table.h"

namespace parcelo {

namespace {

constexpr const char* kOpenFolderKey = "dialogs/openFolder";
constexpr const char* kSaveFolderKey = "dialogs/saveFolder";

QSettings Settings() {
    return QSettings(QStringLiteral("parcelo"), QStringLiteral("parcelo"));
}

QString StoredFolder(const char* key) {
    const QString folder = Settings().value(QLatin1String(key)).toString();
    // A folder removed since is no place to start in.
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void StoreFolderOf(const char* key, const QString& path, bool pathIsFolder) {
    if (path.isEmpty())
        return;
    const QString folder = pathIsFolder ? path : QFileInfo(path).absolutePath();
    Settings().setValue(QLatin1String(key), QDir::cleanPath(folder));
}

// Every letter as a [xX] class, which every dialog's glob matching understands.
QString AnyCase(const QString& pattern) {
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += u'[' + QString(c.toLower()) + QString(c.toUpper()) + u']';
        else
            out += c;
    }
    return out;
}

}  // namespace

QString OpenDialogFilter() {
    // The dialogs are asked to hide the patterns, and show the text before them: the
    // descriptions as the window has always shown them.
    const QStringList descriptions = QtFileFilter(kOpenFilterText).split(QStringLiteral(";;"));
    QStringList filters;
    for (const QString& description : descriptions) {
        QStringList patterns;
        for (const QString& pattern : FilterPatterns(description).split(u' ', Qt::SkipEmptyParts))
            patterns << AnyCase(pattern);
        // TNEF streams saved by other tools end in .tnef.
        if (description.endsWith(QLatin1String("(*.dat)")))
            patterns << AnyCase(QStringLiteral("*.tnef"));
        filters << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

QString FilterPatterns(const QString& filter) {
    // The last parenthesised group, as Qt's dialogs and its platform dialogs take it.
    static const QRegularExpression lastGroup(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = lastGroup.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString LastOpenFolder() {
    return StoredFolder(kOpenFolderKey);
}

QString LastSaveFolder() {
    return StoredFolder(kSaveFolderKey);
}

QString RunOpenDialog(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(filter);
    if (const QString folder = LastOpenFolder(); !folder.isEmpty())
        dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().first();
    StoreFolderOf(kOpenFolderKey, path, false);
    return path;
}

QString RunSaveDialog(QWidget* parent, const QString& proposedName, const QString& filter,
                      const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (const QString folder = LastSaveFolder(); !folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().first();
    StoreFolderOf(kSaveFolderKey, path, false);
    return path;
}

QString RunFolderDialog(QWidget* parent, const QString& caption) {
    const QString folder = QFileDialog::getExistingDirectory(parent, caption, LastSaveFolder());
    StoreFolderOf(kSaveFolderKey, folder, true);
    return folder;
}

}  // namespace parcelo
