// The small window that a print job shows while it prints: the job and its printer, the sheet
// being printed with the time left, a percentage and a bar, and Cancel.
#pragma once

#include <QDialog>
#include <QString>

class QProgressBar;

namespace parcelo {

// Set by the Cancel of a progress dialog and cleared when a progress dialog is made; the print
// job reads it at each of its abort checks.
extern bool printAbortRequested;

class PrintProgressDialog : public QDialog {
    Q_OBJECT

  public:
    // Creates the window at once, hidden, centred over `owner` (or over the screen when there
    // is none, or it is hidden or minimised), and clears printAbortRequested. The owner is not
    // the Qt parent: the job disables the owner, and the dialog's Cancel must stay usable.
    explicit PrintProgressDialog(QWidget* owner = nullptr);

    // A control of the dialog by its template id.
    QWidget* control(int id) const;
    QString itemText(int id) const;
    void setItemText(int id, const QString& text);
    QProgressBar* progressBar() const { return progressBar_; }

    // Paints the dialog at once: the job draws its sheets without returning to the event loop.
    void updateWindow();

  public slots:
    // Cancel, Esc and the close box: asks the job to stop and hides the dialog.
    void reject() override;

  private:
    void centreOver(QWidget* owner);

    QProgressBar* progressBar_ = nullptr;
};

}  // namespace parcelo
