// The board in a small Qt window: the rows as the board lights them, the notes below.
#include "board_window.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QWidget>

#include <thread>

namespace qpane::sim {

namespace {

class BoardWidget : public QWidget {
  public:
    BoardWidget() {
        setObjectName(QStringLiteral("QpaneSimBoard"));
        font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font_.setPixelSize(kRowHeight - 6);
        font_.setBold(true);
        small_ = font_;
        small_.setPixelSize(13);
        small_.setBold(false);
        setMinimumSize(640, kTop + BoardDisplay::kRows * kRowHeight + 150);
        setWindowTitle(QStringLiteral("qpane-sim: Q-PANE board"));
    }

    void setSnapshot(BoardSnapshot snapshot) {
        snapshot_ = std::move(snapshot);
        setWindowTitle(QString::fromStdString("qpane-sim: " + snapshot_.heading));
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        const QFontMetrics metrics(font_);
        const int cell = metrics.horizontalAdvance(QLatin1Char('8')) + 4;
        const QColor lit(255, 176, 0);
        const QColor unlit(40, 28, 0);

        p.setFont(small_);
        p.setPen(Qt::gray);
        p.drawText(10, 20, QString::fromStdString(snapshot_.heading));
        for (int i = 0; i < BoardDisplay::kRows; ++i) {
            const BoardRow& row = snapshot_.board.row(i);
            const int y = kTop + i * kRowHeight;
            p.setFont(font_);
            p.setPen(Qt::darkGray);
            p.drawText(QRect(8, y, cell, kRowHeight), Qt::AlignCenter,
                       QString(QLatin1Char(BoardDisplay::rowLetter(i))));
            int x = 8 + cell * 2;
            for (const std::string* field : {&row.number, &row.time, &row.rank}) {
                for (char c : *field) {
                    const QRect box(x, y + 2, cell - 2, kRowHeight - 4);
                    p.fillRect(box, unlit);
                    if (c != ' ') {
                        p.setPen(lit);
                        p.drawText(box, Qt::AlignCenter, QString(QLatin1Char(c)));
                    }
                    x += cell;
                }
                x += cell;
            }
        }
        p.setFont(small_);
        int y = kTop + BoardDisplay::kRows * kRowHeight + 20;
        auto line = [&](const QColor& colour, const std::string& text) {
            p.setPen(colour);
            p.drawText(10, y, QString::fromStdString(text));
            y += 18;
        };
        const BoardDisplay& board = snapshot_.board;
        line(Qt::gray, "brightness " +
                           (board.brightness() > 0 ? std::to_string(board.brightness()) : "-") +
                           "   lines " + std::to_string(board.linesShown()));
        line(Qt::gray, "control [" + board.lastControl() + "]");
        line(Qt::gray, "line    [" + board.lastUnaddressed() + "]");
        for (const std::string& note : snapshot_.notes)
            line(QColor(160, 200, 255), note);
    }

  private:
    static constexpr int kTop = 32;
    static constexpr int kRowHeight = 26;
    QFont font_;
    QFont small_;
    BoardSnapshot snapshot_;
};

}  // namespace

bool windowsAvailable() {
    return true;
}

int runWithWindow(Simulator& sim, int signalFd, std::function<void(const BoardSnapshot&)> alsoShow,
                  int argc, char** argv) {
    QApplication app(argc, argv);
    BoardWidget window;
    window.setSnapshot(sim.snapshot());
    sim.setBoardListener([&window, alsoShow](const BoardSnapshot& snapshot) {
        if (alsoShow) alsoShow(snapshot);
        QMetaObject::invokeMethod(
            &window, [&window, snapshot] { window.setSnapshot(snapshot); }, Qt::QueuedConnection);
    });
    std::thread player([&] {
        sim.run(signalFd);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    window.show();
    const int status = app.exec();
    sim.stop();
    player.join();
    return status;
}

}  // namespace qpane::sim
