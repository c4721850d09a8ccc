// Focus, mouse and keyboard: the outer bevel through hover, press and release (read from the
// rendered pixels), clicks by mouse, Enter, space and the accelerator.

// Mouse events go through the window system layer, so that entering, leaving and the press's
// mouse grab happen as with a real mouse.
#define QTEST_QPA_MOUSE_HANDLING

#include <QApplication>
#include <QKeyEvent>
#include <QtTest>

#include "button_window.h"

namespace qpane {

using namespace probe;
using ShiftKey = TCuteButton::ShiftKey;

class TestCuteButtonInput : public QObject {
    Q_OBJECT

  private slots:
    void hoverPressReleaseSequence() {
        ButtonWindow w;
        QVERIFY(w.open());
        QCOMPARE(outerLook(*w.button), "none");

        QTest::mouseMove(w.button, w.centre());
        QCOMPARE(outerLook(*w.button), "raised");
        QCOMPARE(w.enters.size(), 1);
        QVERIFY(!(w.enters[0] & ShiftKey::Left));
        QCOMPARE(w.enteredAt[0], w.centre());

        QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(outerLook(*w.button), "lowered");
        QVERIFY(w.button->hasFocus());
        QCOMPARE(w.clicks, 0);

        QTest::mouseRelease(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(outerLook(*w.button), "raised");
        QCOMPARE(w.clicks, 1);

        // Focused with TabFocusUp: the raised look stays when the mouse leaves.
        QTest::mouseMove(w.button, w.outside());
        QCOMPARE(w.leaves.size(), 1);
        QCOMPARE(outerLook(*w.button), "raised");

        w.other->setFocus(Qt::TabFocusReason);
        QCOMPARE(outerLook(*w.button), "none");
        QCOMPARE(w.enters.size(), 1);
        QCOMPARE(w.clicks, 1);
    }

    void withoutTabFocusUpLeavingEndsTheRaisedLook() {
        ButtonWindow w;
        w.button->setTabFocusUp(false);
        QVERIFY(w.open());
        w.button->setFocus(Qt::TabFocusReason);
        QCOMPARE(outerLook(*w.button), "none");

        QTest::mouseMove(w.button, w.centre());
        QCOMPARE(outerLook(*w.button), "raised");
        QTest::mouseClick(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(outerLook(*w.button), "raised");
        QTest::mouseMove(w.button, w.outside());
        QCOMPARE(outerLook(*w.button), "none");
        QCOMPARE(w.clicks, 1);
    }

    void focusRaisesWithTabFocusUp() {
        ButtonWindow w;
        QVERIFY(w.open());
        w.other->setFocus(Qt::TabFocusReason);
        w.button->setFocus(Qt::TabFocusReason);
        QCOMPARE(outerLook(*w.button), "raised");
        w.other->setFocus(Qt::TabFocusReason);
        QCOMPARE(outerLook(*w.button), "none");
    }

    void dragOutAndBack_data() {
        QTest::addColumn<bool>("tabFocusUp");
        QTest::addColumn<QString>("lookOutside");
        QTest::newRow("TabFocusUp") << true << "raised";
        QTest::newRow("no TabFocusUp") << false << "none";
    }
    void dragOutAndBack() {
        QFETCH(bool, tabFocusUp);
        QFETCH(QString, lookOutside);
        ButtonWindow w;
        w.button->setTabFocusUp(tabFocusUp);
        QVERIFY(w.open());
        QTest::mouseMove(w.button, w.centre());
        QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());

        QTest::mouseMove(w.button, w.outside());
        QCOMPARE(w.leaves.size(), 1);
        QCOMPARE(outerLook(*w.button), lookOutside);

        // Back over the button with the left button still down: pressed again.
        QTest::mouseMove(w.button, w.centre());
        QCOMPARE(w.enters.size(), 2);
        QVERIFY(w.enters[1] & ShiftKey::Left);
        QCOMPARE(outerLook(*w.button), "lowered");

        // Released outside: no click; the focused button keeps the raised look with TabFocusUp.
        QTest::mouseMove(w.button, w.outside());
        QTest::mouseRelease(w.button, Qt::LeftButton, {}, w.outside());
        QCOMPARE(w.clicks, 0);
        QCOMPARE(outerLook(*w.button), lookOutside);
        QCOMPARE(w.leaves.size(), 2);
    }

    void eachPressAndReleaseClicks() {
        ButtonWindow w;
        QVERIFY(w.open());
        QTest::mouseDClick(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(w.clicks, 2);
    }

    void rightButtonNeitherPressesNorClicks() {
        ButtonWindow w;
        QVERIFY(w.open());
        QTest::mouseMove(w.button, w.centre());
        QTest::mousePress(w.button, Qt::RightButton, {}, w.centre());
        QCOMPARE(outerLook(*w.button), "raised");
        QVERIFY(w.button->hasFocus());
        QTest::mouseRelease(w.button, Qt::RightButton, {}, w.centre());
        QCOMPARE(w.clicks, 0);
    }

    void disablingWhileHoveredLeaves() {
        ButtonWindow w;
        QVERIFY(w.open());
        QTest::mouseMove(w.button, w.centre());
        QCOMPARE(outerLook(*w.button), "raised");
        w.button->setEnabled(false);
        QCOMPARE(w.leaves.size(), 1);
        QCOMPARE(w.button->bevelOuter(), TCuteButton::Bevel::None);
        QTest::mouseClick(w.button, Qt::LeftButton, {}, w.centre());
        QCOMPARE(w.clicks, 0);
        w.button->setEnabled(true);
        QCOMPARE(w.enters.size(), 2);
        QCOMPARE(outerLook(*w.button), "raised");
    }

    void enterClicksOnce_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("tabFocusUp");
        QTest::addColumn<QString>("lookAfter");
        QTest::newRow("Return") << int(Qt::Key_Return) << true << "raised";
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true << "raised";
        QTest::newRow("Return, no TabFocusUp") << int(Qt::Key_Return) << false << "none";
    }
    void enterClicksOnce() {
        QFETCH(int, key);
        QFETCH(bool, tabFocusUp);
        QFETCH(QString, lookAfter);
        ButtonWindow w;
        w.button->setTabFocusUp(tabFocusUp);
        QVERIFY(w.open());
        w.button->setFocus(Qt::TabFocusReason);
        QString lookWhileClicking;
        QObject::connect(w.button, &TCuteButton::clicked,
                         [&] { lookWhileClicking = outerLook(*w.button); });
        QTest::keyClick(w.button, Qt::Key(key));
        QCOMPARE(w.clicks, 1);
        QCOMPARE(lookWhileClicking, "lowered");
        QCOMPARE(outerLook(*w.button), lookAfter);
    }

    void spaceClicksOnRelease() {
        ButtonWindow w;
        QVERIFY(w.open());
        w.button->setFocus(Qt::TabFocusReason);
        QTest::keyPress(w.button, Qt::Key_Space);
        QCOMPARE(outerLook(*w.button), "lowered");
        QCOMPARE(w.clicks, 0);
        // A held space bar repeats as release and press pairs on X11; they do not click.
        for (int i = 0; i < 3; ++i) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ", true);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
            QApplication::sendEvent(w.button, &release);
            QApplication::sendEvent(w.button, &press);
        }
        QCOMPARE(w.clicks, 0);
        QCOMPARE(outerLook(*w.button), "lowered");
        QTest::keyRelease(w.button, Qt::Key_Space);
        QCOMPARE(w.clicks, 1);
        QCOMPARE(outerLook(*w.button), "raised");
    }

    void otherKeyCancelsTheSpacePress() {
        ButtonWindow w;
        QVERIFY(w.open());
        w.button->setFocus(Qt::TabFocusReason);
        QTest::keyPress(w.button, Qt::Key_Space);
        QTest::keyPress(w.button, Qt::Key_A);
        QCOMPARE(outerLook(*w.button), "raised");
        QTest::keyRelease(w.button, Qt::Key_A);
        QTest::keyRelease(w.button, Qt::Key_Space);
        QCOMPARE(w.clicks, 0);
    }

    void spacePressLeavesWithTheFocus() {
        ButtonWindow w;
        QVERIFY(w.open());
        w.button->setFocus(Qt::TabFocusReason);
        QTest::keyPress(w.button, Qt::Key_Space);
        w.other->setFocus(Qt::TabFocusReason);
        QCOMPARE(outerLook(*w.button), "none");
        w.button->setFocus(Qt::TabFocusReason);
        QTest::keyRelease(w.button, Qt::Key_Space);
        QCOMPARE(w.clicks, 0);
    }

    void acceleratorActsLikeEnter() {
        ButtonWindow w;
        QVERIFY(w.open());
        w.other->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.window.get(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(w.clicks, 1);
        QVERIFY(w.other->hasFocus());

        w.button->setEnabled(false);
        QTest::keyClick(w.window.get(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(w.clicks, 1);
        w.button->setEnabled(true);

        // "&&" is a plain ampersand: no accelerator.
        w.button->setCaption("&&Set");
        QTest::keyClick(w.window.get(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(w.clicks, 1);
        w.button->setCaption("Se&t");
        QTest::keyClick(w.window.get(), Qt::Key_T, Qt::AltModifier);
        QCOMPARE(w.clicks, 2);
    }

    void disabledButtonIgnoresKeys() {
        ButtonWindow w;
        QVERIFY(w.open());
        w.button->setEnabled(false);
        QTest::keyClick(w.button, Qt::Key_Return);
        QTest::keyClick(w.button, Qt::Key_Space);
        QCOMPARE(w.clicks, 0);
    }
};

}  // namespace qpane

QTEST_MAIN(qpane::TestCuteButtonInput)
#include "test_cute_button_input.moc"
