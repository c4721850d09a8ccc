#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace qpane {

// A spin edit: a text field that keeps whatever the operator types (the core decides what a
// text that is not a number means) and two arrows that step the value. The Up and Down keys
// step as well.
class SpinEditWidget : public QWidget {
    Q_OBJECT
  public:
    explicit SpinEditWidget(QWidget* parent = nullptr);

    QString text() const;
    // Leaves the field (and the operator's cursor) alone when it shows text already.
    void setText(const QString& text);
    QLineEdit* editor() const { return editor_; }

  signals:
    void textTyped(const QString& text);
    void stepped(int delta);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* editor_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace qpane
