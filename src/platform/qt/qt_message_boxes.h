#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/message_boxes.h"

namespace qpane {

// Modal boxes over the main window.
class QtMessageBoxes final : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    bool askYesNo(const std::string& title, const std::string& text) override;
    void message(const std::string& text) override;
    void error(const std::string& text) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace qpane
