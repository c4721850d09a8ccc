// The window's widgets against the core's controls: each control has exactly one widget, of
// the class its kind needs and named after it; a control left without one, or bound twice,
// stops the window from starting, with a message that names it.
#include <QLineEdit>
#include <QtTest>

#include <memory>

#include "app/fqpane.h"
#include "gui/control_binder.h"
#include "gui/main_window.h"
#include "gui_test_support.h"

using namespace qpane;

namespace {

// The widget class of each kind; none for a kind the window does not show.
const char* widgetClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Window: return "qpane::MainWindow";
        case ControlKind::Page: return "QWidget";
        case ControlKind::PageControl: return "QStackedWidget";
        case ControlKind::Panel: return "qpane::PanelWidget";
        case ControlKind::Label: return "QLabel";
        case ControlKind::Button: return "qpane::TCuteButton";
        case ControlKind::Image: return "qpane::PatternImage";
        case ControlKind::RadioGroup: return "qpane::RadioGroupBox";
        case ControlKind::CheckBox: return "QCheckBox";
        case ControlKind::Edit:
        case ControlKind::MaskEdit: return "QLineEdit";
        case ControlKind::SpinEdit: return "qpane::SpinEditWidget";
        case ControlKind::TrackBar: return "QSlider";
        case ControlKind::Grid: return "qpane::GridView";
        case ControlKind::Memo: return "qpane::MemoView";
        case ControlKind::Timer: return nullptr;
    }
    return nullptr;
}

QByteArray describe(const std::string& name, const QString& problem) {
    return (QString::fromStdString(name) + QStringLiteral(": ") + problem).toUtf8();
}

}  // namespace

class TestBinding : public QObject {
    Q_OBJECT

    testing::Console console_;

    std::unique_ptr<TFqpane> makeCore() {
        return std::make_unique<TFqpane>(WindowEnvironment{console_.scheduler, console_.boxes,
                                                           console_.ports, console_.paths()});
    }
    // The text of the BindingError that building the window throws; empty when it builds.
    QString buildError(TFqpane& core) {
        try {
            MainWindow window(core, console_.scheduler);
        } catch (const BindingError& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }

  private slots:
    void everyControlHasOneWidgetOfItsKind() {
        const auto core = makeCore();
        MainWindow window(*core, console_.scheduler);
        int bound = 0;
        for (const auto& [name, control] : core->controls.all()) {
            const char* widgetClass = widgetClassOf(control->kind());
            QWidget* widget = window.binder().widgetOf(*control);
            QCOMPARE(control->visual(), widgetClass != nullptr);
            if (!widgetClass) {
                QVERIFY2(!widget, name.c_str());
                continue;
            }
            QVERIFY2(widget, describe(name, QStringLiteral("no widget")));
            QVERIFY2(widget->inherits(widgetClass),
                     describe(name, QString::fromLatin1(widget->metaObject()->className())));
            QCOMPARE(widget->objectName(), QString::fromStdString(name));
            // The operator library and the tests find the widget by its name: one only.
            const qsizetype named =
                window.findChildren<QWidget*>(QString::fromStdString(name)).size();
            QVERIFY2(named == (widget == &window ? 0 : 1), describe(name, QString::number(named)));
            ++bound;
        }
        // Every control but the three timers.
        QCOMPARE(bound + 3, static_cast<int>(core->controls.all().size()));
        // A time field is an edit with the time mask.
        QVERIFY(
            !qobject_cast<QLineEdit*>(window.binder().widgetOf(core->ME1))->inputMask().isEmpty());
        QVERIFY(
            qobject_cast<QLineEdit*>(window.binder().widgetOf(core->Edit2))->inputMask().isEmpty());
    }

    void aControlWithoutAWidgetStopsTheStart() {
        const auto core = makeCore();
        {
            Button stray(core->controls, "CuteButton99");
            const QString error = buildError(*core);
            QVERIFY2(error.contains(QStringLiteral("no widget for the controls CuteButton99")),
                     error.toUtf8());
        }
        // Without it the same core starts.
        QCOMPARE(buildError(*core), QString());
    }

    void aControlBoundTwiceIsRefused() {
        const auto core = makeCore();
        MainWindow window(*core, console_.scheduler);
        QWidget extra(&window);
        try {
            window.binder().bind(core->CuteButton28, extra, nullptr);
            QFAIL("a second widget for CuteButton28 was taken");
        } catch (const BindingError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("CuteButton28 has two widgets"));
        }
        Button stray(core->controls, "CuteButton99");
        try {
            window.binder().bind(stray, *window.binder().widgetOf(core->CuteButton29), nullptr);
            QFAIL("two controls were given one widget");
        } catch (const BindingError& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("CuteButton99 and CuteButton29 share one widget"));
        }
    }
};

QTEST_MAIN(TestBinding)
#include "test_binding.moc"
