// A push button that shows a picture instead of the style's button face, changes the picture
// while the mouse is over it, and can draw on whatever its parent shows beneath it. It keeps
// everything else of a push button: focus, Tab, Space, the default button, clicked().
#pragma once

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <array>

#include "controls/resource_bitmap.h"

namespace parcelo {

class CHoverButton : public QPushButton {
    Q_OBJECT

  public:
    // What the setters give back.
    enum Result {
        Ok = 0,
        InvalidResource = 1,      // a picture without a size
        FailedMask = 2,           // the picture could not be turned into one with a mask
        InvalidIndex = 3,         // no such colour
        InvalidAlignment = 4,     // an alignment above 3
        InvalidPressedStyle = 6,  // a press style other than 0 and 1
    };

    // Where the picture goes in relation to the caption.
    enum Alignment : quint8 {
        PictureLeft = 0,
        PictureAbove = 1,
        PictureRight = 2,
        PictureUnderCaption = 3,  // both at the top left, the caption centred over the picture
    };

    // How far a press shifts picture and caption: right and down by 1, or down by 2.
    enum PressedStyle : quint8 { PressedRightDown = 0, PressedDown = 1 };

    // The six colours: background and text while hovered or pressed, normally, and focused.
    enum ColorIndex : quint8 {
        HoverBackground = 0,
        HoverText = 1,
        NormalBackground = 2,
        NormalText = 3,
        FocusBackground = 4,
        FocusText = 5,
    };
    static constexpr int kColorCount = 6;

    // In place of a second picture: the first one darkened by a quarter, or in grey.
    enum DerivedPicture { Darker = -3, Grey = -2 };

    explicit CHoverButton(QWidget* parent = nullptr);
    explicit CHoverButton(const QString& text, QWidget* parent = nullptr);
    ~CHoverButton() override;

    // The pictures: `in` while hovered or pressed, `out` otherwise (none: `in` always). Pixels
    // of a picture's transparent colour are left out; an invalid QColor leaves none out.
    // Resource ids as for ResourceBitmap; `outId` 0 means none, Darker and Grey derive it.
    int SetButtonBitmaps(int inId, const QColor& inTransparent, int outId = 0,
                         const QColor& outTransparent = QColor());
    int SetButtonBitmaps(const QImage& in, const QColor& inTransparent,
                         const QImage& out = QImage(), const QColor& outTransparent = QColor());
    int SetButtonBitmaps(const QImage& in, const QColor& transparent, DerivedPicture derived);
    // Icons instead of bitmaps, at `size`.
    int SetButtonIcons(const QIcon& in, QSize size, const QIcon& out = QIcon());

    int SetImageAlignment(quint8 alignment, bool redraw = true);
    int SetPressedStyle(quint8 style, bool redraw = true);
    int SetFlat(bool flat, bool redraw = true);
    int SetBorderDrawing(bool on, bool redraw = true);
    int SetFocusInFlatMode(bool on, bool redraw = true);
    // Draws the parent's pixels instead of a background colour.
    int SetTransparentBackground(bool redraw = true);
    int SetColor(quint8 index, const QColor& color, bool redraw = true);
    int GetColor(quint8 index, QColor* color) const;
    int SetDefaultColors(bool redraw = true);
    // Whether a disabled button shows its picture greyed (else as it is).
    int SetDisabledPictureGreyed(bool on, bool redraw = true);
    // The picture margins become 0 and the button takes the size of the hovered picture.
    int SizeToImage();

    // A check box toggles its check state with each click.
    int SetCheckBox(bool on, bool redraw = true);
    // 1 or 2 check a check box, anything else clears it; a plain button ignores it.
    int SetCheck(int state, bool redraw = true);
    int GetCheck() const;

    // A menu shown under the button when it is pressed; the button owns it. Null removes it.
    int SetPopupMenu(QMenu* menu, bool redraw = true);
    // A link opened through the desktop on each click; empty for none.
    int SetLinkTarget(const QString& target);
    int SetButtonCursor(const QCursor& cursor, bool redraw = false);
    int UnsetButtonCursor();
    int SetTooltipText(const QString& text, bool activate = true);
    int ActivateTooltip(bool on = true);
    // Off: the button lights up only while a window of this application is active.
    int SetAlwaysTrack(bool on);

    bool pointerOver() const { return pointerOver_; }
    bool isFlatLook() const { return flat_; }
    bool transparentBackground() const { return transparentBackground_; }
    bool drawsBorder() const { return drawBorder_; }
    bool drawsFocusInFlatMode() const { return drawFocusInFlatMode_; }
    quint8 imageAlignment() const { return alignment_; }
    QPoint pressedOffset() const { return pressedOffset_; }
    QPoint pictureMargin() const { return margin_; }
    const QString& linkTarget() const { return linkTarget_; }
    QMenu* popupMenu() const { return menu_; }
    // Whether this paint would show the pressed look; the picture it would show (0 while
    // hovered or pressed, 1 otherwise, -1 without pictures); and where picture and caption go.
    bool drawsPressed() const;
    int shownPicture() const;
    QRect pictureRect() const;
    QRect captionRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Qt's enter and leave events stand in for WM_MOUSEMOVE with TrackMouseEvent's
    // WM_MOUSELEAVE; a window's deactivation and a disabling arrive as changeEvent. A double
    // click needs no rewriting: QWidget takes its second press as a press, so it gives two
    // clicks.
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Picture {
        ScaledPicture pixmaps;
        QIcon icon;
        QSize size;

        bool isNull() const { return pixmaps.isNull() && icon.isNull(); }
    };

    void releasePictures();
    void stopHover();
    void onClicked();
    void layoutRects(QRect* picture, QRect* caption) const;
    QColor stateColor(bool background) const;

    // Slot 0 for hovered or pressed, slot 1 for normal.
    std::array<Picture, 2> pictures_;
    bool showDisabledPicture_ = true;
    QPoint margin_{3, 3};
    QPoint pressedOffset_{1, 1};
    bool flat_ = true;
    bool pointerOver_ = false;
    bool transparentBackground_ = false;
    bool checkBox_ = false;
    quint8 alignment_ = PictureLeft;
    bool drawBorder_ = true;
    bool drawFocusInFlatMode_ = false;
    std::array<QColor, kColorCount> colors_;
    QPointer<QMenu> menu_;
    bool alwaysTrack_ = true;
    QString tooltipText_;
    QString linkTarget_;
};

// A copy of `image` with `transparent` pixels left out (alpha 0); a null image when it cannot
// be made.
QImage WithTransparentColor(const QImage& image, const QColor& transparent);
// `image` darkened by a quarter, or turned to grey, pixels of `transparent` kept as they are.
QImage DarkerPicture(const QImage& image, const QColor& transparent);
QImage GreyPicture(const QImage& image, const QColor& transparent);

}  // namespace parcelo
