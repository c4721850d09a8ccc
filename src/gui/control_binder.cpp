#include "gui/control_binder.h"

#include <QApplication>
#include <QWidget>

#include "app/fqpane.h"
#include "gui/face_actions.h"
#include "gui/memo_view.h"
#include "gui/widget_bindings.h"

namespace qpane {

ControlBinder::ControlBinder(QWidget& window, FaceActions& actions)
    : QObject(&window), window_(window), actions_(actions), core_(actions.core()) {}

ControlBinder::~ControlBinder() {
    core_.controls.setObserver(nullptr);
}

void ControlBinder::bindAll(std::function<void(Control&)> onPageOrWindow) {
    onPageOrWindow_ = std::move(onPageOrWindow);
    for (const auto& [name, control] : core_.controls.all()) {
        const ControlKind kind = control->kind();
        if (kind == ControlKind::Timer) continue;
        if (kind == ControlKind::Window || kind == ControlKind::Page) {
            widgets_[control] = kind == ControlKind::Window
                                    ? &window_
                                    : window_.findChild<QWidget*>(QString::fromStdString(name));
            continue;
        }
        bind(*control, window_.findChild<QWidget*>(QString::fromStdString(name)));
    }
    for (const auto& [control, refresh] : refreshers_)
        controls_[widgets_[control]] = core_.controls.find(control->name());
    bindMemos();
    watchFocus();

    core_.controls.setObserver([this](Control& control) { show(control); });
    actions_.setAfterAction([this](Control* control) {
        if (control) show(*control);
        applyFocus();
    });
    for (const auto& [name, control] : core_.controls.all())
        show(*control);
}

void ControlBinder::bind(Control& control, QWidget* widget) {
    std::function<void()> refresh = widget ? bindWidget(control, widget, actions_) : nullptr;
    if (!refresh) {
        unbound_.push_back(control.name());
        return;
    }
    widgets_[&control] = widget;
    refreshers_[&control] = std::move(refresh);
}

void ControlBinder::bindMemos() {
    const std::pair<const char*, LineList*> memos[] = {{"Memo1", &core_.Memo1},
                                                       {"Memo2", &core_.Memo2},
                                                       {"Memo3", &core_.Memo3},
                                                       {"Memo4", &core_.Memo4},
                                                       {"Memo5", &core_.Memo5}};
    for (const auto& [name, list] : memos) {
        if (auto* memo = window_.findChild<MemoView*>(QString::fromLatin1(name)))
            memo->bind(*list);
        else
            unbound_.push_back(name);
    }
}

void ControlBinder::show(Control& control) {
    if (control.kind() == ControlKind::Window || control.kind() == ControlKind::Page) {
        if (onPageOrWindow_) onPageOrWindow_(control);
        return;
    }
    const auto it = refreshers_.find(&control);
    if (it != refreshers_.end()) it->second();
}

QWidget* ControlBinder::widgetOf(const Control& control) const {
    const auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

Control* ControlBinder::controlOf(QWidget* widget) const {
    // The focus may sit in a part of a control's widget (the field of a spin edit).
    for (QWidget* w = widget; w && w != &window_; w = w->parentWidget()) {
        const auto it = controls_.find(w);
        if (it != controls_.end()) return it->second;
    }
    return nullptr;
}

void ControlBinder::watchFocus() {
    // The core knows which control has the focus, so that a handler that moves it moves it
    // from where the operator left it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || now->window() != &window_) return;
        Control* control = controlOf(now);
        core_.setFocus(control ? control->name() : std::string());
    });
}

void ControlBinder::applyFocus() {
    const std::string& name = core_.focusedControl();
    if (name.empty()) return;
    Control* control = core_.controls.find(name);
    QWidget* widget = control ? widgetOf(*control) : nullptr;
    if (widget && !widget->hasFocus()) widget->setFocus(Qt::OtherFocusReason);
}

}  // namespace qpane
