#include "gui/control_binder.h"

#include <QApplication>
#include <QWidget>

#include "app/fqpane.h"
#include "gui/face_actions.h"

namespace qpane {

ControlBinder::ControlBinder(QWidget& window, FaceActions& actions)
    : QObject(&window), window_(window), actions_(actions), core_(actions.core()) {}

ControlBinder::~ControlBinder() {
    core_.controls.setObserver(nullptr);
}

void ControlBinder::bind(Control& control, QWidget& widget, std::function<void()> show,
                         bool holdsFocus) {
    if (bindings_.count(&control)) throw BindingError(control.name() + " has two widgets");
    if (controls_.count(&widget))
        throw BindingError(control.name() + " and " + controls_.at(&widget)->name() +
                           " share one widget");
    bindings_.emplace(&control, Binding{&widget, std::move(show), holdsFocus});
    controls_.emplace(&widget, &control);
}

void ControlBinder::finish() {
    std::string missing;
    for (const auto& [name, control] : core_.controls.all())
        if (control->visual() && !bindings_.count(control)) missing += " " + name;
    if (!missing.empty()) throw BindingError("no widget for the controls" + missing);

    watchFocus();
    core_.controls.setObserver([this](Control& control) { show(control); });
    actions_.setAfterAction([this](Control* control) {
        if (control) show(*control);
        applyFocus();
    });
    for (const auto& [name, control] : core_.controls.all())
        show(*control);
}

void ControlBinder::show(Control& control) {
    const auto it = bindings_.find(&control);
    if (it != bindings_.end() && it->second.show) it->second.show();
}

QWidget* ControlBinder::widgetOf(const Control& control) const {
    const auto it = bindings_.find(&control);
    return it == bindings_.end() ? nullptr : it->second.widget;
}

Control* ControlBinder::controlOf(QWidget* widget) const {
    // The focus may sit in a part of a control's widget (the field of a spin edit).
    for (QWidget* w = widget; w && w != &window_; w = w->parentWidget()) {
        const auto it = controls_.find(w);
        if (it != controls_.end() && bindings_.at(it->second).holdsFocus) return it->second;
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
