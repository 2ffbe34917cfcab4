// The message body: read-only rich text whose links open with a click, as in a mail program,
// while the text can still be selected and copied with its formatting. It can be zoomed; the
// message itself is never changed by that.
#pragma once

#include <QPoint>
#include <QString>
#include <QTextEdit>
#include <QUrl>

class QTextDocument;

namespace parcelo {

class BodyView : public QTextEdit {
    Q_OBJECT

  public:
    explicit BodyView(QWidget* parent = nullptr);

    // Shows `message` at the view's zoom. A message whose parent is the view is the view's
    // to delete once another replaces it.
    void setMessage(QTextDocument* message);
    // The message as it was given, whatever the zoom: what is saved and printed.
    QTextDocument* message() const;

    // The zoom goes in steps from 50 % to 300 %; 100 % shows the message as it is.
    int zoomPercent() const;
    void stepZoom(int steps);
    void resetZoom();

  signals:
    // A link was clicked: pressed and released with the left button on the same link, without
    // a selection being dragged. Which links may be opened is for the receiver to decide.
    void linkClicked(const QUrl& url);
    // Another document is on show (a new message, or the same at another zoom): whatever
    // pointed into the old one is gone.
    void displayChanged();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // What is copied comes from the message, in its own sizes, whatever the zoom.
    QMimeData* createMimeDataFromSelection() const override;

  private:
    void showLinkCursor(bool overLink);
    void showAtZoom();

    QString pressedLink_;
    bool linkCursor_ = false;
    Qt::CursorShape textCursorShape_ = Qt::IBeamCursor;
    QTextDocument* message_ = nullptr;
    // The zoomed copy on show; null at 100 %.
    QTextDocument* zoomed_ = nullptr;
    int zoomStep_;
    int wheelDelta_ = 0;
};

}  // namespace parcelo
