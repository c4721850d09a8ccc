#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace qpane {

// A radio group: a titled frame with one radio button per item in one or more columns, and
// possibly no item chosen.
class RadioGroupBox : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroupBox(const QStringList& items, int columns, QWidget* parent = nullptr);

    int itemIndex() const;
    // -1 chooses no item. Raises nothing.
    void setItemIndex(int index);
    QRadioButton* item(int index) const;
    int count() const;

  signals:
    // The operator clicked an item (also the one already chosen).
    void itemClicked(int index);

  private:
    QButtonGroup* buttons_;
};

}  // namespace qpane
