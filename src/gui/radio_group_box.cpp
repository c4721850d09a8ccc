#include "gui/radio_group_box.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <QSignalBlocker>

namespace qpane {

RadioGroupBox::RadioGroupBox(const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(parent), buttons_(new QButtonGroup(this)) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setSpacing(2);
    columns = std::max(columns, 1);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        grid->addWidget(button, i % rows, i / rows);
    }
    connect(buttons_, &QButtonGroup::idClicked, this, &RadioGroupBox::itemClicked);
}

int RadioGroupBox::itemIndex() const {
    return buttons_->checkedId();
}

void RadioGroupBox::setItemIndex(int index) {
    if (index == itemIndex()) return;
    const QSignalBlocker blockGroup(buttons_);
    if (QAbstractButton* chosen = buttons_->button(index)) {
        const QSignalBlocker blockButton(chosen);
        chosen->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; "no item" needs it released for a moment.
    buttons_->setExclusive(false);
    for (QAbstractButton* button : buttons_->buttons()) {
        const QSignalBlocker blockButton(button);
        button->setChecked(false);
    }
    buttons_->setExclusive(true);
}

QRadioButton* RadioGroupBox::item(int index) const {
    return qobject_cast<QRadioButton*>(buttons_->button(index));
}

int RadioGroupBox::count() const {
    return static_cast<int>(buttons_->buttons().size());
}

}  // namespace qpane
