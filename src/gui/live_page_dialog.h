#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace qpane {

class BoardMirrorView;
class WebFeed;

// The live results page as the operator switches it: on or off at an address (the one of
// [Web] Listen when the settings file has it), the page's address and its QR code for the
// phones, and the board mirror in a window of its own. Not one of the window's controls.
class LivePageDialog : public QDialog {
    Q_OBJECT
  public:
    LivePageDialog(WebFeed& feed, const QString& listen, QWidget* parent = nullptr);
    ~LivePageDialog() override;

    // Switches the server; a failure shows in the dialog's status line.
    void setServing(bool on);
    QString address() const;
    QString status() const;
    bool hasQrCode() const;
    void showBoardMirror();
    BoardMirrorView* boardMirror() const { return mirror_; }

  private:
    void showState(const QString& problem = {});

    WebFeed& feed_;
    QCheckBox* serve_ = nullptr;
    QLineEdit* listen_ = nullptr;
    QLabel* address_ = nullptr;
    QLabel* qr_ = nullptr;
    QLabel* status_ = nullptr;
    QWidget* mirrorWindow_ = nullptr;
    BoardMirrorView* mirror_ = nullptr;
};

}  // namespace qpane
