// The rendered button: bevel rings and their corners, face colours when disabled, the embossed
// caption, the caption's placement by alignment, layout, margins, flat inset and pressed shift,
// and the focus rectangle.

#include <QApplication>
#include <QtTest>

#include "button_probe.h"
#include "controls/cute_button.h"

namespace qpane {

using namespace probe;
using Bevel = TCuteButton::Bevel;

class TestCuteButtonPaint : public QObject {
    Q_OBJECT

  private:
    // The caption's pixels of one button made with the probe colours and the given setup.
    template <typename Setup>
    static QRect captionBounds(Setup setup) {
        TCuteButton button("H");
        useProbeColours(button);
        button.resize(120, 60);
        setup(button);
        return boundsOf(render(button), kText);
    }

  private slots:
    void bevelRingsOwnTheirCorners() {
        // Two rings raised outside, two lowered inside: highlight takes top and left, shadow
        // takes right and bottom including both far corners; lowered swaps the colours.
        TCuteButton button;
        useProbeColours(button);
        button.resize(20, 12);
        button.setBevelWidth(2);
        button.setBevelOuter(Bevel::Raised);
        button.setBevelInner(Bevel::Lowered);
        const QImage image = render(button);
        const QColor H = kHighlight, S = kShadow;
        const int w = 20, h = 12, midX = 10, midY = 6;

        const QList<QColor> leftToRight = {H, H, S, S, kFace};
        const QList<QColor> rightToLeft = {S, S, H, H, kFace};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(at(image, i, midY), leftToRight[i]);
            QCOMPARE(at(image, midX, i), leftToRight[i]);
            QCOMPARE(at(image, w - 1 - i, midY), rightToLeft[i]);
            QCOMPARE(at(image, midX, h - 1 - i), rightToLeft[i]);
        }
        QCOMPARE(at(image, 0, 0), H);
        QCOMPARE(at(image, w - 1, 0), S);
        QCOMPARE(at(image, 0, h - 1), S);
        QCOMPARE(at(image, w - 2, 1), S);
        QCOMPARE(at(image, 1, h - 2), S);
        // First lowered ring: its far corners belong to its bottom-right colour, the highlight.
        QCOMPARE(at(image, 2, 2), S);
        QCOMPARE(at(image, w - 3, 2), H);
        QCOMPARE(at(image, 2, h - 3), H);
    }

    void bevelWiderThanTheButtonStopsInside() {
        TCuteButton button("Wide");
        useProbeColours(button);
        button.resize(6, 4);
        button.setBevelWidth(50);
        button.setBevelOuter(Bevel::Raised);
        const QImage image = render(button);
        QCOMPARE(image.size(), QSize(6, 4));
        QCOMPARE(countOf(image, kFace), 0);  // two rings fill a 4-pixel height
    }

    void faceWhenDisabled_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("useDisabledColor");
        QTest::addColumn<QColor>("face");
        QTest::newRow("disabled, UseDisabledColor") << false << true << QColor(128, 128, 128);
        QTest::newRow("disabled, own colour") << false << false << kFace;
        QTest::newRow("enabled, UseDisabledColor") << true << true << kFace;
    }
    void faceWhenDisabled() {
        QFETCH(bool, enabled);
        QFETCH(bool, useDisabledColor);
        QFETCH(QColor, face);
        TCuteButton button("Off");
        useProbeColours(button);
        button.setUseDisabledColor(useDisabledColor);
        button.setEnabled(enabled);
        const QImage image = render(button);
        QCOMPARE(at(image, 3, 3), face);
        QCOMPARE(at(image, 71, 21), face);
        if (enabled) {
            QVERIFY(countOf(image, kText) > 0);
            QCOMPARE(countOf(image, kSystemDark), 0);
            return;
        }
        // Embossed: the dark copy in place over a light copy one pixel down and right, and no
        // pixel in the font colour.
        QCOMPARE(countOf(image, kText), 0);
        const QRect light = boundsOf(image, kSystemLight);
        const QRect dark = boundsOf(image, kSystemDark);
        QVERIFY(!dark.isEmpty());
        QVERIFY(!light.isEmpty());
        QCOMPARE(light.right(), dark.right() + 1);
        QCOMPARE(light.bottom(), dark.bottom() + 1);
    }

    void marginsMoveTheCaptionFromItsEdge_data() {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QPoint>("topLeftShift");
        QTest::addColumn<QPoint>("bottomRightShift");
        using A = TCuteButton::Alignment;
        using L = TCuteButton::TextLayout;
        const auto row = [](const char* name, A a, L l, QPoint tl, QPoint br) {
            QTest::newRow(name) << int(a) << int(l) << tl << br;
        };
        row("left top", A::Left, L::Top, QPoint(9, 5), QPoint(9, 5));
        row("right bottom", A::Right, L::Bottom, QPoint(-9, -5), QPoint(-9, -5));
        row("centre centre", A::Center, L::Center, QPoint(0, 0), QPoint(0, 0));
    }
    void marginsMoveTheCaptionFromItsEdge() {
        QFETCH(int, alignment);
        QFETCH(int, layout);
        QFETCH(QPoint, topLeftShift);
        QFETCH(QPoint, bottomRightShift);
        const auto place = [&](int margin) {
            return [&, margin](TCuteButton& b) {
                b.setAlignment(TCuteButton::Alignment(alignment));
                b.setLayout(TCuteButton::TextLayout(layout));
                b.setMarginX(margin);
                b.setMarginY(margin == -1 ? -1 : margin - 4);
            };
        };
        const QRect without = captionBounds(place(-1));
        const QRect with = captionBounds(place(9));
        QVERIFY(!without.isEmpty());
        QCOMPARE(with.topLeft() - without.topLeft(), topLeftShift);
        QCOMPARE(with.bottomRight() - without.bottomRight(), bottomRightShift);
    }

    void pressedShiftsLeftAndTopByTwo_data() {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QPoint>("shift");
        using A = TCuteButton::Alignment;
        using L = TCuteButton::TextLayout;
        QTest::newRow("left top") << int(A::Left) << int(L::Top) << QPoint(2, 2);
        // Only the left and top edges of the text rectangle move: a centred caption moves half.
        QTest::newRow("centre centre") << int(A::Center) << int(L::Center) << QPoint(1, 1);
        QTest::newRow("right bottom") << int(A::Right) << int(L::Bottom) << QPoint(0, 0);
    }
    void pressedShiftsLeftAndTopByTwo() {
        QFETCH(int, alignment);
        QFETCH(int, layout);
        QFETCH(QPoint, shift);
        const auto setup = [&](Bevel outer) {
            return [&, outer](TCuteButton& b) {
                b.setAlignment(TCuteButton::Alignment(alignment));
                b.setLayout(TCuteButton::TextLayout(layout));
                b.setBevelOuter(outer);
            };
        };
        const QRect raised = captionBounds(setup(Bevel::Raised));
        const QRect lowered = captionBounds(setup(Bevel::Lowered));
        QCOMPARE(lowered.topLeft() - raised.topLeft(), shift);
    }

    void flatInsetsByOneBevelWidth() {
        // The text rectangle is inset by twice the bevel width, or once when flat, whether or
        // not the bevels show.
        const auto setup = [](bool flat) {
            return [flat](TCuteButton& b) {
                b.setAlignment(TCuteButton::Alignment::Left);
                b.setLayout(TCuteButton::TextLayout::Top);
                b.setBevelWidth(3);
                b.setFlat(flat);
            };
        };
        const QRect raisedInner = captionBounds(setup(false));
        const QRect flat = captionBounds(setup(true));
        QCOMPARE(flat.topLeft() - raisedInner.topLeft(), QPoint(-3, -3));
    }

    void captionIsClippedToTheTextRectangle() {
        // A margin wider than the button leaves no text rectangle: nothing is drawn over the
        // bevels or outside.
        TCuteButton button("Caption");
        useProbeColours(button);
        button.setAlignment(TCuteButton::Alignment::Left);
        button.setMarginX(500);
        QCOMPARE(countOf(render(button), kText), 0);
        button.setMarginX(60);  // text rectangle 62..73: part of the caption shows, inside it
        const QRect shown = boundsOf(render(button), kText);
        QVERIFY(!shown.isEmpty());
        QVERIFY(shown.left() >= 62);
        QVERIFY(shown.right() <= 72);
    }

    void mnemonicMarkerIsNotDrawn() {
        // "&Set" shows as "Set" with the S underlined: the same glyphs in the same place, and
        // only the underline below them.
        const auto withCaption = [](const QString& caption) {
            TCuteButton button(caption);
            useProbeColours(button);
            button.setAlignment(TCuteButton::Alignment::Left);
            return render(button);
        };
        const QImage plain = withCaption("Set");
        const QImage marked = withCaption("&Set");
        const QRect glyphs = boundsOf(plain, kText);
        QVERIFY(!glyphs.isEmpty());
        QCOMPARE(marked.copy(0, 0, marked.width(), glyphs.bottom() + 1),
                 plain.copy(0, 0, plain.width(), glyphs.bottom() + 1));
        QVERIFY(boundsOf(marked, kText).bottom() > glyphs.bottom());
    }

    void focusRectangleInsideTheTextRectangle() {
        QWidget window;
        auto* button = new TCuteButton(QString(), &window);
        auto* other = new TCuteButton(QString(), &window);
        other->move(0, 40);
        useProbeColours(*button);
        button->setShowFocusRect(true);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        button->setFocus();
        QVERIFY(button->hasFocus());
        QImage image = render(*button);
        // Text rectangle 2..72 x 2..22 for bevel width 1, focus rectangle 2 pixels inside it.
        QCOMPARE(at(image, 4, 4), kText);
        QCOMPARE(at(image, 5, 4), kFace);
        QCOMPARE(at(image, 70, 20), kText);
        QCOMPARE(at(image, 4, 12), kText);
        QCOMPARE(at(image, 3, 3), kFace);
        QCOMPARE(countOf(image, kText), 34 + 34 + 7 + 7);  // dots where x + y is even

        other->setFocus();
        QCOMPARE(countOf(render(*button), kText), 0);
        button->setFocus();
        button->setShowFocusRect(false);
        QCOMPARE(countOf(render(*button), kText), 0);
    }
};

}  // namespace qpane

QTEST_MAIN(qpane::TestCuteButtonPaint)
#include "test_cute_button_paint.moc"
