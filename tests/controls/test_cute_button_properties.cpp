// Published properties: their names and defaults, the values they refuse, and the rule that a
// setter repaints only when the value changes.

#include <QApplication>
#include <QMenu>
#include <QtTest>

#include <functional>

#include "controls/cute_button.h"

Q_DECLARE_METATYPE(std::function<void(qpane::TCuteButton&)>)

namespace qpane {

namespace {

// Counts the paints that reach the button.
class CountingButton : public TCuteButton {
  public:
    using TCuteButton::TCuteButton;
    int paints = 0;

  protected:
    void Paint(QPainter& canvas) override {
        ++paints;
        TCuteButton::Paint(canvas);
    }
};

// Lets pending update requests reach the button.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

}  // namespace

class TestCuteButtonProperties : public QObject {
    Q_OBJECT

  private slots:
    void defaultsUnderPublishedNames() {
        TCuteButton button;
        const QPalette palette = button.palette();
        const auto is = [&](const char* name, const QVariant& expected) {
            const QVariant value = button.property(name);
            if (!value.isValid()) return QString("%1 is not published").arg(name);
            if (value != expected)
                return QString("%1 is %2, expected %3")
                    .arg(name, value.toString(), expected.toString());
            return QString();
        };
        const QStringList wrong =
            QStringList{
                is("BevelHighlightColor", palette.color(QPalette::Light)),
                is("BevelShadowColor", palette.color(QPalette::Dark)),
                is("DisabledColor", QColor(128, 128, 128)),
                is("UseDisabledColor", false),
                is("DropDownDelay", 0),
                is("EgnoreContClick", false),
                is("Flat", false),
                is("TabFocusUp", true),
                is("TabStop", true),
                is("Layout", QVariant::fromValue(TCuteButton::TextLayout::Center)),
                is("Alignment", QVariant::fromValue(TCuteButton::Alignment::Center)),
                is("MarginX", -1),
                is("MarginY", -1),
                is("ShowFocusRect", false),
                is("BevelOuter", QVariant::fromValue(TCuteButton::Bevel::None)),
                is("BevelInner", QVariant::fromValue(TCuteButton::Bevel::Raised)),
                is("BevelWidth", 1),
                is("Color", palette.color(QPalette::Button)),
            }
                .filter(QRegularExpression("."));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("; ")));
        QCOMPARE(button.property("DropDownMenu").value<QMenu*>(), nullptr);
        QCOMPARE(button.size(), QSize(75, 25));
        QVERIFY(button.focusPolicy() & Qt::TabFocus);
    }

    void marginsBelowMinusOneReadMinusOne() {
        TCuteButton button;
        button.setMarginX(-5);
        QCOMPARE(button.marginX(), -1);
        button.setProperty("MarginY", -100);
        QCOMPARE(button.marginY(), -1);
        button.setMarginX(0);
        QCOMPARE(button.marginX(), 0);
        button.setMarginX(12);
        QCOMPARE(button.marginX(), 12);
    }

    void refusedValues() {
        TCuteButton button;
        button.setBevelWidth(0);
        QCOMPARE(button.bevelWidth(), 1);
        button.setDropDownDelay(-20);
        QCOMPARE(button.dropDownDelay(), 0);
    }

    void destroyedMenuIsForgotten() {
        TCuteButton button;
        auto* menu = new QMenu;
        button.setDropDownMenu(menu);
        QCOMPARE(button.dropDownMenu(), menu);
        delete menu;
        QCOMPARE(button.dropDownMenu(), nullptr);
    }

    void settersRepaintOnlyOnChange_data() {
        QTest::addColumn<std::function<void(TCuteButton&)>>("change");
        QTest::addColumn<bool>("disabled");
        const auto row = [](const char* name, std::function<void(TCuteButton&)> f,
                            bool disabled = false) { QTest::newRow(name) << f << disabled; };
        row("Caption", [](TCuteButton& b) { b.setCaption("Other"); });
        row("Color", [](TCuteButton& b) { b.setColor(Qt::blue); });
        row("FontColor", [](TCuteButton& b) { b.setFontColor(Qt::yellow); });
        row("Alignment", [](TCuteButton& b) { b.setAlignment(TCuteButton::Alignment::Left); });
        row("Layout", [](TCuteButton& b) { b.setLayout(TCuteButton::TextLayout::Top); });
        row("BevelOuter", [](TCuteButton& b) { b.setBevelOuter(TCuteButton::Bevel::Lowered); });
        row("BevelInner", [](TCuteButton& b) { b.setBevelInner(TCuteButton::Bevel::Lowered); });
        row("BevelWidth", [](TCuteButton& b) { b.setBevelWidth(3); });
        row("BevelHighlightColor", [](TCuteButton& b) { b.setBevelHighlightColor(Qt::red); });
        row("BevelShadowColor", [](TCuteButton& b) { b.setBevelShadowColor(Qt::red); });
        row("Flat", [](TCuteButton& b) { b.setFlat(true); });
        row("MarginX", [](TCuteButton& b) { b.setMarginX(4); });
        row("MarginY", [](TCuteButton& b) { b.setMarginY(4); });
        row("ShowFocusRect", [](TCuteButton& b) { b.setShowFocusRect(true); });
        row(
            "DisabledColor", [](TCuteButton& b) { b.setDisabledColor(Qt::red); }, true);
        row(
            "UseDisabledColor", [](TCuteButton& b) { b.setUseDisabledColor(true); }, true);
        row("Font", [](TCuteButton& b) {
            QFont f = b.font();
            f.setPixelSize(31);
            b.setFont(f);
        });
    }
    void settersRepaintOnlyOnChange() {
        QFETCH(std::function<void(TCuteButton&)>, change);
        QFETCH(bool, disabled);
        CountingButton button("Caption");
        button.setEnabled(!disabled);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        settle();

        button.paints = 0;
        change(button);
        settle();
        QVERIFY2(button.paints > 0, "a changed value must repaint");

        button.paints = 0;
        change(button);  // the same value again
        settle();
        QCOMPARE(button.paints, 0);
    }

    void disabledColourRepaintsOnlyWhileDisabled() {
        CountingButton button("Caption");
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        settle();
        button.paints = 0;
        button.setDisabledColor(Qt::red);
        button.setUseDisabledColor(true);
        settle();
        QCOMPARE(button.paints, 0);
        button.setEnabled(false);
        settle();
        QVERIFY(button.paints > 0);
    }
};

}  // namespace qpane

QTEST_MAIN(qpane::TestCuteButtonProperties)
#include "test_cute_button_properties.moc"
