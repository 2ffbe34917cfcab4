// The message body: read-only rich text whose links open with a click, as in a mail program,
// while the text can still be selected and copied.
#pragma once

#include <QPoint>
#include <QString>
#include <QTextEdit>
#include <QUrl>

namespace parcelo {

class BodyView : public QTextEdit {
    Q_OBJECT

  public:
    explicit BodyView(QWidget* parent = nullptr);

  signals:
    // A link was clicked: pressed and released with the left button on the same link, without
    // a selection being dragged. Which links may be opened is for the receiver to decide.
    void linkClicked(const QUrl& url);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void showLinkCursor(bool overLink);

    QString pressedLink_;
    bool linkCursor_ = false;
    Qt::CursorShape textCursorShape_ = Qt::IBeamCursor;
};

}  // namespace parcelo
