#include "link_static.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QUrl>

#include <utility>

#include "system_colour.h"

namespace parcelo {

namespace {

// ShellExecute's "show normally"; the desktop's opener has no use for it.
constexpr int kShowCommand = 5;

int OpenOnDesktop(const QString& target, int /*showCommand*/) {
    // The desktop's own choice of handler (xdg-open and its kin) takes the place of both the
    // shell's open verb and the look-up of the program registered for web pages; it reports
    // no cause, and a target it cannot open almost always has no program for its kind.
    const QUrl url = QUrl::fromUserInput(target);
    if (!url.isValid())
        return CLinkStatic::kErrorNoAssociation;
    return QDesktopServices::openUrl(url) ? CLinkStatic::kOpenSucceeded
                                          : CLinkStatic::kErrorNoAssociation;
}

}  // namespace

CLinkStatic::CLinkStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {
    // A left-aligned static text: its text sits at the top, never centred vertically.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    // Mouse moves without a button held are what starts the hover look.
    setMouseTracking(true);
    // Tab reaches the link and Enter or Space opens it, for whoever has no mouse.
    setFocusPolicy(Qt::StrongFocus);

    if (target_.isEmpty())
        target_ = this->text();
    if (this->text().isEmpty())
        setText(target_);

    normalFont_ = font();
    underlinedFont_ = font();
    underlinedFont_.setUnderline(true);

    fitToText();
    SetHandCursor(nullptr);
    SetUnderlineMode(kUnderlineHover);
    // QWidget's own tooltip stands in for a tooltip control fed every mouse message.
    setToolTip(target_);
}

CLinkStatic::~CLinkStatic() = default;

void CLinkStatic::SetLinkTarget(const QString& target) {
    target_ = target;
    fitToText();
    setToolTip(target_);
}

void CLinkStatic::SetUnderlineMode(int mode) {
    if (mode == underlineMode_)
        return;
    setFont(mode == kUnderlineAlways ? underlinedFont_ : normalFont_);
    update();
    underlineMode_ = mode;
}

void CLinkStatic::SetLinkColours(const QColor& link, const QColor& visited, const QColor& hover) {
    linkColour_ = link;
    visitedColour_ = visited;
    hoverColour_ = hover.isValid() ? hover : SysColour(SystemColour::Highlight);
    update();
}

void CLinkStatic::SetVisitedState(bool visited) {
    visited_ = visited;
    update();
}

void CLinkStatic::SetHandCursor(const QCursor* cursor) {
    // Qt's pointing hand is the desktop's own link cursor.
    linkCursor_ = cursor != nullptr ? *cursor : QCursor(Qt::PointingHandCursor);
    setCursor(linkCursor_);
}

void CLinkStatic::SetFitToText(bool fit) {
    fitToText_ = fit;
    fitToText();
}

QColor CLinkStatic::TextColour() const {
    if (hovering_)
        return hoverColour_;
    return visited_ ? visitedColour_ : linkColour_;
}

void CLinkStatic::SetOpener(Opener opener) {
    opener_ = std::move(opener);
}

int CLinkStatic::OpenLinkTarget(const QString& target, int showCommand) {
    return opener_ ? opener_(target, showCommand) : OpenOnDesktop(target, showCommand);
}

QString CLinkStatic::OpenFailureText(int result) {
    const char* reason = nullptr;
    switch (result) {
        case 0:
            reason = "The operating system is out\nof memory or resources.";
            break;
        case 2:
            reason = "The specified file was not found.";
            break;
        case 3:
            reason = "The specified path was not found.";
            break;
        case 5:
            reason = "The operating system denied\naccess to the specified file.";
            break;
        case 8:
            reason = "There was not enough memory to complete the operation.";
            break;
        case 11:
            reason = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
            break;
        case 26:
            reason = "A sharing violation occurred. ";
            break;
        case 27:
            reason = "The filename association is\nincomplete or invalid.";
            break;
        case 28:
            reason = "The DDE transaction could not\nbe completed because the request timed out.";
            break;
        case 29:
            reason = "The DDE transaction failed.";
            break;
        case 30:
            reason =
                "The DDE transaction could not\nbe completed because other DDE "
                "transactions\nwere being processed.";
            break;
        case 31:
            reason = "There is no application associated\nwith the given filename extension.";
            break;
        case 32:
            reason = "The specified dynamic-link library was not found.";
            break;
        default:
            break;
    }
    const QString text = reason != nullptr
                             ? QString::fromLatin1(reason)
                             : QStringLiteral("Unknown Error (%1) occurred.").arg(result);
    return QStringLiteral("Unable to open hyperlink:\n\n") + text;
}

void CLinkStatic::ShowOpenFailure(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, window());
    box.exec();
}

void CLinkStatic::fitToText() {
    if (!fitToText_)
        return;
    QRect frame = geometry();
    const QRect client = contentsRect();
    const QFontMetrics metrics(underlinedFont_);
    // The frame of a label lies inside its widget; what it takes is the border allowance.
    const int textWidth = metrics.horizontalAdvance(text()) + frame.width() - client.width();
    const int textHeight = metrics.height() + frame.height() - client.height();

    if (alignment() & Qt::AlignVCenter) {
        const int shrink = (frame.height() - textHeight) / 2;
        frame.adjust(0, shrink, 0, -shrink);
    } else {
        frame.setHeight(textHeight);
    }
    if (alignment() & Qt::AlignHCenter) {
        const int shrink = (frame.width() - textWidth) / 2;
        frame.adjust(shrink, 0, -shrink, 0);
    } else if (alignment() & Qt::AlignRight) {
        frame.setLeft(frame.right() + 1 - textWidth);
    } else {
        frame.setWidth(textWidth);
    }
    setGeometry(frame);
}

void CLinkStatic::startHover() {
    if (hovering_)
        return;
    hovering_ = true;
    if (underlineMode_ == kUnderlineHover)
        setFont(underlinedFont_);
    update();
}

void CLinkStatic::endHover() {
    if (!hovering_)
        return;
    hovering_ = false;
    if (underlineMode_ != kUnderlineAlways)
        setFont(normalFont_);
    update();
}

// Qt tells a widget when the pointer enters and leaves it, so the leave needs no polling
// timer: the Leave event arrives even when no further mouse move reaches the control.
void CLinkStatic::enterEvent(QEnterEvent* event) {
    startHover();
    QLabel::enterEvent(event);
}

void CLinkStatic::leaveEvent(QEvent* event) {
    endHover();
    QLabel::leaveEvent(event);
}

void CLinkStatic::mouseMoveEvent(QMouseEvent* event) {
    startHover();
    QLabel::mouseMoveEvent(event);
}

void CLinkStatic::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

// A release over the control after a press on it is the static control's click.
void CLinkStatic::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        clicked();
}

void CLinkStatic::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void CLinkStatic::clicked() {
    hovering_ = false;
    const int result = OpenLinkTarget(target_, kShowCommand);
    visited_ = result > 32;
    if (!visited_) {
        update();
        QApplication::beep();
        ShowOpenFailure(OpenFailureText(result));
        return;
    }
    SetVisitedState(true);
}

// Painting does what the erase and colour messages did: the face colour behind, the text
// in the colour of the link's state on top.
void CLinkStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), SysColour(SystemColour::BtnFace, palette()));
    painter.setPen(TextColour());
    painter.setFont(font());
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, text());
    if (hasFocus()) {
        // A dotted frame in the text's colour, as DrawFocusRect draws it, whatever the style.
        painter.setPen(QPen(TextColour(), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

}  // namespace parcelo
