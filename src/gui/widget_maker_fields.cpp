// The widgets of the kinds that the operator sets: radio groups, check boxes, edit fields,
// time fields, spin edits and the track bar.
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include "gui/face_actions.h"
#include "gui/radio_group_box.h"
#include "gui/spin_edit_widget.h"
#include "gui/widget_maker.h"
#include "gui/window_font.h"

namespace qpane {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
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

// Enter and leaving reach the control's handlers, for the controls that have them when the
// window is built.
void passKeysAndExit(Control& c, QWidget* w, FaceActions& a) {
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

}  // namespace

std::string maskedText(const QLineEdit& edit) {
    std::string text = edit.displayText().toStdString();
    for (char& ch : text)
        if (ch == '_') ch = ' ';
    return text;
}

RadioGroupBox* WidgetMaker::widgetOf(QWidget* parent, RadioGroup& c, QRect geometry, int columns) {
    QStringList items;
    for (const std::string& item : c.items())
        items << qs(item);
    auto* w = new RadioGroupBox(items, columns, parent);
    QObject::connect(w, &RadioGroupBox::itemClicked, w, [&a = actions_, &c](int index) {
        a.run(&c, [&c, index] { c.SetItemIndex(index); });
    });
    bindWidget(c, w, geometry, [&c, w] {
        w->setTitle(qs(c.caption()));
        w->setItemIndex(c.ItemIndex());
    });
    return w;
}

QCheckBox* WidgetMaker::widgetOf(QWidget* parent, CheckBox& c, QRect geometry) {
    auto* w = new QCheckBox(parent);
    QObject::connect(w, &QCheckBox::clicked, w, [&a = actions_, &c](bool checked) {
        a.run(&c, [&c, checked] { c.SetChecked(checked); });
    });
    bindWidget(c, w, geometry, [&c, w] {
        w->setText(qs(c.caption()));
        w->setChecked(c.Checked());
    });
    return w;
}

QLineEdit* WidgetMaker::widgetOf(QWidget* parent, Edit& c, QRect geometry) {
    auto* w = new QLineEdit(parent);
    QObject::connect(w, &QLineEdit::textEdited, w, [&a = actions_, &c](const QString& text) {
        a.run(&c, [&c, text = text.toStdString()] { c.SetText(text); });
    });
    passKeysAndExit(c, w, actions_);
    bindWidget(c, w, geometry, [&c, w] {
        const QString text = qs(c.Text());
        if (w->text() == text) return;  // the operator's own typing: keep the cursor
        w->setText(text);
    });
    return w;
}

QLineEdit* WidgetMaker::widgetOf(QWidget* parent, MaskEdit& c, QRect geometry) {
    auto* w = new QLineEdit(parent);
    w->setInputMask(QString::fromLatin1(kTimeInputMask));
    w->setProperty("EditMask", QString::fromLatin1(kTimeEditMask));
    w->setFont(fixedPitchFont());
    QObject::connect(w, &QLineEdit::textEdited, w, [&a = actions_, &c, w] {
        a.run(&c, [&c, text = maskedText(*w)] { c.SetText(text); });
    });
    passKeysAndExit(c, w, actions_);
    bindWidget(c, w, geometry, [&c, w] {
        if (maskedText(*w) == c.Text()) return;
        // The mask skips a blank where it wants a digit; its blank character keeps the place.
        w->setText(qs(c.Text()).replace(QLatin1Char(' '), QLatin1Char('_')));
    });
    return w;
}

SpinEditWidget* WidgetMaker::widgetOf(QWidget* parent, SpinEdit& c, QRect geometry) {
    auto* w = new SpinEditWidget(parent);
    QObject::connect(w, &SpinEditWidget::textTyped, w, [&a = actions_, &c](const QString& text) {
        a.run(&c, [&c, text = text.toStdString()] { c.SetText(text); });
    });
    QObject::connect(w, &SpinEditWidget::stepped, w, [&a = actions_, &c](int delta) {
        a.run(&c, [&c, delta] { c.SetValue(c.Value() + delta); });
    });
    passKeysAndExit(c, w->editor(), actions_);
    bindWidget(c, w, geometry, [&c, w] { w->setText(qs(c.Text())); });
    return w;
}

QSlider* WidgetMaker::widgetOf(QWidget* parent, TrackBar& c, QRect geometry) {
    auto* w = new QSlider(Qt::Horizontal, parent);
    w->setRange(c.MinValue(), c.MaxValue());
    w->setPageStep(1);
    w->setTickPosition(QSlider::TicksBelow);
    w->setTickInterval(1);
    // Ticks in the system's colours: the style draws them darker than the window colour,
    // which on the black page would hide them.
    QPalette system = w->palette();
    system.setColor(QPalette::Window, QApplication::palette(w).color(QPalette::Window));
    w->setPalette(system);
    QObject::connect(w, &QSlider::valueChanged, w, [&a = actions_, &c](int position) {
        a.run(&c, [&c, position] { c.SetPosition(position); });
    });
    bindWidget(c, w, geometry, [&c, w] { w->setValue(c.Position()); });
    return w;
}

}  // namespace qpane
