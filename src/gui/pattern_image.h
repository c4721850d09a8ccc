#pragma once

#include <QWidget>

namespace qpane {

// One of the pattern images of the output pattern page: a picture of the board in that
// pattern with the pattern's name under it. A click anywhere on it chooses the pattern.
class PatternImage : public QWidget {
    Q_OBJECT
  public:
    PatternImage(int patternNo, QWidget* parent = nullptr);

    int patternNo() const { return patternNo_; }
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int patternNo_;
    QString caption_;
    bool pressed_ = false;
};

}  // namespace qpane
