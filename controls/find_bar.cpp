#include "find_bar.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

#include "controls/body_view.h"

namespace parcelo {

namespace {

// Beyond that many, a search marks no more: a one-letter search in a long message would
// otherwise keep the window busy for nothing anyone reads.
constexpr int kMostMatches = 5000;
constexpr int kMargin = 4;
constexpr int kWidth = 340;

// Marks that read on any page colour: the matches in light yellow, the selected one in
// orange, both with black text.
QTextCharFormat MatchFormat(bool selected) {
    QTextCharFormat format;
    format.setBackground(selected ? QColor(0xff, 0x96, 0x32) : QColor(0xff, 0xeb, 0x64));
    format.setForeground(Qt::black);
    return format;
}

QToolButton* MakeButton(QWidget* parent, const QString& name, const QString& description) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    // Enter and F3 do what these do; Tab stays between the field and the window's controls.
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(description);
    button->setAccessibleName(name);
    button->setAccessibleDescription(description);
    return button;
}

}  // namespace

FindBar::FindBar(BodyView& view) : QFrame(&view), view_(view) {
    setObjectName(QStringLiteral("findBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setAccessibleName(QStringLiteral("Find"));
    setAccessibleDescription(QStringLiteral("Finds words in the message"));

    field_ = new QLineEdit(this);
    field_->setPlaceholderText(QStringLiteral("Find in message"));
    field_->setClearButtonEnabled(true);
    field_->setAccessibleName(QStringLiteral("Find"));
    field_->setAccessibleDescription(QStringLiteral(
        "The words to find in the message; Enter finds the next match, Shift+Enter the "
        "previous one, Esc closes the find bar"));
    result_ = new QLabel(this);
    result_->setAccessibleName(QStringLiteral("Find result"));
    result_->setAccessibleDescription(
        QStringLiteral("How many matches the words have in the message"));

    previous_ = MakeButton(this, QStringLiteral("Previous match"),
                           QStringLiteral("Selects the previous match (Shift+F3)"));
    previous_->setArrowType(Qt::UpArrow);
    next_ = MakeButton(this, QStringLiteral("Next match"),
                       QStringLiteral("Selects the next match (F3)"));
    next_->setArrowType(Qt::DownArrow);
    close_ = MakeButton(this, QStringLiteral("Close find bar"),
                        QStringLiteral("Closes the find bar (Esc)"));
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);
    layout->addWidget(field_, 1);
    layout->addWidget(result_);
    layout->addWidget(previous_);
    layout->addWidget(next_);
    layout->addWidget(close_);

    connect(field_, &QLineEdit::textEdited, this, [this] {
        // Typing on keeps the match in place while it still matches.
        search(current_ >= 0 && current_ < matches_.size()
                   ? matches_[current_].selectionStart()
                   : view_.cursorForPosition(QPoint(0, 0)).position());
    });
    connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            search(0);
    });
    connect(previous_, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next_, &QToolButton::clicked, this, &FindBar::findNext);
    connect(close_, &QToolButton::clicked, this, &FindBar::dismiss);
    // A new message, or the same one at another zoom, holds none of the old matches.
    connect(&view_, &BodyView::displayChanged, this, [this] {
        matches_.clear();
        current_ = -1;
        if (isVisible())
            search(0);
    });
    view_.installEventFilter(this);
    takeWindowColours();
    hide();
}

void FindBar::takeWindowColours() {
    // The bar lies on the body's white page but belongs to the window: its field keeps the
    // desktop's colours. The application's palette is already the new one when a change of it
    // reaches the bar, which the window's need not be yet.
    const QPalette desktop = QGuiApplication::palette();
    QPalette own;
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Text}) {
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            own.setColor(group, role, desktop.color(group, role));
    }
    setPalette(own);
}

void FindBar::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    // Setting the same colours again changes nothing and sends no further event.
    if (event->type() == QEvent::PaletteChange)
        takeWindowColours();
}

void FindBar::open() {
    const bool wasHidden = isHidden();
    place();
    show();
    raise();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
    if (wasHidden && !field_->text().isEmpty())
        search(view_.textCursor().selectionStart());
}

void FindBar::dismiss() {
    if (isHidden())
        return;
    hide();
    matches_.clear();
    current_ = -1;
    view_.setExtraSelections({});
    view_.setFocus(Qt::OtherFocusReason);
}

void FindBar::findNext() {
    if (isHidden())
        open();
    if (!matches_.isEmpty())
        select((current_ + 1) % int(matches_.size()));
}

void FindBar::findPrevious() {
    if (isHidden())
        open();
    if (!matches_.isEmpty())
        select((current_ - 1 + int(matches_.size())) % int(matches_.size()));
}

void FindBar::search(int from) {
    matches_.clear();
    current_ = -1;
    const QString words = field_->text();
    QTextDocument* document = view_.document();
    if (!words.isEmpty() && document != nullptr) {
        QTextCursor found(document);
        while (matches_.size() < kMostMatches) {
            found = document->find(words, found);
            if (found.isNull())
                break;
            matches_ << found;
        }
    }
    if (matches_.isEmpty()) {
        result_->setText(words.isEmpty() ? QString() : QStringLiteral("not found"));
        showMarks();
        return;
    }
    const auto at = std::find_if(matches_.cbegin(), matches_.cend(), [from](const QTextCursor& c) {
        return c.selectionStart() >= from;
    });
    select(at == matches_.cend() ? 0 : int(at - matches_.cbegin()));
}

void FindBar::select(int index) {
    current_ = index;
    result_->setText(QStringLiteral("%1 of %2").arg(index + 1).arg(matches_.size()));
    // The selection is the match, so that Ctrl+C copies it and the view scrolls to it.
    view_.setTextCursor(matches_[index]);
    view_.ensureCursorVisible();
    showMarks();
}

void FindBar::showMarks() {
    QList<QTextEdit::ExtraSelection> marks;
    marks.reserve(matches_.size());
    for (qsizetype i = 0; i < matches_.size(); ++i)
        marks.append({matches_[i], MatchFormat(i == current_)});
    view_.setExtraSelections(marks);
}

void FindBar::place() {
    const QRect area = view_.viewport()->geometry();
    const int width = std::min(std::max(kWidth, sizeHint().width()), area.width() - 2 * kMargin);
    const int height = sizeHint().height();
    setGeometry(area.right() + 1 - kMargin - width, area.top() + kMargin, width, height);
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
        case Qt::Key_Escape:
            if (modifiers == Qt::NoModifier) {
                dismiss();
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (modifiers == Qt::NoModifier) {
                findNext();
                return;
            }
            if (modifiers == Qt::ShiftModifier) {
                findPrevious();
                return;
            }
            break;
        default:
            break;
    }
    QFrame::keyPressEvent(event);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &view_ && event->type() == QEvent::Resize && !isHidden())
        place();
    return QFrame::eventFilter(watched, event);
}

}  // namespace parcelo
