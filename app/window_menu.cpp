#include "window_menu.h"

#include <QString>
#include <QWidget>

#include <utility>

#include "string_table.h"

#if defined(Q_OS_WIN)
#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#elif defined(Q_OS_MACOS)
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#endif

namespace parcelo {

namespace {

#if defined(Q_OS_WIN)
// The system menu's commands arrive as WM_SYSCOMMAND, which Qt does not turn into an event.
class SystemCommandFilter : public QObject, public QAbstractNativeEventFilter {
  public:
    SystemCommandFilter(QWidget* window, std::function<void()> about)
        : QObject(window), window_(HWND(window->winId())), about_(std::move(about)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~SystemCommandFilter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr* result) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->hwnd != window_ || msg->message != WM_SYSCOMMAND ||
            (msg->wParam & 0xFFF0) != kIdmAboutBox)
            return false;
        about_();
        *result = 0;
        return true;
    }

  private:
    HWND window_;
    std::function<void()> about_;
};
#endif

}  // namespace

bool AppendAboutToWindowMenu(QWidget* window, std::function<void()> about) {
    const QString text = QString::fromLatin1(kAboutMenuText);
    if (text.isEmpty())
        return false;
#if defined(Q_OS_WIN)
    HMENU menu = GetSystemMenu(HWND(window->winId()), FALSE);
    if (menu == nullptr)
        return false;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kIdmAboutBox, reinterpret_cast<LPCWSTR>(text.utf16()));
    new SystemCommandFilter(window, std::move(about));
    return true;
#elif defined(Q_OS_MACOS)
    // The application menu is the Mac's window menu: an action with the About role moves
    // there from any menu of the menu bar.
    auto* bar = new QMenuBar(nullptr);
    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    QAction* action = help->addAction(text);
    action->setMenuRole(QAction::AboutRole);
    QObject::connect(action, &QAction::triggered, window, std::move(about));
    QObject::connect(window, &QObject::destroyed, bar, &QObject::deleteLater);
    return true;
#else
    (void)window;
    (void)about;
    return false;
#endif
}

}  // namespace parcelo
