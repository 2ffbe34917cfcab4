// What the window shows while it works on the GUI thread: the busy cursor, and a line that
// says what it is doing.
#pragma once

#include <QPointer>
#include <QString>
#include <Qt>

class QLabel;

namespace parcelo {

// While it lives: `shape` as the program's cursor, and `text` in `status` (when there are
// both), painted at once, since the work keeps the window from painting until it is done.
class BusyIndicator {
  public:
    explicit BusyIndicator(QLabel* status = nullptr, const QString& text = QString(),
                           Qt::CursorShape shape = Qt::WaitCursor);
    ~BusyIndicator();
    BusyIndicator(const BusyIndicator&) = delete;
    BusyIndicator& operator=(const BusyIndicator&) = delete;

  private:
    QPointer<QLabel> status_;
    QString text_;
};

// While it lives, a question asked in the middle of busy work shows the ordinary pointer.
class CursorPause {
  public:
    CursorPause();
    ~CursorPause();
    CursorPause(const CursorPause&) = delete;
    CursorPause& operator=(const CursorPause&) = delete;

  private:
    bool paused_ = false;
};

// "Loading winmail.dat...", for the file at `path`.
QString LoadingText(const QString& path);

}  // namespace parcelo
