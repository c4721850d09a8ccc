#include "gui/widget_bindings.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include "platform/controls.h"
#include "store/grid_control.h"
#include "controls/cute_button.h"
#include "gui/face_actions.h"
#include "gui/grid_view.h"
#include "gui/panel_widget.h"
#include "gui/pattern_image.h"
#include "gui/radio_group_box.h"
#include "gui/spin_edit_widget.h"
#include "store/query.h"

namespace qpane {

namespace {

using Refresher = std::function<void()>;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
QColor colorOf(uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// Enter and the focus leaving, for the controls whose handlers want them.
class KeyAndFocusFilter : public QObject {
  public:
    KeyAndFocusFilter(QWidget* widget, std::function<void()> onEnter, std::function<void()> onExit)
        : QObject(widget), onEnter_(std::move(onEnter)), onExit_(std::move(onExit)) {
        widget->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && onEnter_) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                onEnter_();
                return true;
            }
        }
        if (event->type() == QEvent::FocusOut && onExit_) {
            // Leaving the window for another program is not leaving the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) onExit_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> onEnter_, onExit_;
};

void click(Control& c) {
    if (c.OnClick) c.OnClick();
}

Refresher bindButton(Control& c, TCuteButton* w, FaceActions& a) {
    QObject::connect(w, &TCuteButton::clicked, w, [&c, &a] { a.run(&c, [&c] { click(c); }); });
    return [&c, w] {
        w->setCaption(qs(c.caption()));
        w->setColor(colorOf(c.color()));
    };
}

Refresher bindImage(Control& c, PatternImage* w, FaceActions& a) {
    QObject::connect(w, &PatternImage::clicked, w, [&c, &a] { a.run(&c, [&c] { click(c); }); });
    return [&c, w] { w->setCaption(qs(c.caption())); };
}

Refresher bindPanel(Control& c, PanelWidget* w) {
    return [&c, w] {
        w->setColor(colorOf(c.color()));
        w->setCaption(qs(c.caption()));
    };
}

Refresher bindLabel(Control& c, QLabel* w) {
    return [&c, w] { w->setText(qs(c.caption())); };
}

Refresher bindRadioGroup(RadioGroup& c, RadioGroupBox* w, FaceActions& a) {
    QObject::connect(w, &RadioGroupBox::itemClicked, w,
                     [&c, &a](int index) { a.run(&c, [&c, index] { c.SetItemIndex(index); }); });
    return [&c, w] {
        w->setTitle(qs(c.caption()));
        w->setItemIndex(c.ItemIndex());
    };
}

Refresher bindCheckBox(CheckBox& c, QCheckBox* w, FaceActions& a) {
    QObject::connect(w, &QCheckBox::clicked, w, [&c, &a](bool checked) {
        a.run(&c, [&c, checked] { c.SetChecked(checked); });
    });
    return [&c, w] {
        const QSignalBlocker block(w);
        w->setText(qs(c.caption()));
        w->setChecked(c.Checked());
    };
}

void bindKeysAndExit(Control& c, QWidget* w, FaceActions& a) {
    std::function<void()> onEnter, onExit;
    if (c.OnKeyDown)
        onEnter = [&c, &a] {
            a.run(&c, [&c] {
                if (c.OnKeyDown) c.OnKeyDown("Enter");
            });
        };
    if (c.OnExit)
        onExit = [&c, &a] {
            a.run(&c, [&c] {
                if (c.OnExit) c.OnExit();
            });
        };
    if (onEnter || onExit) new KeyAndFocusFilter(w, std::move(onEnter), std::move(onExit));
}

Refresher bindEdit(Edit& c, QLineEdit* w, FaceActions& a) {
    QObject::connect(w, &QLineEdit::textEdited, w, [&c, &a](const QString& text) {
        a.run(&c, [&c, text = text.toStdString()] { c.SetText(text); });
    });
    bindKeysAndExit(c, w, a);
    return [&c, w] {
        const QString text = qs(c.Text());
        if (w->text() == text) return;  // the operator's own typing: keep the cursor
        const QSignalBlocker block(w);
        w->setText(text);
    };
}

Refresher bindMaskEdit(MaskEdit& c, QLineEdit* w, FaceActions& a) {
    QObject::connect(w, &QLineEdit::textEdited, w,
                     [&c, &a, w] { a.run(&c, [&c, text = maskedText(*w)] { c.SetText(text); }); });
    bindKeysAndExit(c, w, a);
    return [&c, w] {
        if (maskedText(*w) == c.Text()) return;
        const QSignalBlocker block(w);
        // The mask skips a blank where it wants a digit; its blank character keeps the place.
        w->setText(qs(c.Text()).replace(QLatin1Char(' '), QLatin1Char('_')));
    };
}

Refresher bindSpinEdit(SpinEdit& c, SpinEditWidget* w, FaceActions& a) {
    QObject::connect(w, &SpinEditWidget::textTyped, w, [&c, &a](const QString& text) {
        a.run(&c, [&c, text = text.toStdString()] { c.SetText(text); });
    });
    QObject::connect(w, &SpinEditWidget::stepped, w, [&c, &a](int delta) {
        a.run(&c, [&c, delta] { c.SetValue(c.Value() + delta); });
    });
    bindKeysAndExit(c, w->editor(), a);
    return [&c, w] { w->setText(qs(c.Text())); };
}

Refresher bindTrackBar(TrackBar& c, QSlider* w, FaceActions& a) {
    QObject::connect(w, &QSlider::valueChanged, w, [&c, &a](int position) {
        a.run(&c, [&c, position] { c.SetPosition(position); });
    });
    return [&c, w] {
        const QSignalBlocker block(w);
        w->setValue(c.Position());
    };
}

Refresher bindGrid(GridControl& c, GridView* w, FaceActions& a) {
    QObject::connect(w, &GridView::rowMoved, w,
                     [&c, &a](int row) { a.run(&c, [&c, row] { c.query().setRecNo(row); }); });
    QObject::connect(w, &GridView::rowClicked, w, [&c, &a](int row) {
        a.run(&c, [&c, row] {
            c.query().setRecNo(row);
            click(c);
        });
    });
    QObject::connect(w, &GridView::enterPressed, w, [&c, &a](int row) {
        a.run(&c, [&c, row] {
            if (row >= 0) c.query().setRecNo(row);
            if (c.OnKeyDown) c.OnKeyDown("Enter");
        });
    });
    return [] {};
}

template <typename W, typename C, typename Bind>
Refresher ifKinds(Control& c, QWidget* widget, Bind bind) {
    auto* w = qobject_cast<W*>(widget);
    auto* control = dynamic_cast<C*>(&c);
    return w && control ? bind(*control, w) : Refresher();
}

Refresher bindByKind(Control& c, QWidget* widget, FaceActions& a) {
    switch (c.kind()) {
        case ControlKind::Button:
            return ifKinds<TCuteButton, Control>(
                c, widget, [&a](Control& k, TCuteButton* w) { return bindButton(k, w, a); });
        case ControlKind::Image:
            return ifKinds<PatternImage, Control>(
                c, widget, [&a](Control& k, PatternImage* w) { return bindImage(k, w, a); });
        case ControlKind::Panel:
            // PageControl1 is the page stack: nothing of its own to show.
            if (!qobject_cast<PanelWidget*>(widget)) return [] {};
            return ifKinds<PanelWidget, Control>(
                c, widget, [](Control& k, PanelWidget* w) { return bindPanel(k, w); });
        case ControlKind::Label:
            return ifKinds<QLabel, Control>(c, widget,
                                            [](Control& k, QLabel* w) { return bindLabel(k, w); });
        case ControlKind::RadioGroup:
            return ifKinds<RadioGroupBox, RadioGroup>(
                c, widget,
                [&a](RadioGroup& k, RadioGroupBox* w) { return bindRadioGroup(k, w, a); });
        case ControlKind::CheckBox:
            return ifKinds<QCheckBox, CheckBox>(
                c, widget, [&a](CheckBox& k, QCheckBox* w) { return bindCheckBox(k, w, a); });
        case ControlKind::Edit:
            return ifKinds<QLineEdit, Edit>(
                c, widget, [&a](Edit& k, QLineEdit* w) { return bindEdit(k, w, a); });
        case ControlKind::MaskEdit:
            return ifKinds<QLineEdit, MaskEdit>(
                c, widget, [&a](MaskEdit& k, QLineEdit* w) { return bindMaskEdit(k, w, a); });
        case ControlKind::SpinEdit:
            return ifKinds<SpinEditWidget, SpinEdit>(
                c, widget, [&a](SpinEdit& k, SpinEditWidget* w) { return bindSpinEdit(k, w, a); });
        case ControlKind::TrackBar:
            return ifKinds<QSlider, TrackBar>(
                c, widget, [&a](TrackBar& k, QSlider* w) { return bindTrackBar(k, w, a); });
        case ControlKind::Grid:
            return ifKinds<GridView, GridControl>(
                c, widget, [&a](GridControl& k, GridView* w) { return bindGrid(k, w, a); });
        case ControlKind::Window:
        case ControlKind::Page:
        case ControlKind::Timer: break;
    }
    return {};
}

}  // namespace

std::string maskedText(const QLineEdit& edit) {
    std::string text = edit.displayText().toStdString();
    for (char& ch : text)
        if (ch == '_') ch = ' ';
    return text;
}

std::function<void()> bindWidget(Control& control, QWidget* widget, FaceActions& actions) {
    Refresher own = bindByKind(control, widget, actions);
    if (!own) return {};
    return [&control, widget, own = std::move(own)] {
        const QSignalBlocker block(widget);
        own();
        widget->setEnabled(control.enabled());
        widget->setVisible(control.visible());
    };
}

}  // namespace qpane
