// The core's model of the window toolkit's controls: the state that the handlers read and
// write and that a face (the Qt window, qpane-replay) shows. Each kind of control is a type of
// its own, so that a face binds a control by its type and cannot bind it as another kind.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/scheduler.h"

namespace qpane {

class Controls;

// The kinds of control whose state the core keeps; a face shows each kind its own way.
enum class ControlKind {
    Window,
    Page,
    Panel,
    Label,
    Button,
    Image,
    RadioGroup,
    CheckBox,
    Edit,
    MaskEdit,
    SpinEdit,
    TrackBar,
    Timer,
    Grid,
    Memo,
    PageControl,
};

// Colours as 0xRRGGBB.
inline constexpr uint32_t clBlack = 0x000000;
inline constexpr uint32_t clBlue = 0x0000FF;
inline constexpr uint32_t clGray = 0x808080;
inline constexpr uint32_t clYellow = 0xFFFF00;
inline constexpr uint32_t clBtnFace = 0xF0F0F0;

// The state of one control of the main window: what the handlers read and write, and what a
// face shows. Every change is reported to the owner's observer.
class Control {
  public:
    // A control leaves its owner when it goes.
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    // Whether the window shows the control: a timer is a component without a widget.
    virtual bool visual() const { return true; }

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    uint32_t color() const { return color_; }
    void setColor(uint32_t color);

    // Click (buttons, images), show (pages), exit (edits), key down.
    std::function<void()> OnClick;
    std::function<void()> OnShow;
    std::function<void()> OnExit;
    std::function<void(std::string_view key)> OnKeyDown;

  protected:
    // A name that another control of the owner has already is refused (std::logic_error).
    Control(Controls& owner, std::string name, ControlKind kind);
    void changed();

  private:
    Controls& owner_;
    std::string name_;
    ControlKind kind_;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    uint32_t color_ = clBtnFace;
};

// The controls that have no state beyond the common one.
template <ControlKind K>
class PlainControl : public Control {
  public:
    PlainControl(Controls& owner, std::string name) : Control(owner, std::move(name), K) {}
};
using Window = PlainControl<ControlKind::Window>;            // the main window
using Page = PlainControl<ControlKind::Page>;                // a page of the page control
using PageControl = PlainControl<ControlKind::PageControl>;  // the stack of pages
using Panel = PlainControl<ControlKind::Panel>;
using Label = PlainControl<ControlKind::Label>;
using Button = PlainControl<ControlKind::Button>;
using Image = PlainControl<ControlKind::Image>;

// A radio group. Setting its item from the program clamps it to the items and runs OnClick
// when the item changed, as the operator's click does.
class RadioGroup : public Control {
  public:
    RadioGroup(Controls& owner, std::string name, std::string caption,
               std::vector<std::string> items, int itemIndex = -1);
    const std::vector<std::string>& items() const { return items_; }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);

  private:
    std::vector<std::string> items_;
    int itemIndex_;
};

// A check box; setting Checked to a new value runs OnClick.
class CheckBox : public Control {
  public:
    CheckBox(Controls& owner, std::string name, std::string caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

  private:
    bool checked_ = false;
};

// An edit field. OnChange runs when the text changed.
class Edit : public Control {
  public:
    Edit(Controls& owner, std::string name, std::string text = {},
         ControlKind kind = ControlKind::Edit);
    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    std::function<void()> OnChange;

  private:
    std::string text_;
};

// A masked time field with the mask "99:99:99.99;1;_": eight digit places, the separators
// kept in the text, an empty place read as a blank.
class MaskEdit : public Edit {
  public:
    MaskEdit(Controls& owner, std::string name, std::string text);
    // The operator's typing: character i goes to position i of the mask; the separators
    // stay, and a character that is not a digit leaves its place blank.
    void typeText(std::string_view typed);
    static std::string applyMask(std::string_view typed);
};

// A spin edit. A whole number is clamped to the range; other text is kept as typed and reads
// as the minimum. OnChange runs when the text changed.
class SpinEdit : public Control {
  public:
    SpinEdit(Controls& owner, std::string name, int minValue, int maxValue, int value);
    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int Value() const;
    void SetValue(int value);
    const std::string& Text() const { return text_; }
    // The operator types a text.
    void SetText(std::string text);
    std::function<void()> OnChange;

  private:
    void assign(std::string text);
    int minValue_, maxValue_;
    std::string text_;
};

// A track bar; OnChange runs when the position changed.
class TrackBar : public Control {
  public:
    TrackBar(Controls& owner, std::string name, int minValue, int maxValue, int position);
    int Position() const { return position_; }
    void SetPosition(int position);
    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    std::function<void()> OnChange;

  private:
    int minValue_, maxValue_, position_;
};

// A timer of the window: its state lives in the scheduler.
class TimerControl : public Control {
  public:
    TimerControl(Controls& owner, std::string name, Scheduler& scheduler, TimerId id, int interval,
                 bool enabled);
    bool visual() const override { return false; }
    bool Enabled() const { return scheduler_.timerEnabled(id_); }
    void SetEnabled(bool enabled);
    int Interval() const { return scheduler_.timerInterval(id_); }
    void SetInterval(int ms);

  private:
    Scheduler& scheduler_;
    TimerId id_;
};

// The controls of the window by name.
class Controls {
  public:
    Control* find(std::string_view name) const;
    template <typename T>
    T* findAs(std::string_view name) const {
        return dynamic_cast<T*>(find(name));
    }
    const std::map<std::string, Control*, std::less<>>& all() const { return byName_; }

    // Called after any change of any control.
    void setObserver(std::function<void(Control&)> observer) { observer_ = std::move(observer); }

  private:
    friend class Control;
    void add(Control& c);
    void remove(const Control& c);
    void changed(Control& c) {
        if (observer_) observer_(c);
    }
    std::map<std::string, Control*, std::less<>> byName_;
    std::function<void(Control&)> observer_;
};

}  // namespace qpane
