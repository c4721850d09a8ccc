// Clicks that must not happen: the drop-down menu opened at once or after a held press, and
// EgnoreContClick's clicks that arrive while the click handler runs.

#define QTEST_QPA_MOUSE_HANDLING

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include "button_window.h"

namespace qpane {

using namespace probe;

namespace {

// A menu that closes itself shortly after it has opened and remembers where it opened.
struct ClosingMenu {
    QMenu menu;
    int shown = 0;
    QPoint shownAt;

    ClosingMenu() {
        menu.addAction("Item");
        QObject::connect(&menu, &QMenu::aboutToShow, [this] {
            ++shown;
            QTimer::singleShot(30, &menu, [this] {
                shownAt = menu.geometry().topLeft();
                menu.close();
            });
        });
    }
};

// Mouse input queued for the button while the user-interface thread is busy.
void queueClick(TCuteButton* button) {
    const QPointF pos = button->rect().center();
    const QPointF global = button->mapToGlobal(pos);
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, pos, global,
                                                        Qt::LeftButton, Qt::LeftButton, {}));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, pos, global,
                                                        Qt::LeftButton, Qt::NoButton, {}));
}

}  // namespace

class TestCuteButtonClick : public QObject {
    Q_OBJECT

  private slots:
    void menuWithoutDelayOpensOnPressWithoutClick() {
        ButtonWindow w;
        ClosingMenu menu;
        w.button->setDropDownMenu(&menu.menu);
        QVERIFY(w.open());
        QTest::mouseMove(w.button, w.centre());
        QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(menu.shown, 1);
        QCOMPARE(menu.shownAt, w.button->mapToGlobal(QPoint(0, w.button->height())));
        QTest::mouseRelease(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(w.clicks, 0);
        QCOMPARE(outerLook(*w.button), "raised");

        // The suppression is used up: the next press opens the menu again, still no click.
        QTest::mouseClick(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(menu.shown, 2);
        QCOMPARE(w.clicks, 0);
    }

    void menuWithoutDelayByKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("Return") << int(Qt::Key_Return);
    }
    void menuWithoutDelayByKeyboard() {
        QFETCH(int, key);
        ButtonWindow w;
        ClosingMenu menu;
        w.button->setDropDownMenu(&menu.menu);
        QVERIFY(w.open());
        w.button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.button, Qt::Key(key));
        QCOMPARE(menu.shown, 1);
        QCOMPARE(w.clicks, 0);
        QCOMPARE(outerLook(*w.button), "raised");
        // The button works as before once the menu is gone.
        w.button->setDropDownMenu(nullptr);
        QTest::keyClick(w.button, Qt::Key(key));
        QCOMPARE(w.clicks, 1);
    }

    void delayedMenuByMouse() {
        ButtonWindow w;
        ClosingMenu menu;
        w.button->setDropDownMenu(&menu.menu);
        w.button->setDropDownDelay(500);
        QVERIFY(w.open());
        QTest::mouseMove(w.button, w.centre());

        // Released well before the delay: a click, and the menu never opens.
        QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());
        QTest::qWait(100);
        QTest::mouseRelease(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(w.clicks, 1);
        QTest::qWait(500);
        QCOMPARE(menu.shown, 0);

        // Held well past the delay: the menu, and no click on the release.
        QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());
        QTRY_COMPARE_WITH_TIMEOUT(menu.shown, 1, 1500);
        QTest::mouseRelease(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(w.clicks, 1);
        QCOMPARE(outerLook(*w.button), "raised");
    }

    void delayedMenuIsNotOpenedAfterReleaseOutside() {
        ButtonWindow w;
        ClosingMenu menu;
        w.button->setDropDownMenu(&menu.menu);
        w.button->setDropDownDelay(300);
        QVERIFY(w.open());
        QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());
        QTest::mouseMove(w.button, w.outside());
        QTest::mouseRelease(w.button, Qt::LeftButton, {}, w.outside());
        QTest::qWait(450);
        QCOMPARE(menu.shown, 0);
        QCOMPARE(w.clicks, 0);
    }

    void delayedMenuIsNotOpenedWhenAnotherPopupTookThePress() {
        ButtonWindow w;
        ClosingMenu menu;
        w.button->setDropDownMenu(&menu.menu);
        w.button->setDropDownDelay(300);
        QVERIFY(w.open());
        QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());
        QMenu context;
        context.addAction("Context");
        context.popup(w.window->mapToGlobal(QPoint(200, 20)));
        QTest::qWait(450);
        context.close();
        QCOMPARE(menu.shown, 0);
        QTest::mouseRelease(w.window.get(), Qt::LeftButton, {}, QPoint(10, 10));
    }

    void delayedMenuBySpaceBar() {
        ButtonWindow w;
        ClosingMenu menu;
        w.button->setDropDownMenu(&menu.menu);
        w.button->setDropDownDelay(500);
        QVERIFY(w.open());
        w.button->setFocus(Qt::TabFocusReason);

        QTest::keyPress(w.button, Qt::Key_Space);
        QTest::qWait(100);
        QTest::keyRelease(w.button, Qt::Key_Space);
        QCOMPARE(w.clicks, 1);

        QTest::keyPress(w.button, Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(menu.shown, 1, 1500);
        QTest::keyRelease(w.button, Qt::Key_Space);
        QCOMPARE(w.clicks, 1);

        // Enter does not wait for a delay: with one set it clicks.
        QTest::keyClick(w.button, Qt::Key_Return);
        QCOMPARE(w.clicks, 2);
        QCOMPARE(menu.shown, 1);
    }

    void clicksDuringSlowHandler_data() {
        QTest::addColumn<bool>("egnoreContClick");
        QTest::addColumn<int>("clicks");
        QTest::newRow("EgnoreContClick") << true << 1;
        QTest::newRow("plain") << false << 2;
    }
    void clicksDuringSlowHandler() {
        QFETCH(bool, egnoreContClick);
        QFETCH(int, clicks);
        ButtonWindow w;
        w.button->setEgnoreContClick(egnoreContClick);
        QObject::connect(w.button, &TCuteButton::clicked, [&] {
            if (w.clicks > 1) return;
            // The operator clicks again while the handler is busy.
            queueClick(w.button);
            QThread::msleep(50);
        });
        QVERIFY(w.open());
        QTest::mouseClick(w.button, Qt::LeftButton, {}, w.centre());
        QTest::qWait(20);
        QCOMPARE(w.clicks, clicks);

        // Once the handler has finished, the next click is heard again.
        QTest::mouseClick(w.button, Qt::LeftButton, {}, w.centre());
        QTest::qWait(20);
        QCOMPARE(w.clicks, clicks + 1);
    }

    void clickInsideTheHandlerWithEgnoreContClick() {
        // A handler that lets input through itself gets no nested click either.
        ButtonWindow w;
        w.button->setEgnoreContClick(true);
        QObject::connect(w.button, &TCuteButton::clicked, [&] {
            if (w.clicks == 1) w.button->Click();
        });
        QVERIFY(w.open());
        w.button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.button, Qt::Key_Return);
        QCOMPARE(w.clicks, 1);
    }
};

}  // namespace qpane

QTEST_MAIN(qpane::TestCuteButtonClick)
#include "test_cute_button_click.moc"
