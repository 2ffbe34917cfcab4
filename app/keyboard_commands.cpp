#include "keyboard_commands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include "controls/body_view.h"
#include "controls/find_bar.h"
#include "dialog_template.h"
#include "main_dialog.h"

namespace parcelo {

namespace {

bool IsEnter(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           modifiers == Qt::NoModifier;
}

bool AsksForMenu(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
           (key.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}

// A path pasted from a file manager may come as a file URL.
QString TypedPath(const QString& text) {
    if (text.startsWith(QLatin1String("file:"))) {
        const QUrl url(text);
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return text;
}

// The letter of each text that Alt takes to its control, by position, so that the texts
// read as before; a label passes the focus on to the control it names.
struct Mnemonic {
    int id;
    int letter;
    int buddy;  // 0 for a button
};

constexpr Mnemonic kMnemonics[] = {
    {kIdcFileNameLabel, 0, kIdcFileName},
    {kIdcBrowse, 0, 0},
    {kIdcAttachmentLabel, 0, kIdcAttachmentList},
    {kIdcBodyLabel, 0, kIdcBody},
    {kIdcPrint, 0, 0},
    {kIdcAbout, 2, 0},  // "A" is the attachment list's
    {kIdcClose, 0, 0},
    {kIdcSave, 0, 0},
};

QString WithMnemonic(QString text, int letter) {
    if (text.contains(u'&') || letter >= text.size())
        return text;
    return text.insert(letter, u'&');
}

void SetMnemonics(MainDialog& dialog) {
    for (const Mnemonic& mnemonic : kMnemonics) {
        QWidget* widget = dialog.control(mnemonic.id);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(WithMnemonic(label->text(), mnemonic.letter));
            label->setBuddy(dialog.control(mnemonic.buddy));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(WithMnemonic(button->text(), mnemonic.letter));
        }
    }
}

class KeyboardCommands : public QObject {
  public:
    explicit KeyboardCommands(MainDialog& dialog)
        : QObject(&dialog),
          dialog_(dialog),
          field_(dialog.fileNameField()),
          list_(dialog.attachmentList()) {
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { dialog_.Browse(); });
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { dialog_.SaveBody(); });
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { dialog_.PrintBody(); });
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { dialog_.reject(); });
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_W), [this] { dialog_.reject(); });
        shortcut(QKeySequence(QKeySequence::Find), [this] { dialog_.findBar()->open(); });
        shortcut(QKeySequence(Qt::Key_F3), [this] { dialog_.findBar()->findNext(); });
        shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3),
                 [this] { dialog_.findBar()->findPrevious(); });
        // Ctrl++ is Ctrl+= on most keyboards, or Ctrl with the "+" that Shift gives there (the
        // key then comes as Ctrl+Shift++), or the keypad's +.
        shortcut(
            QList{QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal),
                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)},
            [this] { dialog_.bodyView()->stepZoom(1); });
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus),
                 [this] { dialog_.bodyView()->stepZoom(-1); });
        shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { dialog_.bodyView()->resetZoom(); });
        // Whatever the About button does, so that F1 and the button never differ.
        shortcut(QKeySequence(Qt::Key_F1), [this] {
            if (auto* about = qobject_cast<QAbstractButton*>(dialog_.control(kIdcAbout)))
                about->click();
        });

        // Sees the keys of the file name field and the list before they do, and the closing
        // of the window's dialogs: shortcuts work only in the active window, and without a
        // window manager (a bare X server) nobody hands the activation back once a dialog of
        // the window closes; the keys would go on reaching the controls, not the shortcuts.
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched->isWidgetType()) {
            const auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && widget->parentWidget() != nullptr &&
                widget->parentWidget()->window() == &dialog_)
                QTimer::singleShot(0, this, [this] { takeActivationBack(); });
            return false;
        }
        // The filter outlives the window's own destructor, while the window's controls
        // still send their events; so it asks nothing of the window until the event is one
        // of its live controls'.
        if (watched != field_ && watched != list_)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const auto& key = *static_cast<QKeyEvent*>(event);
            if (watched == field_ && IsEnter(key)) {
                loadTypedPath();
                return true;
            }
            if (watched == list_) {
                auto* list = static_cast<QListWidget*>(watched);
                if (IsEnter(key) && list->selectedItems().size() == 1) {
                    dialog_.OpenAttachment();
                    return true;
                }
                if (AsksForMenu(key)) {
                    dialog_.ShowAttachmentMenuAt(KeyboardMenuPosition(*list));
                    return true;
                }
            }
        }
        // Some platforms turn the Menu key into a context menu event of their own, placed at
        // the pointer.
        if (watched == list_ && event->type() == QEvent::ContextMenu &&
            static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
            dialog_.ShowAttachmentMenuAt(KeyboardMenuPosition(*static_cast<QListWidget*>(watched)));
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    template <typename Command>
    void shortcut(const QKeySequence& keys, Command command) {
        shortcut(QList<QKeySequence>{keys}, command);
    }

    // One command for several keys. A key press may match more than one of them (a keyboard
    // map offers "+" both as itself and as Shift+"="), which Qt calls ambiguous; each press
    // still gives one signal, so both kinds carry out the command.
    template <typename Command>
    void shortcut(const QList<QKeySequence>& keys, Command command) {
        auto* shortcut = new QShortcut(&dialog_);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, command);
        connect(shortcut, &QShortcut::activatedAmbiguously, this, command);
    }

    void takeActivationBack() {
        const QWidget* active = QApplication::activeWindow();
        if (dialog_.isVisible() && QApplication::activeModalWidget() == nullptr &&
            QApplication::activePopupWidget() == nullptr &&
            (active == nullptr || !active->isVisible()))
            dialog_.activateWindow();
    }

    // What Browse does once a file is chosen. An empty field asks for nothing.
    void loadTypedPath() {
        const QString path = TypedPath(dialog_.fileNameField()->text());
        if (path.isEmpty())
            return;
        dialog_.fileName = path;
        dialog_.fileNameField()->setText(path);
        dialog_.LoadTnefFile();
    }

    MainDialog& dialog_;
    // Kept as plain objects: the filter sees them while they are destroyed, when they are no
    // longer of their own classes.
    const QPointer<QObject> field_;
    const QPointer<QObject> list_;
};

}  // namespace

void InstallKeyboardCommands(MainDialog& dialog) {
    SetMnemonics(dialog);
    new KeyboardCommands(dialog);
}

QPoint KeyboardMenuPosition(QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty())
        return list.mapToGlobal(list.rect().center());
    list.scrollToItem(selected.first());
    const QRect item = list.visualItemRect(selected.first());
    return list.viewport()->mapToGlobal(item.center());
}

}  // namespace parcelo
