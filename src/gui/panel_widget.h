#pragma once

#include <QColor>
#include <QWidget>

namespace qpane {

// A borderless panel in one colour, with its caption written along its top edge. Text on it
// (its own and that of labels placed on it) is white on a dark panel and black on a light one.
class PanelWidget : public QWidget {
    Q_OBJECT
  public:
    explicit PanelWidget(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor color_;
    QString caption_;
};

}  // namespace qpane
