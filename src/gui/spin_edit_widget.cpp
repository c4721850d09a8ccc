#include "gui/spin_edit_widget.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace qpane {

SpinEditWidget::SpinEditWidget(QWidget* parent)
    : QWidget(parent),
      editor_(new QLineEdit(this)),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(editor_, 1);
    auto* arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setAutoRepeat(true);
        arrow->setFixedWidth(16);
        arrow->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        arrows->addWidget(arrow);
    }
    // The arrows in the system's button colours, whatever colour the page has.
    const QPalette system = QApplication::palette(up_);
    for (QToolButton* arrow : {up_, down_}) {
        QPalette p = arrow->palette();
        for (QPalette::ColorRole role : {QPalette::Button, QPalette::ButtonText, QPalette::Window,
                                         QPalette::WindowText, QPalette::Light, QPalette::Dark})
            p.setColor(role, system.color(role));
        arrow->setPalette(p);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    row->addLayout(arrows);
    setFocusProxy(editor_);
    editor_->installEventFilter(this);

    connect(editor_, &QLineEdit::textEdited, this, &SpinEditWidget::textTyped);
    connect(up_, &QToolButton::clicked, this, [this] { emit stepped(1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

QString SpinEditWidget::text() const {
    return editor_->text();
}

void SpinEditWidget::setText(const QString& text) {
    if (editor_->text() == text) return;
    const QSignalBlocker block(editor_);
    editor_->setText(text);
}

bool SpinEditWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            emit stepped(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qpane
