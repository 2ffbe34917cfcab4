// A static text that is a hyperlink: drawn in link colours, underlined, with a hand cursor
// and its target as tooltip; a click opens the target through the desktop.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QString>

#include <functional>

namespace parcelo {

class CLinkStatic : public QLabel {
    Q_OBJECT

  public:
    // Underline modes.
    static constexpr int kUnderlineHover = -1;
    static constexpr int kUnderlineNever = 0;
    static constexpr int kUnderlineAlways = 1;

    // Launch results as the shell reports them: above 32 is success.
    static constexpr int kOpenSucceeded = 33;
    static constexpr int kErrorNoAssociation = 31;

    // Opens a target; returns the launch result. The show command is the platform's.
    using Opener = std::function<int(const QString& target, int showCommand)>;

    // Takes `text` as window text and attaches to it: the target defaults to the text.
    explicit CLinkStatic(const QString& text = QString(), QWidget* parent = nullptr);
    ~CLinkStatic() override;

    void SetLinkTarget(const QString& target);
    void SetUnderlineMode(int mode);
    // A hover colour that is not valid means the system's highlight colour.
    void SetLinkColours(const QColor& link, const QColor& visited, const QColor& hover);
    void SetVisitedState(bool visited);
    // nullptr gives the default hand cursor.
    void SetHandCursor(const QCursor* cursor);
    void SetFitToText(bool fit);

    const QString& GetLinkTarget() const { return target_; }
    QColor GetLinkColour() const { return linkColour_; }
    QColor GetVisitedColour() const { return visitedColour_; }
    QColor GetHoverColour() const { return hoverColour_; }
    bool GetVisitedState() const { return visited_; }
    const QCursor& GetHandCursor() const { return linkCursor_; }
    int GetUnderlineMode() const { return underlineMode_; }
    bool GetFitToText() const { return fitToText_; }
    bool IsHovering() const { return hovering_; }
    // The colour the text is drawn in now.
    QColor TextColour() const;

    // Opens `target` with the opener (by default the desktop's handler for it).
    int OpenLinkTarget(const QString& target, int showCommand);
    // Replaces how targets are opened; an empty opener restores the desktop.
    void SetOpener(Opener opener);

    // "Unable to open hyperlink:" and the text for a failed launch result.
    static QString OpenFailureText(int result);

  protected:
    // Beeps and tells the user; tests catch the text instead.
    virtual void ShowOpenFailure(const QString& text);

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void fitToText();
    void startHover();
    void endHover();
    void clicked();

    QColor linkColour_{0, 0, 238};
    QColor visitedColour_{85, 26, 139};
    QColor hoverColour_{255, 0, 0};
    bool hovering_ = false;
    bool visited_ = false;
    int underlineMode_ = kUnderlineHover;
    bool fitToText_ = true;
    QString target_;
    QFont underlinedFont_;
    QFont normalFont_;
    QCursor linkCursor_;
    Opener opener_;
    bool pressed_ = false;
};

}  // namespace parcelo
