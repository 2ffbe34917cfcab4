#include "print_progress_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "controls/dialog_units.h"
#include "print_progress_template.h"

namespace parcelo {

bool printAbortRequested = false;

namespace {

constexpr const char* kControlIdProperty = "controlId";

}  // namespace

PrintProgressDialog::PrintProgressDialog(QWidget* owner) : QDialog(nullptr) {
    printAbortRequested = false;
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(kPrintProgressCaption));
    QFont dialogFont = font();
    dialogFont.setPointSize(kPrintProgressFontPoints);
    setFont(dialogFont);
    const DialogUnits units(dialogFont);

    for (const ControlTemplate& item : kPrintProgressControls) {
        const QString text = QString::fromLatin1(item.text);
        QWidget* widget = nullptr;
        switch (item.id) {
            case kIdcPrintCancel: {
                auto* button = new QPushButton(text, this);
                connect(button, &QPushButton::clicked, this, &PrintProgressDialog::reject);
                widget = button;
                break;
            }
            case kIdcPrintProgressBar:
                progressBar_ = new QProgressBar(this);
                progressBar_->setTextVisible(false);
                progressBar_->setRange(0, 100);
                progressBar_->setValue(0);
                widget = progressBar_;
                break;
            default: {
                auto* label = new QLabel(text, this);
                label->setTextFormat(Qt::PlainText);
                if (item.id == kIdcPrintPercent)
                    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                widget = label;
                break;
            }
        }
        widget->setProperty(kControlIdProperty, item.id);
        widget->setObjectName(QStringLiteral("control%1").arg(item.id));
        widget->setGeometry(units.toPixels(item.x, item.y, item.width, item.height));
    }
    setFixedSize(units.toPixels(QSize(kPrintProgressWidth, kPrintProgressHeight)));

    // The owner keeps the dialog above it, as a dialog's parent would, without passing its
    // disabled state on.
    if (owner != nullptr && owner->window()->windowHandle() != nullptr) {
        winId();
        windowHandle()->setTransientParent(owner->window()->windowHandle());
    }
    centreOver(owner);
}

void PrintProgressDialog::centreOver(QWidget* owner) {
    QRect area;
    if (owner != nullptr && owner->window()->isVisible() && !owner->window()->isMinimized()) {
        area = owner->window()->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) {
        QRect placed(QPoint(0, 0), size());
        placed.moveCenter(area.center());
        move(placed.topLeft());
    }
}

QWidget* PrintProgressDialog::control(int id) const {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->property(kControlIdProperty).toInt() == id)
            return child;
    }
    return nullptr;
}

QString PrintProgressDialog::itemText(int id) const {
    if (const auto* label = qobject_cast<const QLabel*>(control(id)))
        return label->text();
    if (const auto* button = qobject_cast<const QPushButton*>(control(id)))
        return button->text();
    return QString();
}

void PrintProgressDialog::setItemText(int id, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control(id)))
        label->setText(text);
    else if (auto* button = qobject_cast<QPushButton*>(control(id)))
        button->setText(text);
}

void PrintProgressDialog::updateWindow() {
    if (isVisible())
        repaint();
}

void PrintProgressDialog::reject() {
    printAbortRequested = true;
    QDialog::reject();
}

}  // namespace parcelo
