// The find bar over the body: finds as the words are typed, marks every match and moves
// through them (Enter or F3 on, Shift+Enter or Shift+F3 back, wrapping at either end); Esc
// puts it away.
#pragma once

#include <QFrame>
#include <QList>
#include <QTextCursor>

class QLabel;
class QLineEdit;
class QToolButton;

namespace parcelo {

class BodyView;

class FindBar : public QFrame {
    Q_OBJECT

  public:
    // The bar lies over the top right of `view`, hidden until it is opened.
    explicit FindBar(BodyView& view);

    // Shows the bar with its words selected, ready to be typed over.
    void open();
    // Hides the bar, takes its marks off the text and gives the focus back to the body.
    void dismiss();
    // The next and the previous match; without a bar on show, it opens first.
    void findNext();
    void findPrevious();

    QLineEdit* field() const { return field_; }
    // "not found", or which match of how many is selected.
    QLabel* resultText() const { return result_; }
    int matchCount() const { return int(matches_.size()); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Finds every match again, and selects the first at or after `from`.
    void search(int from);
    void select(int index);
    void showMarks();
    void place();
    void takeWindowColours();

    BodyView& view_;
    QLineEdit* field_;
    QLabel* result_;
    QToolButton* previous_;
    QToolButton* next_;
    QToolButton* close_;
    QList<QTextCursor> matches_;
    int current_ = -1;
};

}  // namespace parcelo
