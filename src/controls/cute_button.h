#pragma once

#include <QColor>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class QPainter;
class QShortcut;

namespace qpane {

class TCuteButtonTimer;

// The push button that most buttons of the main window are made of: a panel that paints itself
// with a coloured face, a bevel in two configurable colours and a single-line caption, shows a
// raised bevel while the mouse is over it or it has the focus and a lowered one while it is held
// down, and can open a drop-down menu at once or after a delay.
//
// The outer bevel is the state display: none = idle, raised = hover or focus, lowered = pressed.
// The window uses the button through setCaption, setColor, setFontColor, setFont and clicked().
class TCuteButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(Alignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(Bevel BevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(Bevel BevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(QColor BevelHighlightColor READ bevelHighlightColor WRITE setBevelHighlightColor)
    Q_PROPERTY(QColor BevelShadowColor READ bevelShadowColor WRITE setBevelShadowColor)
    Q_PROPERTY(QColor DisabledColor READ disabledColor WRITE setDisabledColor)
    Q_PROPERTY(bool UseDisabledColor READ useDisabledColor WRITE setUseDisabledColor)
    Q_PROPERTY(QMenu* DropDownMenu READ dropDownMenu WRITE setDropDownMenu)
    Q_PROPERTY(int DropDownDelay READ dropDownDelay WRITE setDropDownDelay)
    Q_PROPERTY(bool EgnoreContClick READ egnoreContClick WRITE setEgnoreContClick)
    Q_PROPERTY(bool Flat READ flat WRITE setFlat)
    Q_PROPERTY(bool TabFocusUp READ tabFocusUp WRITE setTabFocusUp)
    Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)
    Q_PROPERTY(TextLayout Layout READ layout WRITE setLayout)
    Q_PROPERTY(int MarginX READ marginX WRITE setMarginX)
    Q_PROPERTY(int MarginY READ marginY WRITE setMarginY)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)

  public:
    enum class Bevel { None, Lowered, Raised };
    Q_ENUM(Bevel)
    enum class Alignment { Left, Right, Center };
    Q_ENUM(Alignment)
    enum class TextLayout { Top, Center, Bottom };
    Q_ENUM(TextLayout)

    // The shift state handed to OnMouseEnter and OnMouseLeave: modifier keys and mouse buttons.
    enum class ShiftKey {
        Shift = 0x01,
        Alt = 0x02,
        Ctrl = 0x04,
        Left = 0x08,
        Right = 0x10,
        Middle = 0x20
    };
    Q_DECLARE_FLAGS(ShiftState, ShiftKey)
    Q_FLAG(ShiftState)

    static constexpr int kDefaultWidth = 75;
    static constexpr int kDefaultHeight = 25;
    // A margin of this value is not applied; smaller values are stored as this one.
    static constexpr int kNoMargin = -1;

    explicit TCuteButton(QWidget* parent = nullptr);
    explicit TCuteButton(const QString& caption, QWidget* parent = nullptr);
    ~TCuteButton() override;

    // Caption, face and text colour. An invalid colour returns to the palette's (the system
    // colour of the button face, or of button text).
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    QColor color() const;
    void setColor(const QColor& color);
    QColor fontColor() const;
    void setFontColor(const QColor& color);
    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment alignment);

    // The panel's bevels. The bevel width is at least 1.
    Bevel bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(Bevel bevel);
    Bevel bevelInner() const { return bevelInner_; }
    void setBevelInner(Bevel bevel);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);

    // Bevel colours; an invalid colour returns to the palette's light and dark colours.
    QColor bevelHighlightColor() const;
    void setBevelHighlightColor(const QColor& color);
    QColor bevelShadowColor() const;
    void setBevelShadowColor(const QColor& color);

    QColor disabledColor() const { return disabledColor_; }
    void setDisabledColor(const QColor& color);
    bool useDisabledColor() const { return useDisabledColor_; }
    void setUseDisabledColor(bool use);

    // The menu is not owned; when it is destroyed the button has no menu.
    QMenu* dropDownMenu() const { return dropDownMenu_; }
    void setDropDownMenu(QMenu* menu);
    // Milliseconds; 0 opens the menu on the press, n > 0 only after the button is held n ms.
    // Negative values are stored as 0.
    int dropDownDelay() const { return dropDownDelay_; }
    void setDropDownDelay(int ms);

    bool egnoreContClick() const { return egnoreContClick_; }
    void setEgnoreContClick(bool ignore);
    bool flat() const { return flat_; }
    void setFlat(bool flat);
    bool tabFocusUp() const { return tabFocusUp_; }
    void setTabFocusUp(bool up);
    bool tabStop() const;
    void setTabStop(bool stop);
    TextLayout layout() const { return layout_; }
    void setLayout(TextLayout layout);
    int marginX() const { return marginX_; }
    void setMarginX(int margin);
    int marginY() const { return marginY_; }
    void setMarginY(int margin);
    bool showFocusRect() const { return showFocusRect_; }
    void setShowFocusRect(bool show);

    QSize sizeHint() const override;

    // Raises clicked(), unless the press that closed a drop-down is being released, or the
    // click handler is already running with EgnoreContClick set.
    virtual void Click();

  signals:
    void clicked();
    void OnMouseEnter(qpane::TCuteButton* sender, qpane::TCuteButton::ShiftState shift, int x,
                      int y);
    void OnMouseLeave(qpane::TCuteButton* sender, qpane::TCuteButton::ShiftState shift, int x,
                      int y);

  protected:
    virtual void Paint(QPainter& canvas);
    // Begins a drop-down on a press: at once, or when the delay timer fires.
    virtual void DropDownPress();
    // Shows the menu below the button's bottom-left corner and waits until it closes.
    virtual void DropDown();
    virtual void MouseEnter(ShiftState shift, QPoint pos);
    virtual void MouseLeave(ShiftState shift, QPoint pos);

    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    friend class TCuteButtonTimer;

    QRect paintBevel(QPainter& canvas, QRect rect, Bevel bevel) const;
    void repaintIfDisabled();
    void updateAccelerator();

    // Enter and the accelerator: pressed look, click or drop-down, bevel restored.
    void pressByKey();
    // The left button's release at pos: the capture ends, a pending click is raised when pos
    // lies inside, then the bevel follows the mouse. The end of a mouse drop-down uses it too.
    void leftButtonUp(QPoint pos);
    // The space bar's release; the end of a keyboard drop-down uses it too.
    void spaceUp();
    // After a key press or release: raised while focused with TabFocusUp, else none.
    void restoreBevelAfterKey();
    void delayTimerFired();
    void freeDelayTimer();
    void cancelPress();
    void setHovered(bool inside, ShiftState shift, QPoint pos);
    bool isActiveControl() const;
    static ShiftState currentShiftState();

    QString caption_;
    std::optional<QColor> color_;
    std::optional<QColor> fontColor_;
    Alignment alignment_ = Alignment::Center;
    Bevel bevelOuter_ = Bevel::None;
    Bevel bevelInner_ = Bevel::Raised;
    int bevelWidth_ = 1;
    std::optional<QColor> bevelHighlightColor_;
    std::optional<QColor> bevelShadowColor_;
    QColor disabledColor_{128, 128, 128};
    bool useDisabledColor_ = false;
    QPointer<QMenu> dropDownMenu_;
    int dropDownDelay_ = 0;
    bool egnoreContClick_ = false;
    bool flat_ = false;
    bool tabFocusUp_ = true;
    TextLayout layout_ = TextLayout::Center;
    int marginX_ = kNoMargin;
    int marginY_ = kNoMargin;
    bool showFocusRect_ = false;

    bool dropDownActive_ = false;   // a menu is being shown
    bool spaceDown_ = false;        // the space bar pressed the button
    bool keyboardDrop_ = false;     // the pending drop-down was started by the keyboard
    bool captured_ = false;         // the left press began here and has not been released
    bool clickPending_ = false;     // a left release inside will click
    bool hovered_ = false;          // the mouse is over the button (as far as the bevel knows)
    bool handlerDetached_ = false;  // EgnoreContClick: the click handler is running
    TCuteButtonTimer* delayTimer_ = nullptr;
    QShortcut* accelerator_ = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TCuteButton::ShiftState)

}  // namespace qpane
