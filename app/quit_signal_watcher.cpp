#include "quit_signal_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <iterator>

namespace parcelo {

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a pending request; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

QuitSignalWatcher::QuitSignalWatcher(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignalWatcher::readSignals);

    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &previous_[i]);
    installed_ = true;
}

QuitSignalWatcher::~QuitSignalWatcher() {
    if (!installed_)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &previous_[i], nullptr);
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void QuitSignalWatcher::readSignals() {
    unsigned char bytes[16];
    ssize_t n;
    int last = 0;
    while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0)
        last = bytes[n - 1];
    if (last != 0)
        emit quitRequested(last);
}

}  // namespace parcelo
