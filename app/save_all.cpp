#include "save_all.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QListWidget>

#include "attachment_item.h"
#include "file_error_message.h"
#include "main_dialog.h"
#include "string_table.h"

namespace parcelo {

namespace {

enum ReplaceChoice { kReplace = 0, kKeep = 1, kCancel = 2 };

// Shown in the question at most; the rest are counted.
constexpr int kNamesShown = 10;

std::string Encoded(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString Target(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

// A name that exists in any form, a dangling link included, is not to be overwritten.
bool Exists(const QString& path) {
    struct stat st {};
    return ::lstat(Encoded(path).c_str(), &st) == 0;
}

}  // namespace

std::vector<ListedFile> ListedFiles(const QListWidget& list) {
    std::vector<ListedFile> files;
    for (int i = 0; i < list.count(); ++i) {
        if (const auto* item = dynamic_cast<const AttachmentItem*>(list.item(i)))
            files.push_back({item->text(), item->path()});
    }
    return files;
}

QStringList ExistingNames(const std::vector<ListedFile>& files, const QString& folder) {
    QStringList names;
    for (const ListedFile& file : files) {
        if (Exists(Target(folder, file.name)))
            names << file.name;
    }
    return names;
}

std::vector<FileResult> CopyInto(const std::vector<ListedFile>& files, const QString& folder,
                                 bool replaceExisting) {
    std::vector<FileResult> failures;
    for (const ListedFile& file : files) {
        const QString target = Target(folder, file.name);
        if (!replaceExisting && Exists(target))
            continue;
        const FileResult result = CopyFileReplacing(Encoded(file.path), Encoded(target));
        if (!result.ok())
            failures.push_back(result);
    }
    return failures;
}

QString ReplaceExistingText(const QStringList& names, const QString& folder) {
    QStringList shown = names.mid(0, kNamesShown);
    if (names.size() > kNamesShown)
        shown << QStringLiteral("(and %1 more)").arg(names.size() - kNamesShown);
    const QString where = QDir::toNativeSeparators(folder);
    if (names.size() == 1) {
        return QStringLiteral(
                   "A file of this name already exists in %1:\n\n%2\n\n"
                   "Do you want to replace it?")
            .arg(where, shown.first());
    }
    return QStringLiteral(
               "%1 files of these names already exist in %2:\n\n%3\n\n"
               "Do you want to replace them?")
        .arg(QString::number(names.size()), where, shown.join(u'\n'));
}

QStringList ReplaceExistingButtons() {
    return {QStringLiteral("Replace"), QStringLiteral("Keep Existing"), QStringLiteral("Cancel")};
}

void MainDialog::SaveAllAttachments() {
    const std::vector<ListedFile> files = ListedFiles(*attachmentList_);
    if (files.empty())
        return;
    const QString folder = AskFolder(QString::fromLatin1(kSaveAllMenuText).remove(u'.'));
    if (folder.isEmpty())
        return;
    bool replace = false;
    if (const QStringList existing = ExistingNames(files, folder); !existing.isEmpty()) {
        const int choice =
            AskChoice(QMessageBox::Question, QString::fromLatin1(kAppNameText),
                      ReplaceExistingText(existing, folder), ReplaceExistingButtons());
        if (choice != kReplace && choice != kKeep)
            return;
        replace = choice == kReplace;
    }
    const std::vector<FileResult> failures = CopyInto(files, folder, replace);
    if (failures.empty())
        return;
    // One message, not one per file: a folder that takes no files would fail them all.
    const FileResult& first = failures.front();
    QString text = FileErrorMessage(CauseOfErrno(first.errorNumber, first.access),
                                    QFile::decodeName(QByteArray::fromStdString(first.path)));
    if (failures.size() > 1) {
        text += QStringLiteral("\n\n%1 of the %2 files were not saved.")
                    .arg(failures.size())
                    .arg(files.size());
    }
    ShowMessage(QMessageBox::Critical, applicationTitle(), text);
}

}  // namespace parcelo
