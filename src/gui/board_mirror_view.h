#pragma once

#include <QWidget>

#include "web/web_snapshot.h"

namespace qpane {

// The board as the console last sent it, drawn like the board: rows A to V on black, from
// the same snapshots the live page serves.
class BoardMirrorView : public QWidget {
    Q_OBJECT
  public:
    explicit BoardMirrorView(QWidget* parent = nullptr);

    void showSnapshot(web::SnapshotPtr snapshot);
    // The text drawn for row index (0: A): its letter, then the row's characters after it.
    QString rowText(int index) const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    web::SnapshotPtr snapshot_;
};

}  // namespace qpane
