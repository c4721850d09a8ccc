// The links' status line of the window: where it sits, what it shows through a port that goes
// away and comes back, and the click that reopens it.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "app/fqpane.h"
#include "controls/cute_button.h"
#include "gui/link_status_bar.h"
#include "gui/main_window.h"
#include "gui/port_map_dialog.h"
#include "gui_test_support.h"

using namespace qpane;

class TestLinkStatusBar : public QObject {
    Q_OBJECT

    testing::Console console_;
    MainWindow* window_ = nullptr;

    LinkStatusBar* bar() { return window_->linkStatus(); }
    TFqpane& core() { return console_.program->core(); }
    QString inputLine() {
        bar()->refresh();
        return bar()->line(1)->text();
    }
    bool inputRed() { return bar()->line(1)->styleSheet().contains(QStringLiteral("#c00000")); }

  private slots:
    void initTestCase() {
        console_.writeSettings("[Boad]\r\nPortno=1\r\nDisppt=1\r\n");
        QVERIFY(console_.create());
        window_ = &console_.program->window();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
        QTRY_VERIFY_WITH_TIMEOUT(window_->started(), 10000);
        QVERIFY(bar());
    }

    // In the free part of the tab row: over no widget of a control, the tab buttons or the
    // face's own buttons.
    void sitsWhereNoOtherWidgetIs() {
        const QRect place = bar()->geometry();
        QVERIFY(window_->rect().contains(place));
        for (QWidget* other : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other == bar() || !other->isVisible()) continue;
            if (other->objectName() == QStringLiteral("PageControl1")) continue;  // below the row
            QVERIFY2(!other->geometry().intersects(place), qPrintable(other->objectName()));
        }
        QVERIFY(place.bottom() <= MainWindow::kTabRowHeight);
    }

    void showsTheLinkClosedThenOpenWithItsBytes() {
        QVERIFY(inputLine().startsWith(QStringLiteral("入力 閉 受0 送0")));
        QVERIFY(!inputRed());
        QTest::mouseClick(window_->findChild<TCuteButton*>(QStringLiteral("CuteButton3")),
                          Qt::LeftButton);
        QTRY_VERIFY(console_.program->core().CommX1.IsOpen());
        console_.ports.push(1,
                            "\x02"
                            "C1101200:01:23.45\x03");
        QTRY_VERIFY(inputLine().startsWith(QStringLiteral("入力 開 受19 ")));
        QVERIFY(bar()->line(1)->toolTip().contains(
            QString::fromStdString(console_.paths().portDevice(1))));
    }

    void lossTurnsRedAndTheReturnIsReopenedByAClickOnly() {
        console_.ports.unplug(1);
        QTRY_VERIFY(inputLine().startsWith(QStringLiteral("入力 切断")));
        QVERIFY(inputRed());
        QTRY_COMPARE(console_.boxes.errors.size() + console_.boxes.messages.size(), size_t(1));

        console_.ports.setFailing(1, false);
        QTRY_VERIFY(inputLine().startsWith(QStringLiteral("入力 再接続可")));
        QVERIFY(bar()->line(1)->toolTip().contains(QStringLiteral("クリックすると開き直します")));
        QTest::qWait(2 * LinkStatusBar::kRefreshMs);
        QVERIFY(inputLine().startsWith(QStringLiteral("入力 再接続可")));  // not by itself

        QTest::mouseClick(bar()->line(1), Qt::LeftButton);
        QTRY_VERIFY(inputLine().startsWith(QStringLiteral("入力 開")));
        QVERIFY(!inputRed());
        console_.ports.push(1,
                            "\x02"
                            "C1101300:01:22.07\x03");
        QTRY_VERIFY(inputLine().startsWith(QStringLiteral("入力 開 受38 ")));
    }

    // The dialog lists the devices present, shows the map, and hands the operator's map to
    // the core, which the status line and the next open use.
    void portMapDialogListsDevicesAndHandsTheMapToTheCore() {
        PortMap map;
        map.setEntry(3, "/dev/ttyUSB0");
        map.silenceSeconds = 15;
        PortMapDialog alone(map, {{"/dev/serial/by-id/usb-FTDI-if00-port0", "-> /dev/ttyUSB0"},
                                  {"/dev/ttyACM0", ""}});
        QCOMPARE(alone.entry(3)->currentText(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(alone.entry(1)->currentText(), QString());
        QCOMPARE(alone.entry(1)->count(), 3);  // none, and the two devices
        QCOMPARE(alone.entry(1)->itemText(1),
                 QStringLiteral("/dev/serial/by-id/usb-FTDI-if00-port0"));
        QVERIFY(alone.findChild<QLabel*>(QStringLiteral("PortMapDevices"))
                    ->text()
                    .contains(QStringLiteral("-> /dev/ttyUSB0")));
        QCOMPARE(alone.map(), map);
        alone.entry(1)->setCurrentIndex(2);
        alone.silence()->setValue(0);
        QCOMPARE(alone.map().entry(1), "/dev/ttyACM0");
        QCOMPARE(alone.map().silenceSeconds, 0);

        QPushButton* open = window_->findChild<QPushButton*>(QStringLiteral("PortMapButton"));
        QVERIFY(open);
        core().showPage(core().TabSheet1);
        QTRY_VERIFY(open->isVisible());
        for (QWidget* other :
             open->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != open && other->isVisible())
                QVERIFY2(!other->geometry().intersects(open->geometry()),
                         qPrintable(other->objectName()));
        QTest::mouseClick(open, Qt::LeftButton);
        QTRY_VERIFY(window_->portMap());
        window_->portMap()->entry(2)->setCurrentText(QStringLiteral("/dev/serial/by-id/board"));
        window_->portMap()->accept();
        QTRY_COMPARE(core().portMap().entry(2), std::string("/dev/serial/by-id/board"));
        QCOMPARE(core().portMap().entry(1), std::string());
        QTRY_VERIFY(!window_->portMap());
    }
};

QTEST_MAIN(TestLinkStatusBar)
#include "test_link_status_bar.moc"
