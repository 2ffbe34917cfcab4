#include "hover_button.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPen>
#include <QStyle>
#include <QStyleOption>
#include <QUrl>

namespace parcelo {

namespace {

bool IsTransparent(QRgb pixel, const QColor& transparent) {
    return transparent.isValid() && (pixel & RGB_MASK) == (transparent.rgb() & RGB_MASK);
}

// Applies `change` to each pixel that is not of the transparent colour.
template <typename Change>
QImage ChangedPicture(const QImage& image, const QColor& transparent, Change change) {
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (!IsTransparent(row[x], transparent))
                row[x] = change(row[x]);
        }
    }
    result.setDevicePixelRatio(image.devicePixelRatio());
    return result;
}

}  // namespace

QImage WithTransparentColor(const QImage& image, const QColor& transparent) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (result.isNull() || !transparent.isValid())
        return result;
    for (int y = 0; y < result.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (IsTransparent(row[x], transparent))
                row[x] = 0;
        }
    }
    return result;
}

QImage DarkerPicture(const QImage& image, const QColor& transparent) {
    return ChangedPicture(image, transparent, [](QRgb pixel) {
        const auto darken = [](int value) { return value - int(value * 0.25); };
        return qRgb(darken(qRed(pixel)), darken(qGreen(pixel)), darken(qBlue(pixel)));
    });
}

QImage GreyPicture(const QImage& image, const QColor& transparent) {
    return ChangedPicture(image, transparent, [](QRgb pixel) {
        const int grey =
            int(0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel) + 0.5);
        return qRgb(grey, grey, grey);
    });
}

CHoverButton::CHoverButton(QWidget* parent) : CHoverButton(QString(), parent) {}

CHoverButton::CHoverButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    SetDefaultColors(false);
    connect(this, &QAbstractButton::clicked, this, &CHoverButton::onClicked);
}

// The menu, a child of the button, goes with it.
CHoverButton::~CHoverButton() = default;

void CHoverButton::releasePictures() {
    pictures_ = {};
}

int CHoverButton::SetButtonBitmaps(int inId, const QColor& inTransparent, int outId,
                                   const QColor& outTransparent) {
    const QImage in = ResourceBitmap(inId);
    const QImage in2x = ResourceBitmap2x(inId);
    QImage out, out2x;
    QColor outColor = outTransparent;
    if (outId == Darker || outId == Grey) {
        const auto derive = outId == Darker ? DarkerPicture : GreyPicture;
        out = derive(in, inTransparent);
        out2x = in2x.isNull() ? QImage() : derive(in2x, inTransparent);
        outColor = inTransparent;
    } else if (outId != 0) {
        out = ResourceBitmap(outId);
        out2x = ResourceBitmap2x(outId);
        // A missing second resource is a fault of the caller's, not "no second picture".
        if (out.isNull()) {
            releasePictures();
            update();
            return InvalidResource;
        }
    }

    releasePictures();
    const struct {
        const QImage& image;
        const QImage& doubled;
        const QColor& transparent;
    } entries[2] = {{in, in2x, inTransparent}, {out, out2x, outColor}};
    for (int i = 0; i < 2; ++i) {
        if (i == 1 && entries[i].image.isNull())
            break;
        if (entries[i].image.isNull() || entries[i].image.size().isEmpty()) {
            releasePictures();
            update();
            return InvalidResource;
        }
        const QImage masked = WithTransparentColor(entries[i].image, entries[i].transparent);
        if (masked.isNull()) {
            releasePictures();
            update();
            return FailedMask;
        }
        Picture& picture = pictures_[i];
        picture.pixmaps.normal = QPixmap::fromImage(masked);
        picture.pixmaps.normal.setDevicePixelRatio(1.0);
        if (entries[i].doubled.size() == 2 * entries[i].image.size()) {
            picture.pixmaps.doubled = QPixmap::fromImage(
                WithTransparentColor(entries[i].doubled, entries[i].transparent));
            picture.pixmaps.doubled.setDevicePixelRatio(2.0);
        }
        picture.size = entries[i].image.size();
    }
    update();
    return Ok;
}

int CHoverButton::SetButtonBitmaps(const QImage& in, const QColor& inTransparent, const QImage& out,
                                   const QColor& outTransparent) {
    releasePictures();
    const QImage* images[2] = {&in, &out};
    const QColor* colors[2] = {&inTransparent, &outTransparent};
    for (int i = 0; i < 2; ++i) {
        if (i == 1 && out.isNull())
            break;
        if (images[i]->isNull() || images[i]->size().isEmpty()) {
            releasePictures();
            update();
            return InvalidResource;
        }
        const QImage masked = WithTransparentColor(*images[i], *colors[i]);
        if (masked.isNull()) {
            releasePictures();
            update();
            return FailedMask;
        }
        pictures_[i].pixmaps.normal = QPixmap::fromImage(masked);
        pictures_[i].pixmaps.normal.setDevicePixelRatio(1.0);
        pictures_[i].size = images[i]->size();
    }
    update();
    return Ok;
}

int CHoverButton::SetButtonBitmaps(const QImage& in, const QColor& transparent,
                                   DerivedPicture derived) {
    const QImage out =
        derived == Darker ? DarkerPicture(in, transparent) : GreyPicture(in, transparent);
    return SetButtonBitmaps(in, transparent, out, transparent);
}

int CHoverButton::SetButtonIcons(const QIcon& in, QSize size, const QIcon& out) {
    releasePictures();
    if (in.isNull() || size.isEmpty()) {
        update();
        return InvalidResource;
    }
    pictures_[0].icon = in;
    pictures_[0].size = size;
    if (!out.isNull()) {
        pictures_[1].icon = out;
        pictures_[1].size = size;
    }
    update();
    return Ok;
}

int CHoverButton::SetImageAlignment(quint8 alignment, bool redraw) {
    if (alignment > PictureUnderCaption)
        return InvalidAlignment;
    alignment_ = alignment;
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetPressedStyle(quint8 style, bool redraw) {
    switch (style) {
        case PressedRightDown:
            pressedOffset_ = QPoint(1, 1);
            break;
        case PressedDown:
            pressedOffset_ = QPoint(0, 2);
            break;
        default:
            return InvalidPressedStyle;
    }
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetFlat(bool flat, bool redraw) {
    flat_ = flat;
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetBorderDrawing(bool on, bool redraw) {
    drawBorder_ = on;
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetFocusInFlatMode(bool on, bool redraw) {
    drawFocusInFlatMode_ = on;
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetTransparentBackground(bool redraw) {
    // Nothing to snapshot: Qt composes a widget that paints no background over its parent's
    // current pixels.
    transparentBackground_ = true;
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetColor(quint8 index, const QColor& color, bool redraw) {
    if (index >= kColorCount)
        return InvalidIndex;
    colors_[index] = color;
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::GetColor(quint8 index, QColor* color) const {
    if (index >= kColorCount)
        return InvalidIndex;
    if (color != nullptr)
        *color = colors_[index];
    return Ok;
}

int CHoverButton::SetDefaultColors(bool redraw) {
    const QColor face = palette().color(QPalette::Button);
    const QColor text = palette().color(QPalette::ButtonText);
    colors_ = {face, text, face, text, face, text};
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetDisabledPictureGreyed(bool on, bool redraw) {
    showDisabledPicture_ = on;
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SizeToImage() {
    // Without a picture the button keeps its size rather than shrinking to nothing.
    if (pictures_[0].isNull())
        return InvalidResource;
    margin_ = QPoint(0, 0);
    resize(pictures_[0].size);
    return Ok;
}

int CHoverButton::SetCheckBox(bool on, bool redraw) {
    checkBox_ = on;
    setCheckable(on);
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetCheck(int state, bool redraw) {
    if (!checkBox_)
        return Ok;
    setChecked(state == 1 || state == 2);
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::GetCheck() const {
    return checkBox_ && isChecked() ? 1 : 0;
}

int CHoverButton::SetPopupMenu(QMenu* menu, bool redraw) {
    QMenu* old = menu_;
    if (menu != nullptr && menu->parent() != this)
        menu->setParent(this, menu->windowFlags());
    // QPushButton shows its menu under itself on press and draws itself down meanwhile; the
    // chosen action's own signal stands in for the WM_COMMAND posted to an owner window.
    setMenu(menu);
    menu_ = menu;
    if (old != nullptr && old != menu && old->parent() == this)
        old->deleteLater();
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::SetLinkTarget(const QString& target) {
    linkTarget_ = target;
    return Ok;
}

int CHoverButton::SetButtonCursor(const QCursor& cursor, bool redraw) {
    // The widget's cursor stands in for answering WM_SETCURSOR.
    setCursor(cursor);
    if (redraw)
        update();
    return Ok;
}

int CHoverButton::UnsetButtonCursor() {
    unsetCursor();
    return Ok;
}

int CHoverButton::SetTooltipText(const QString& text, bool activate) {
    // Qt's tooltips stand in for the tooltip control and the relaying of mouse messages to it.
    tooltipText_ = text;
    return ActivateTooltip(activate);
}

int CHoverButton::ActivateTooltip(bool on) {
    setToolTip(on ? tooltipText_ : QString());
    return Ok;
}

int CHoverButton::SetAlwaysTrack(bool on) {
    alwaysTrack_ = on;
    return Ok;
}

void CHoverButton::onClicked() {
    // A check box's state is toggled by QAbstractButton before clicked() comes.
    if (!linkTarget_.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(linkTarget_));
}

bool CHoverButton::drawsPressed() const {
    if (checkBox_)
        return isDown() || isChecked();
    return isDown() || (menu_ != nullptr && menu_->isVisible());
}

int CHoverButton::shownPicture() const {
    if (pictures_[0].isNull())
        return -1;
    const bool pressed = drawsPressed();
    const bool in = checkBox_ ? pressed : (pressed || pointerOver_);
    if (in || pictures_[1].isNull())
        return 0;
    return 1;
}

void CHoverButton::layoutRects(QRect* pictureOut, QRect* captionOut) const {
    const QRect item = rect();
    QRect caption = item;
    const int shown = shownPicture();
    const QSize size = shown < 0 ? QSize() : pictures_[size_t(shown)].size;
    QRect picture(item.topLeft(), size);
    const bool hasCaption = !text().isEmpty();
    const int centredX = item.left() + (item.width() - size.width()) / 2;
    const int centredY = item.top() + (item.height() - size.height()) / 2;
    switch (alignment_) {
        case PictureLeft:
            if (hasCaption) {
                picture.moveLeft(item.left() + margin_.x());
                caption.setLeft(caption.left() + size.width() + margin_.x());
            } else {
                picture.moveLeft(centredX);
            }
            picture.moveTop(centredY);
            break;
        case PictureAbove:
            picture.moveLeft(centredX);
            if (hasCaption) {
                picture.moveTop(item.top() + margin_.y());
                caption.setTop(caption.top() + size.height() + margin_.y());
            } else {
                picture.moveTop(centredY);
            }
            break;
        case PictureRight:
            if (hasCaption) {
                picture.moveLeft(item.right() + 1 - size.width() - margin_.x());
                caption.setLeft(item.left() + margin_.x());
                caption.setRight(picture.left() - 1);
            } else {
                picture.moveLeft(centredX);
            }
            picture.moveTop(centredY);
            break;
        default:  // picture and caption over each other
            break;
    }
    if (drawsPressed() && !checkBox_) {
        picture.translate(pressedOffset_);
        caption.translate(pressedOffset_);
    }
    if (pictureOut != nullptr)
        *pictureOut = picture;
    if (captionOut != nullptr)
        *captionOut = caption;
}

QRect CHoverButton::pictureRect() const {
    QRect picture;
    layoutRects(&picture, nullptr);
    return picture;
}

QRect CHoverButton::captionRect() const {
    QRect caption;
    layoutRects(nullptr, &caption);
    return caption;
}

QColor CHoverButton::stateColor(bool background) const {
    const int offset = background ? 0 : 1;
    if (pointerOver_ || drawsPressed())
        return colors_[HoverBackground + offset];
    if (hasFocus())
        return colors_[FocusBackground + offset];
    return colors_[NormalBackground + offset];
}

void CHoverButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool pressed = drawsPressed();
    const bool focused = hasFocus();
    const bool disabled = !isEnabled();
    QRect item = rect();

    // With a transparent background Qt has already drawn the parent's pixels beneath.
    if (!transparentBackground_) {
        if (!flat_ && (focused || isDefault())) {
            painter.setPen(Qt::black);
            painter.drawRect(item.adjusted(0, 0, -1, -1));
            item.adjust(1, 1, -1, -1);
        }
        painter.fillRect(item, stateColor(true));
    }

    const QPalette& colours = palette();
    if (pressed) {
        if (flat_ && drawBorder_) {
            qDrawShadeRect(&painter, item, colours, true, 1);
        } else if (!flat_) {
            painter.setPen(colours.color(QPalette::Dark));
            painter.drawRect(item.adjusted(0, 0, -1, -1));
        }
    } else if (!flat_) {
        qDrawWinButton(&painter, item, colours, false);
    } else if (pointerOver_ && drawBorder_) {
        qDrawShadeRect(&painter, item, colours, false, 1);
    }

    QRect pictureArea, captionArea;
    layoutRects(&pictureArea, &captionArea);
    if (const int shown = shownPicture(); shown >= 0) {
        const Picture& picture = pictures_[size_t(shown)];
        QPixmap pixmap = picture.icon.isNull()
                             ? picture.pixmaps.forDevice(painter)
                             : picture.icon.pixmap(picture.size, devicePixelRatioF());
        if (disabled && showDisabledPicture_) {
            // The style's disabled rendering stands in for DrawState with DSS_DISABLED.
            QStyleOption option;
            option.initFrom(this);
            pixmap = style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
        }
        painter.drawPixmap(pictureArea, pixmap);
    }

    if (!text().isEmpty()) {
        const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
        if (disabled) {
            painter.setPen(colours.color(QPalette::Light));
            painter.drawText(captionArea.translated(1, 1), flags, text());
            painter.setPen(colours.color(QPalette::Dark));
        } else {
            painter.setPen(stateColor(false));
        }
        painter.drawText(captionArea, flags, text());
    }

    if (focused && (!flat_ || drawFocusInFlatMode_)) {
        // A dotted rectangle as DrawFocusRect draws it, whatever the style: some styles show
        // focus only after a key press, and the button must show it after every focus change.
        QPen dotted(stateColor(false), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void CHoverButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    if (!flat_)
        return;
    // A press that began elsewhere and was dragged here does not light the button up.
    if ((QGuiApplication::mouseButtons() & Qt::LeftButton) && !pointerOver_)
        return;
    if (!alwaysTrack_ && QApplication::activeWindow() == nullptr)
        return;
    if (!pointerOver_) {
        pointerOver_ = true;
        update();
    }
}

void CHoverButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    stopHover();
}

void CHoverButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    stopHover();
}

void CHoverButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    switch (event->type()) {
        case QEvent::ActivationChange:
            if (!isActiveWindow())
                stopHover();
            break;
        case QEvent::EnabledChange:
            // Qt itself passes the focus on from a widget that is disabled.
            if (!isEnabled())
                stopHover();
            break;
        case QEvent::PaletteChange:
            // The system's colours changed (WM_SYSCOLORCHANGE).
            SetDefaultColors(true);
            break;
        default:
            break;
    }
}

void CHoverButton::stopHover() {
    if (flat_ && pointerOver_) {
        pointerOver_ = false;
        update();
    }
}

}  // namespace parcelo
