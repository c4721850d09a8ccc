#include "platform/controls.h"

#include <algorithm>
#include <stdexcept>

#include "platform/convert.h"

namespace qpane {

Control::Control(Controls& owner, std::string name, ControlKind kind)
    : owner_(owner), name_(std::move(name)), kind_(kind) {
    owner_.add(*this);
}

Control::~Control() {
    owner_.remove(*this);
}

void Control::changed() {
    owner_.changed(*this);
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    changed();
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed();
}

void Control::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    changed();
}

void Control::setColor(uint32_t color) {
    if (color_ == color) return;
    color_ = color;
    changed();
}

RadioGroup::RadioGroup(Controls& owner, std::string name, std::string caption,
                       std::vector<std::string> items, int itemIndex)
    : Control(owner, std::move(name), ControlKind::RadioGroup),
      items_(std::move(items)),
      itemIndex_(itemIndex) {
    setCaption(std::move(caption));
}

void RadioGroup::SetItemIndex(int index) {
    if (!items_.empty()) index = std::clamp(index, 0, static_cast<int>(items_.size()) - 1);
    if (index == itemIndex_) return;
    itemIndex_ = index;
    changed();
    if (OnClick) OnClick();
}

CheckBox::CheckBox(Controls& owner, std::string name, std::string caption)
    : Control(owner, std::move(name), ControlKind::CheckBox) {
    setCaption(std::move(caption));
}

void CheckBox::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    changed();
    if (OnClick) OnClick();
}

Edit::Edit(Controls& owner, std::string name, std::string text, ControlKind kind)
    : Control(owner, std::move(name), kind), text_(std::move(text)) {}

void Edit::SetText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    changed();
    if (OnChange) OnChange();
}

MaskEdit::MaskEdit(Controls& owner, std::string name, std::string text)
    : Edit(owner, std::move(name), std::move(text), ControlKind::MaskEdit) {}

std::string MaskEdit::applyMask(std::string_view typed) {
    // Character i of what was typed goes to position i; the separators of the mask stay.
    std::string text = "  :  :  .  ";
    for (size_t i = 0; i < text.size() && i < typed.size(); ++i) {
        if (text[i] != ' ') continue;
        const char c = typed[i];
        text[i] = (c >= '0' && c <= '9') ? c : ' ';
    }
    return text;
}

void MaskEdit::typeText(std::string_view typed) {
    SetText(applyMask(typed));
}

SpinEdit::SpinEdit(Controls& owner, std::string name, int minValue, int maxValue, int value)
    : Control(owner, std::move(name), ControlKind::SpinEdit),
      minValue_(minValue),
      maxValue_(maxValue),
      text_(std::to_string(std::clamp(value, minValue, maxValue))) {}

int SpinEdit::Value() const {
    int v = 0;
    try {
        v = StrToInt(text_);
    } catch (const EConvertError&) {
        return minValue_;
    }
    return std::clamp(v, minValue_, maxValue_);
}

void SpinEdit::SetValue(int value) {
    assign(std::to_string(std::clamp(value, minValue_, maxValue_)));
}

void SpinEdit::SetText(std::string text) {
    try {
        SetValue(StrToInt(text));
    } catch (const EConvertError&) {
        assign(std::move(text));
    }
}

void SpinEdit::assign(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    changed();
    if (OnChange) OnChange();
}

TrackBar::TrackBar(Controls& owner, std::string name, int minValue, int maxValue, int position)
    : Control(owner, std::move(name), ControlKind::TrackBar),
      minValue_(minValue),
      maxValue_(maxValue),
      position_(std::clamp(position, minValue, maxValue)) {}

void TrackBar::SetPosition(int position) {
    position = std::clamp(position, minValue_, maxValue_);
    if (position_ == position) return;
    position_ = position;
    changed();
    if (OnChange) OnChange();
}

TimerControl::TimerControl(Controls& owner, std::string name, Scheduler& scheduler, TimerId id,
                           int interval, bool enabled)
    : Control(owner, std::move(name), ControlKind::Timer), scheduler_(scheduler), id_(id) {
    scheduler_.setTimerInterval(id_, interval);
    scheduler_.setTimerEnabled(id_, enabled);
}

void TimerControl::SetEnabled(bool enabled) {
    if (Enabled() == enabled) return;
    scheduler_.setTimerEnabled(id_, enabled);
    changed();
}

void TimerControl::SetInterval(int ms) {
    if (Interval() == ms) return;
    scheduler_.setTimerInterval(id_, ms);
    changed();
}

void Controls::add(Control& c) {
    if (!byName_.emplace(c.name(), &c).second)
        throw std::logic_error("two controls are named " + c.name());
}

void Controls::remove(const Control& c) {
    const auto it = byName_.find(c.name());
    if (it != byName_.end() && it->second == &c) byName_.erase(it);
}

Control* Controls::find(std::string_view name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

}  // namespace qpane
