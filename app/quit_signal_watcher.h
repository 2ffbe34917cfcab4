// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the main thread, so that a window ended
// from outside still goes through its normal closing (and removes its scratch files). The
// handler only writes one byte to a pipe, which is async-signal-safe; the byte is read by a
// socket notifier in the event loop.
#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace parcelo {

class QuitSignalWatcher : public QObject {
    Q_OBJECT

  public:
    // Installs the handlers; only one watcher may exist at a time. The previous handlers are
    // put back when it is destroyed.
    explicit QuitSignalWatcher(QObject* parent = nullptr);
    ~QuitSignalWatcher() override;
    QuitSignalWatcher(const QuitSignalWatcher&) = delete;
    QuitSignalWatcher& operator=(const QuitSignalWatcher&) = delete;

    bool installed() const { return installed_; }

  signals:
    void quitRequested(int signalNumber);

  private:
    void readSignals();

    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous_[3] = {};
    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
};

}  // namespace parcelo
