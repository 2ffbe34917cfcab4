// The Open, Save and folder dialogs of the window: the desktop's own dialogs where the platform
// offers them, each starting in the folder the user last chose in its kind of dialog.
#pragma once

#include <QString>

class QWidget;

namespace parcelo {

// The Open dialog's filters. "Winmail.dat Files(*.dat)" reads as ever but also takes ".tnef"
// files and either in any letter case (native dialogs match names case-sensitively on Linux);
// "All Files (*)" takes everything.
QString OpenDialogFilter();

// The file patterns a filter of OpenDialogFilter() stands for, as the dialogs read them.
QString FilterPatterns(const QString& filter);

// The folders the dialogs start in, kept between runs; empty until the first choice.
QString LastOpenFolder();
QString LastSaveFolder();

// The chosen path, or empty when the user cancelled.
QString RunOpenDialog(QWidget* parent, const QString& filter);
QString RunSaveDialog(QWidget* parent, const QString& proposedName, const QString& filter,
                      const QString& defaultSuffix);
QString RunFolderDialog(QWidget* parent, const QString& caption);

}  // namespace parcelo
