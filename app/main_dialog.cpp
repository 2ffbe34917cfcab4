#include "main_dialog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <exception>
#include <fstream>
#include <memory>
#include <vector>

#include "attachment_drag.h"
#include "attachment_item.h"
#include "attachment_menu.h"
#include "busy_indicator.h"
#include "content_id.h"
#include "controls/about_dialog.h"
#include "controls/find_bar.h"
#include "controls/hover_button.h"
#include "controls/transparent_static.h"
#include "damage_bar.h"
#include "damage_report.h"
#include "dat_association.h"
#include "dialog_template.h"
#include "extraction_run.h"
#include "file_dialog_filter.h"
#include "file_dialogs.h"
#include "file_error_message.h"
#include "file_kind.h"
#include "keyboard_commands.h"
#include "load_failure.h"
#include "open_failure.h"
#include "replace_file.h"
#include "rich_edit_print_job.h"
#include "body/body_document.h"
#include "body/offline_document.h"
#include "body/html/openable_link.h"
#include "body/rtf/rtf_reader.h"
#include "body/rtf/rtf_writer.h"
#include "save_all.h"
#include "scratch_directory.h"
#include "string_table.h"
#include "window_layout.h"
#include "window_look.h"
#include "window_menu.h"

// The resources of a static library are registered by hand; the names live outside any
// namespace.
static void InitParceloResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(parcelo);
        return true;
    }();
    (void)registered;
}

namespace parcelo {

namespace {

constexpr const char* kControlIdProperty = "controlId";
constexpr int kIconSize = 32;

QString DecodePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string EncodePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Reads a whole file; returns 0 or the errno of the failure.
int ReadWholeFile(const std::string& path, std::string& bytes) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return errno != 0 ? errno : EIO;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        return EIO;
    return 0;
}

// A path that lies in `folder` (which ends in "/") and cannot climb out of it.
bool LiesIn(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.size() > folder.size() &&
           path.compare(0, folder.size(), folder) == 0 &&
           path.find("/../", folder.size() - 1) == std::string::npos;
}

// The first dropped file, when the first thing dropped is a local file.
QString FirstDroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return QString();
    return urls.first().toLocalFile();
}

// Where template control `id` sits in a window of the template's size.
QRect TemplateRect(const DialogUnits& units, int id) {
    for (const ControlTemplate& item : kMainDialogControls) {
        if (item.id == id)
            return units.toPixels(item.x, item.y, item.width, item.height);
    }
    return QRect();
}

}  // namespace

MainDialog::MainDialog(QWidget* parent) : BitmapBackgroundDialog(parent) {
    InitParceloResources();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(kMainDialogCaption));
    QIcon windowIcon;
    for (int size : {16, 32, 64})
        windowIcon.addFile(QStringLiteral(":/parcelo/parcelo-%1.png").arg(size), QSize(size, size));
    setWindowIcon(windowIcon);
    setAcceptDrops(true);
    createControls();
    ApplyWindowLook(*this);
}

MainDialog::~MainDialog() {
    RemoveScratchFiles();
}

void MainDialog::createControls() {
    QFont dialogFont = font();
    dialogFont.setPointSize(kMainDialogFontPoints);
    setFont(dialogFont);
    units_ = DialogUnits(dialogFont);
    const DialogUnits& units = units_;

    // The body and the list share a splitter that fills their two places and the gap
    // between them, which becomes its handle.
    const QRect bodyRect = TemplateRect(units, kIdcBody);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("bodySplitter"));
    splitter_->setChildrenCollapsible(false);

    QWidget* previous = nullptr;
    for (const ControlTemplate& item : kMainDialogControls) {
        const QString text = QString::fromLatin1(item.text);
        QWidget* widget = nullptr;
        switch (item.id) {
            case kIdcFileNameLabel:
            case kIdcAttachmentLabel:
            case kIdcBodyLabel:
                widget = new CTransparentStatic(text, this);
                break;
            case kIdcFileName:
                fileNameField_ = new QLineEdit(this);
                fileNameField_->setMaxLength(kFileNameMaxLength);
                fileNameField_->setAcceptDrops(false);  // a dropped file is loaded, not typed
                widget = fileNameField_;
                break;
            case kIdcAttachmentList:
                attachmentList_ = new QListWidget(this);
                splitter_->addWidget(attachmentList_);
                widget = attachmentList_;
                break;
            case kIdcBody: {
                // The body shares its pane with the damage bar above it.
                auto* pane = new QWidget;
                pane->setObjectName(QStringLiteral("bodyPane"));
                splitter_->insertWidget(0, pane);
                bodyView_ = new BodyView(pane);
                widget = bodyView_;
                break;
            }
            default: {
                auto* button = new CHoverButton(text, this);
                // No button becomes the default: Enter presses the focused button only.
                button->setAutoDefault(false);
                button->setDefault(false);
                widget = button;
                break;
            }
        }
        widget->setProperty(kControlIdProperty, item.id);
        widget->setObjectName(QStringLiteral("control%1").arg(item.id));
        for (const AccessibleTexts& texts : kMainDialogAccessibleTexts) {
            if (texts.id == item.id) {
                widget->setAccessibleName(QString::fromLatin1(texts.name));
                widget->setAccessibleDescription(QString::fromLatin1(texts.description));
            }
        }
        if (widget->parentWidget() == this)
            widget->setGeometry(units.toPixels(item.x, item.y, item.width, item.height));
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous != nullptr)
                setTabOrder(previous, widget);
            previous = widget;
        }
    }

    {
        const QRect listRect = TemplateRect(units, kIdcAttachmentList);
        splitter_->setGeometry(bodyRect.united(listRect));
        splitter_->setHandleWidth(listRect.left() - bodyRect.right() - 1);
        splitter_->setSizes({bodyRect.width(), listRect.width()});
        // The extra width of a larger window goes to the body.
        splitter_->setStretchFactor(0, 1);
        splitter_->setStretchFactor(1, 0);
        connect(splitter_, &QSplitter::splitterMoved, this, [this] { layOutControls(); });
    }
    attachmentList_->installEventFilter(this);
    damageBar_ = new DamageBar(*bodyView_, bodyView_->parentWidget());

    attachmentList_->setViewMode(QListView::IconMode);
    attachmentList_->setIconSize(QSize(kIconSize, kIconSize));
    attachmentList_->setMovement(QListView::Static);
    attachmentList_->setResizeMode(QListView::Adjust);
    attachmentList_->setFlow(QListView::LeftToRight);
    attachmentList_->setWrapping(true);
    attachmentList_->setWordWrap(true);
    attachmentList_->setTextElideMode(Qt::ElideMiddle);
    attachmentList_->setSelectionMode(QAbstractItemView::SingleSelection);
    attachmentList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    attachmentList_->setDragDropMode(QAbstractItemView::NoDragDrop);
    attachmentList_->setAcceptDrops(false);
    attachmentList_->setSortingEnabled(true);
    attachmentList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    attachmentList_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    {
        // One column of icons with two lines of name under each.
        const int scrollBar = attachmentList_->verticalScrollBar()->sizeHint().width();
        const int frame = 2 * attachmentList_->frameWidth();
        const int width = attachmentList_->width() - frame - scrollBar - 2;
        const int lines = 2 * attachmentList_->fontMetrics().height();
        attachmentList_->setGridSize(QSize(width, kIconSize + lines + 8));
    }
    attachmentList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(attachmentList_, &QWidget::customContextMenuRequested, this,
            [this] { ShowAttachmentMenu(); });
    attachmentList_->viewport()->installEventFilter(this);

    bodyView_->setDocument(new OfflineTextDocument(bodyView_));
    bodyView_->setReadOnly(true);
    bodyView_->setAcceptRichText(true);
    bodyView_->setAcceptDrops(false);
    bodyView_->setLineWrapMode(QTextEdit::WidgetWidth);
    bodyView_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    bodyView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    bodyView_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    connect(bodyView_, &BodyView::linkClicked, this, [this](const QUrl& url) {
        if (IsOpenableLink(url))
            OpenLink(url);
    });

    connect(qobject_cast<QPushButton*>(control(kIdcBrowse)), &QPushButton::clicked, this,
            [this] { Browse(); });
    connect(qobject_cast<QPushButton*>(control(kIdcSave)), &QPushButton::clicked, this,
            [this] { SaveBody(); });
    connect(qobject_cast<QPushButton*>(control(kIdcPrint)), &QPushButton::clicked, this,
            [this] { PrintBody(); });
    connect(qobject_cast<QPushButton*>(control(kIdcClose)), &QPushButton::clicked, this,
            &QDialog::reject);
    const auto runAboutBox = [this] { AboutDialog(this).exec(); };
    connect(qobject_cast<QAbstractButton*>(control(kIdcAbout)), &QAbstractButton::clicked, this,
            runAboutBox);
    AppendAboutToWindowMenu(this, runAboutBox);

    statusText_ = new CTransparentStatic(this);
    statusText_->setObjectName(QStringLiteral("statusText"));
    statusText_->setAlignment(Qt::AlignCenter);
    statusText_->hide();

    findBar_ = new FindBar(*bodyView_);

    templateSize_ = units.toPixels(QSize(kMainDialogWidth, kMainDialogHeight));
    setMinimumSize(templateSize_);
    resize(templateSize_);
    fileNameField_->setFocus();
    InstallKeyboardCommands(*this);
    new AttachmentDragSource(*attachmentList_);
}

void MainDialog::layOutControls() {
    const QSize growth = (size() - templateSize_).expandedTo(QSize(0, 0));
    for (const ControlTemplate& item : kMainDialogControls) {
        QWidget* widget = control(item.id);
        if (widget == nullptr || widget->parentWidget() != this)
            continue;
        QRect rect = TemplateRect(units_, item.id);
        // The buttons are as large as their pictures, whatever the template says.
        if (qobject_cast<QAbstractButton*>(widget) != nullptr)
            rect.setSize(widget->size());
        widget->setGeometry(GrownGeometry(item.id, rect, growth));
    }
    const QRect bodyAndList =
        TemplateRect(units_, kIdcBody).united(TemplateRect(units_, kIdcAttachmentList));
    splitter_->setGeometry(GrownGeometry(kIdcBody, bodyAndList, growth));
    // A window not yet on screen gets no resize events: its splitter and the body's pane
    // are laid out here.
    splitter_->refresh();
    damageBar_->fitParent();
    // The list's label stays above the list wherever the split puts it.
    if (QWidget* label = control(kIdcAttachmentLabel))
        label->move(attachmentList_->mapTo(this, QPoint(0, 0)).x(), label->y());
    // The status text fills the bottom row between the buttons on either side.
    const QWidget* save = control(kIdcSave);
    const QWidget* close = control(kIdcClose);
    const int gap = units_.toPixelsX(4);
    statusText_->setGeometry(QRect(QPoint(save->geometry().right() + 1 + gap, save->y()),
                                   QPoint(close->x() - 1 - gap, save->geometry().bottom())));
}

void MainDialog::resizeEvent(QResizeEvent* event) {
    BitmapBackgroundDialog::resizeEvent(event);
    layOutControls();
}

QWidget* MainDialog::control(int id) const {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->property(kControlIdProperty).toInt() == id)
            return child;
    }
    return nullptr;
}

void MainDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (initialized_)
        return;
    initialized_ = true;
    fileNameField_->setText(fileName);
    RegisterDatAssociation();
    // The file is loaded once the window is on screen; should it never be painted (a
    // minimised start), it is loaded all the same.
    QTimer::singleShot(500, this, &MainDialog::initialLoad);
}

void MainDialog::paintEvent(QPaintEvent* event) {
    BitmapBackgroundDialog::paintEvent(event);
    if (painted_)
        return;
    painted_ = true;
    emit firstPainted();
    QTimer::singleShot(0, this, &MainDialog::initialLoad);
}

void MainDialog::initialLoad() {
    if (initialLoadDone_)
        return;
    initialLoadDone_ = true;
    const int result = fileName.isEmpty() ? -1 : LoadTnefFile();
    emit initialLoadFinished(result);
}

int MainDialog::LoadTnefFile() {
    const BusyIndicator busy(statusText_, LoadingText(fileName));
    const std::string tnefPath = EncodePath(fileName);

    const std::string temporary = TemporaryDirectory();
    std::string scratch;
    if (const int error = MakeScratchDirectory(temporary, scratch); error != 0) {
        // Unpacking straight into the shared temporary folder would mix this file's names with
        // everyone else's; better to say so.
        ShowMessage(
            QMessageBox::Critical, applicationTitle(),
            FileErrorMessage(CauseOfErrno(error, FileAccess::Writing), DecodePath(temporary)));
        return 0;
    }

    ExtractionRun run;
    // The messages as the run meets them, bodies included: the view shows them in that order.
    std::vector<MessageSection> sections;
    CollectMessageSections(run, sections);
    // On every failure the previous file stays on show, and so do its files, which its items
    // stand for.
    const auto fail = [&](const QString& message) {
        for (const ExtractedFile& file : run.files) {
            if (LiesIn(file.path, scratch))
                ::unlink(file.path.c_str());
        }
        ::rmdir(scratch.c_str());
        ShowMessage(QMessageBox::Warning, QString::fromLatin1(kAppNameText), message);
        return 0;
    };
    FileKind kind = FileKind::kOther;
    try {
        const std::unique_ptr<ByteSource> source = OpenByteSource(tnefPath);
        if (!source)
            return fail(LoadFailureMessage(tnefPath));
        kind = ExtractByContent(run, *source, 1, scratch);
    } catch (const std::exception& error) {
        // Whatever the content made the engine give up on (memory, most likely) ends this load
        // alone, not the window.
        return fail(LoadFailureMessage(tnefPath) + QStringLiteral("\n\n") +
                    QString::fromLocal8Bit(error.what()));
    }
    if (!IsExtractable(kind)) {
        return fail(
            QString::fromLatin1(kNotOpenableText).arg(QFileInfo(DecodePath(tnefPath)).fileName()));
    }

    RemoveScratchFiles();
    scratchDirectory_ = scratch;
    files_ = std::move(run.files);

    attachmentList_->setUpdatesEnabled(false);
    attachmentList_->clear();
    // The body is built aside and then handed to the view whole, which spares the view a
    // relayout for every paragraph.
    auto* document = new OfflineTextDocument(bodyView_);
    document->setBodyFont(bodyView_->font());
    document->setUndoRedoEnabled(false);
    // Images that HTML bodies name by "cid:" are the run's own attachments, never anything
    // outside it.
    QHash<QString, std::string> pathsByContentId;
    // A Content-ID that no part carries may still name the picture's file.
    QHash<QString, std::string> pathsByName;
    for (const ExtractedFile& file : files_) {
        if (!file.contentId.empty())
            pathsByContentId.insert(QString::fromStdString(file.contentId), file.path);
        else if (file.isAttachment != 0)
            pathsByName.insert(QString::fromStdString(ContentIdFileKey(file.path)), file.path);
    }
    const CidResolver resolveCid = [&](const QString& contentId) {
        const std::string* path = nullptr;
        if (const auto byId = pathsByContentId.constFind(contentId);
            byId != pathsByContentId.constEnd()) {
            path = &*byId;
        } else if (const auto byName = pathsByName.constFind(
                       QString::fromStdString(FileNameInContentId(contentId.toStdString())));
                   byName != pathsByName.constEnd()) {
            path = &*byName;
        }
        std::string bytes;
        if (path == nullptr || ReadWholeFile(*path, bytes) != 0)
            return QByteArray();
        return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    };
    for (const ExtractedFile& file : files_) {
        if (file.isAttachment == 0)
            continue;
        const QString path = DecodePath(file.path);
        const QString name = path.mid(path.lastIndexOf(u'/') + 1);
        attachmentList_->addItem(new AttachmentItem(icons_.iconFor(path), name, path));
    }
    BuildBodyDocument(*document, sections, resolveCid);
    bodyView_->setMessage(document);
    damageBar_->setReport(QString::fromStdString(DamageReport(run)));
    attachmentList_->setUpdatesEnabled(true);
    setWindowTitle(QFileInfo(DecodePath(tnefPath)).fileName() + QStringLiteral(" - ") +
                   QString::fromLatin1(kMainDialogCaption));
    return 1;
}

void MainDialog::RemoveScratchFiles() {
    for (const ExtractedFile& file : files_) {
        if (LiesIn(file.path, scratchDirectory_))
            ::unlink(file.path.c_str());
    }
    files_.clear();
    if (!scratchDirectory_.empty())
        ::rmdir(scratchDirectory_.c_str());
    scratchDirectory_.clear();
}

AttachmentItem* MainDialog::selectedAttachment() const {
    const QList<QListWidgetItem*> selected = attachmentList_->selectedItems();
    if (selected.size() != 1)
        return nullptr;
    return dynamic_cast<AttachmentItem*>(selected.first());
}

void MainDialog::OpenAttachment() {
    AttachmentItem* item = selectedAttachment();
    if (item != nullptr && !OpenWithDefaultProgram(item->path()))
        offerSaveInstead(item->text(), item->path());
}

void MainDialog::SaveAttachmentAs() {
    AttachmentItem* item = selectedAttachment();
    if (item == nullptr)
        return;
    const QString source = item->path();
    const QString target =
        AskSavePath(item->text(), QtFileFilter(kSaveAttachmentFilterText), QString());
    if (target.isEmpty())
        return;
    const FileResult result = CopyFileReplacing(EncodePath(source), EncodePath(target));
    if (!result.ok())
        showFileError(result);
}

void MainDialog::ShowAttachmentMenu() {
    ShowAttachmentMenuAt(QCursor::pos());
}

void MainDialog::ShowAttachmentMenuAt(const QPoint& globalPosition) {
    if (selectedAttachment() == nullptr)
        return;
    BCMenu menu(this);
    BCMenu* popup = LoadAttachmentMenu(menu);
    if (popup == nullptr)
        return;
    // Menu 131's two commands, then ours.
    popup->AppendItem(QString::fromLatin1(kSaveAllMenuText), 0, kIdmSaveAll);
    QAction* chosen = ExecMenu(*popup, globalPosition);
    switch (chosen != nullptr ? chosen->data().toInt() : 0) {
        case kIdmOpen:
            OpenAttachment();
            break;
        case kIdmSaveAs:
            SaveAttachmentAs();
            break;
        case kIdmSaveAll:
            SaveAllAttachments();
            break;
        default:
            break;
    }
}

void MainDialog::SaveBody() {
    const QString target = AskSavePath(QStringLiteral("message"), QtFileFilter(kSaveBodyFilterText),
                                       QStringLiteral("rtf"));
    if (target.isEmpty())
        return;
    const QByteArray rtf = RtfFromDocument(*bodyView_->message());
    const FileResult result = WriteFileReplacing(
        EncodePath(target), std::string_view(rtf.constData(), size_t(rtf.size())));
    if (!result.ok())
        showFileError(result);
}

void MainDialog::PrintBody() {
    const std::unique_ptr<RichEditPrintJob> job = MakePrintJob();
    // The message in its own sizes, whatever the zoom on screen.
    job->document = bodyView_->message();
    job->Print();
}

std::unique_ptr<RichEditPrintJob> MainDialog::MakePrintJob() {
    return std::make_unique<RichEditPrintJob>(this);
}

void MainDialog::Browse() {
    const QString path = AskOpenPath(OpenDialogFilter());
    if (path.isEmpty())
        return;
    fileName = path;
    fileNameField_->setText(path);
    LoadTnefFile();
}

void MainDialog::showFileError(const FileResult& result) {
    ShowMessage(
        QMessageBox::Critical, applicationTitle(),
        FileErrorMessage(CauseOfErrno(result.errorNumber, result.access), DecodePath(result.path)));
}

QString MainDialog::applicationTitle() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString MainDialog::AskOpenPath(const QString& filter) {
    return RunOpenDialog(this, filter);
}

QString MainDialog::AskSavePath(const QString& proposedName, const QString& filter,
                                const QString& defaultSuffix) {
    return RunSaveDialog(this, proposedName, filter, defaultSuffix);
}

QString MainDialog::AskFolder(const QString& caption) {
    return RunFolderDialog(this, caption);
}

int MainDialog::AskChoice(QMessageBox::Icon icon, const QString& caption, const QString& text,
                          const QStringList& buttons) {
    const CursorPause pause;
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, this);
    QList<QAbstractButton*> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        // The first answers the question, the last (and Esc) declines it.
        const QMessageBox::ButtonRole role = i == 0                    ? QMessageBox::AcceptRole
                                             : i == buttons.size() - 1 ? QMessageBox::RejectRole
                                                                       : QMessageBox::ActionRole;
        added << box.addButton(buttons[i], role);
    }
    box.exec();
    return added.indexOf(box.clickedButton());
}

void MainDialog::ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    const CursorPause pause;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
    box.exec();
}

bool MainDialog::OpenWithDefaultProgram(const QString& path) {
    return OpenWithDesktop(path);
}

void MainDialog::OpenLink(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

QAction* MainDialog::ExecMenu(QMenu& menu, const QPoint& globalPosition) {
    return menu.exec(globalPosition);
}

void MainDialog::done(int result) {
    // Every way the window ends comes here: Close, Esc, the close box, Ctrl+Q/W, a quit signal.
    RemoveScratchFiles();
    QDialog::done(result);
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter never ends the window, which would throw the unpacked files away; on a button
        // it presses the button, as Space does.
        auto* button = qobject_cast<QAbstractButton*>(focusWidget());
        if (modifiers == Qt::NoModifier && button != nullptr && button->window() == this)
            button->click();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier && findBar_->isVisible()) {
        findBar_->dismiss();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!FirstDroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainDialog::dragMoveEvent(QDragMoveEvent* event) {
    if (!FirstDroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event) {
    const QString path = FirstDroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Loaded once the drop has returned, so that the program the file came from is not kept
    // waiting while it is unpacked.
    QMetaObject::invokeMethod(
        this, [this, path] { loadDroppedFile(path); }, Qt::QueuedConnection);
}

void MainDialog::loadDroppedFile(const QString& path) {
    fileName = path;
    fileNameField_->setText(path);
    LoadTnefFile();
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == attachmentList_ && event->type() == QEvent::Move)
        layOutControls();
    if (watched == attachmentList_->viewport()) {
        // A double click anywhere in the list, even beside the items, opens the selected one;
        // so a click beside the items leaves the selection as it is.
        if (event->type() == QEvent::MouseButtonDblClick) {
            OpenAttachment();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (attachmentList_->itemAt(mouse->position().toPoint()) == nullptr) {
                attachmentList_->setFocus(Qt::MouseFocusReason);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace parcelo
