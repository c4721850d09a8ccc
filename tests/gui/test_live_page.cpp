// The live page from the window: its button beside the tabs, the switch with the address and
// its QR code, [Web] Listen at start-up, and the board mirror fed by the same snapshots.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/fqpane.h"
#include "app/web_feed.h"
#include "gui/board_mirror_view.h"
#include "gui/live_page_dialog.h"
#include "gui/main_window.h"
#include "gui_test_support.h"
#include "http_probe.h"

using namespace qpane;

namespace {
int portOf(const QString& address) {
    const int colon = address.lastIndexOf(QLatin1Char(':'));
    return address.mid(colon + 1).chopped(1).toInt();
}
}  // namespace

class TestLivePage : public QObject {
    Q_OBJECT

  private slots:
    void switchedOnAndOffFromTheButtonBesideTheTabs() {
        testing::Console console;
        console.writeSettings("[Boad]\r\nDisppt=1\r\n");
        QVERIFY(console.create());
        MainWindow& window = console.program->window();
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return window.started(); }, 10000));
        QVERIFY(!console.program->liveFeed().server().running());

        auto* button = window.findChild<QPushButton*>(QStringLiteral("LivePageButton"));
        auto* lists = window.findChild<QPushButton*>(QStringLiteral("ResultListButton"));
        QVERIFY(button && lists);
        // In the free part of the tab row: clear of the tab cover and the result lists' button.
        QVERIFY(button->geometry().left() >= 500);
        QVERIFY(button->geometry().right() < lists->geometry().left());
        QVERIFY(button->geometry().bottom() < MainWindow::kTabRowHeight);
        QTest::mouseClick(button, Qt::LeftButton);
        LivePageDialog* dialog = window.livePage();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->address(), QString());
        QVERIFY(!dialog->hasQrCode());

        dialog->findChild<QLineEdit*>(QStringLiteral("LivePageListen"))
            ->setText(QStringLiteral("127.0.0.1:0"));
        dialog->findChild<QCheckBox*>(QStringLiteral("LivePageServe"))->click();
        QVERIFY(dialog->address().startsWith(QStringLiteral("http://127.0.0.1:")));
        QVERIFY(dialog->hasQrCode());
        const int port = portOf(dialog->address());
        QCOMPARE(web::testing::get(port, "/api/board").status(), 200);

        dialog->findChild<QCheckBox*>(QStringLiteral("LivePageServe"))->click();
        QCOMPARE(dialog->address(), QString());
        QCOMPARE(web::testing::connectTo(port), -1);
        QVERIFY(console.boxes.errors.empty());
    }

    void aBadAddressIsToldInTheDialog() {
        testing::Console console;
        QVERIFY(console.create());
        MainWindow& window = console.program->window();
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return window.started(); }, 10000));
        window.showLivePage();
        LivePageDialog* dialog = window.livePage();
        dialog->findChild<QLineEdit*>(QStringLiteral("LivePageListen"))
            ->setText(QStringLiteral("localhost"));
        dialog->setServing(true);
        QVERIFY(dialog->status().contains(QStringLiteral("Listen=localhost")));
        QVERIFY(!console.program->liveFeed().server().running());
    }

    void theSettingsFileStartsItAndKeepsItsLines() {
        testing::Console console;
        console.writeSettings("[Boad]\r\nDisppt=1\r\n[Web]\r\nListen=127.0.0.1:0\r\n");
        QVERIFY(console.create());
        WebFeed& feed = console.program->liveFeed();
        QVERIFY(feed.server().running());
        MainWindow& window = console.program->window();
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return window.started(); }, 10000));
        window.showLivePage();
        QVERIFY(window.livePage()->hasQrCode());
        QCOMPARE(window.livePage()->findChild<QLineEdit*>(QStringLiteral("LivePageListen"))->text(),
                 QStringLiteral("127.0.0.1:0"));
        window.close();
        QVERIFY(QTest::qWaitFor(
            [&] { return console.readSettings().find("Portno") != std::string::npos; }, 10000));
        QVERIFY(console.readSettings().find("[Web]\r\nListen=127.0.0.1:0\r\n") !=
                std::string::npos);
    }

    void aBadSettingIsToldAndTheConsoleStarts() {
        testing::Console console;
        console.writeSettings("[Web]\r\nListen=127.0.0.1:http\r\n");
        QVERIFY(console.create());
        QCOMPARE(console.boxes.messages.size(), size_t(1));
        QVERIFY(console.boxes.messages[0].find("Listen=127.0.0.1:http") != std::string::npos);
        QVERIFY(!console.program->liveFeed().server().running());
    }

    void theBoardMirrorShowsTheRowsAsSent() {
        testing::Console console;
        QVERIFY(console.create());
        MainWindow& window = console.program->window();
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return window.started(); }, 10000));
        window.showLivePage();
        window.livePage()->findChild<QPushButton*>(QStringLiteral("LivePageBoardMirror"))->click();
        BoardMirrorView* mirror = window.livePage()->boardMirror();
        QVERIFY(mirror && mirror->isVisible());
        QCOMPARE(mirror->rowText(0), QStringLiteral("A "));  // never sent
        // What the board output tells of a line that went out (its port is open in a race).
        TFqpane& core = console.program->core();
        core.boardOutput.onSent("A021         1:37.14       : .\r");
        core.boardOutput.onSent("K    5\r");
        QCOMPARE(mirror->rowText(0), QStringLiteral("A 021         1:37.14       : ."));
        QCOMPARE(mirror->rowText(10), QStringLiteral("K "));
        QImage shot(mirror->size(), QImage::Format_RGB32);
        mirror->render(&shot);
        QCOMPARE(shot.pixelColor(2, 2), QColor(Qt::black));
    }

    void rowsSentWhileNobodyFollowsShowWhenTheMirrorOpens() {
        testing::Console console;
        QVERIFY(console.create());
        MainWindow& window = console.program->window();
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return window.started(); }, 10000));
        QVERIFY(!console.program->liveFeed().server().running());
        console.program->core().boardOutput.onSent("C001         1:01.00       : .\r");
        window.showLivePage();
        window.livePage()->findChild<QPushButton*>(QStringLiteral("LivePageBoardMirror"))->click();
        BoardMirrorView* mirror = window.livePage()->boardMirror();
        QVERIFY(mirror && mirror->isVisible());
        QCOMPARE(mirror->rowText(2), QStringLiteral("C 001         1:01.00       : ."));
    }
};

QTEST_MAIN(TestLivePage)
#include "test_live_page.moc"
