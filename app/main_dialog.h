// The one window: the loaded TNEF file's path, the files extracted from it with their icons,
// and its message body as rich text. It owns the scratch folder each load unpacks into.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

#include "attachment_icon_provider.h"
#include "controls/bitmap_background_dialog.h"
#include "controls/body_view.h"
#include "controls/dialog_units.h"
#include "extracted_file_list.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSplitter;
class QUrl;

namespace parcelo {

class AttachmentItem;
class FindBar;
class DamageBar;
class RichEditPrintJob;
struct FileResult;

class MainDialog : public BitmapBackgroundDialog {
    Q_OBJECT

  public:
    explicit MainDialog(QWidget* parent = nullptr);
    ~MainDialog() override;

    // The TNEF file to show; set before the window opens to load it when it appears.
    QString fileName;

    // Extracts `fileName` into a new scratch folder and shows what it held. Returns 1 when
    // the file was extracted and shown, 0 when it could not be (the window then keeps showing
    // the previous file, whose files stay in place).
    int LoadTnefFile();
    // Deletes the files of the last load and its scratch folder.
    void RemoveScratchFiles();

    // The commands on the one selected attachment, and on the body.
    void OpenAttachment();
    void SaveAttachmentAs();
    void ShowAttachmentMenu();
    void ShowAttachmentMenuAt(const QPoint& globalPosition);
    // Copies every listed attachment into a folder the user chooses.
    void SaveAllAttachments();
    void SaveBody();
    // Prints the body on a printer the user chooses, or into a file.
    void PrintBody();
    void Browse();

    // The folder of the last load, ending in "/"; empty when there is none.
    const std::string& scratchDirectory() const { return scratchDirectory_; }
    // What the last load wrote, newest first.
    const ExtractedFileList& extractedFiles() const { return files_; }

    QListWidget* attachmentList() const { return attachmentList_; }
    BodyView* bodyView() const { return bodyView_; }
    QLineEdit* fileNameField() const { return fileNameField_; }
    // Holds the body and the attachment list side by side; its state is the split between them.
    QSplitter* bodySplitter() const { return splitter_; }
    FindBar* findBar() const { return findBar_; }
    // What the window is busy with ("Loading winmail.dat..."); empty when it is idle.
    QLabel* statusText() const { return statusText_; }
    // A control of the window by its template id.
    QWidget* control(int id) const;

  signals:
    // The window has been painted for the first time.
    void firstPainted();
    // The file given before the window opened has been loaded (or there was none); the result
    // is that of LoadTnefFile, or -1 without a file.
    void initialLoadFinished(int result);

  protected:
    // What the window asks of the user and the desktop; tests replace these.
    virtual QString AskOpenPath(const QString& filter);
    virtual QString AskSavePath(const QString& proposedName, const QString& filter,
                                const QString& defaultSuffix);
    virtual void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text);
    // False when no program took the file.
    virtual bool OpenWithDefaultProgram(const QString& path);
    virtual QString AskFolder(const QString& caption);
    // Gives the index of the button pressed, or -1 when the question was dismissed.
    virtual int AskChoice(QMessageBox::Icon icon, const QString& caption, const QString& text,
                          const QStringList& buttons);
    // Only web and mail links of a body come here.
    virtual void OpenLink(const QUrl& url);
    virtual QAction* ExecMenu(QMenu& menu, const QPoint& globalPosition);
    // The job that prints the body; tests give one whose dialogs they answer.
    virtual std::unique_ptr<RichEditPrintJob> MakePrintJob();

    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    // Places the controls for the window's present size.
    void layOutControls();
    void initialLoad();
    void loadDroppedFile(const QString& path);
    AttachmentItem* selectedAttachment() const;
    void showFileError(const FileResult& result);
    void offerSaveInstead(const QString& name, const QString& path);
    QString applicationTitle() const;

    QLineEdit* fileNameField_ = nullptr;
    QListWidget* attachmentList_ = nullptr;
    BodyView* bodyView_ = nullptr;
    QSplitter* splitter_ = nullptr;
    FindBar* findBar_ = nullptr;
    QLabel* statusText_ = nullptr;
    // The template's units in the window's font, and the window's size at the template's.
    DialogUnits units_{0, 0};
    QSize templateSize_;
    DamageBar* damageBar_ = nullptr;

    AttachmentIconProvider icons_;
    std::string scratchDirectory_;
    ExtractedFileList files_;
    bool initialized_ = false;
    bool initialLoadDone_ = false;
    bool painted_ = false;
};

}  // namespace parcelo
