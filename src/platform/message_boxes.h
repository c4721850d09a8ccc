#pragma once

#include <string>

namespace qpane {

// The modal boxes of the main window. Texts are UTF-8.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // A box with the buttons Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& title, const std::string& text) = 0;
    // A box with an OK button.
    virtual void message(const std::string& text) = 0;
    // The application's standard report of an error that ended a handler.
    virtual void error(const std::string& text) = 0;
};

}  // namespace qpane
