// "Save All...": every listed attachment copied into one folder under its listed name. Files
// already there are replaced only when the user says so, once for all of them.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "replace_file.h"

class QListWidget;

namespace parcelo {

inline constexpr int kIdmSaveAll = 32773;
inline constexpr const char* kSaveAllMenuText = "Save All...";

struct ListedFile {
    QString name;  // as listed
    QString path;  // the extracted file
};

// The attachments of the list, in the order shown.
std::vector<ListedFile> ListedFiles(const QListWidget& list);

// The names of `files` that already exist in `folder`.
QStringList ExistingNames(const std::vector<ListedFile>& files, const QString& folder);

// Copies `files` into `folder`; an existing file is replaced only with `replaceExisting`,
// and left alone otherwise. Gives the failures.
std::vector<FileResult> CopyInto(const std::vector<ListedFile>& files, const QString& folder,
                                 bool replaceExisting);

// The question asked when some names exist already, and its buttons: replace them, keep them
// (and save the others), or save nothing.
QString ReplaceExistingText(const QStringList& names, const QString& folder);
QStringList ReplaceExistingButtons();

}  // namespace parcelo
