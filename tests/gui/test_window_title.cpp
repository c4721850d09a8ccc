// The title of the main window is its caption and nothing else, also in the title bar that
// the window system shows (the toolkit adds an application display name there when one is
// set). Run offscreen, and under a virtual X server, where the title bar's text is read
// back from the X server.
#include <xcb/xcb.h>
#include <QCheckBox>
#include <QGuiApplication>
#include <QWindow>
#include <QtTest>

#include <cstdlib>
#include <cstring>

#include "app/fqpane.h"
#include "gui/main_window.h"
#include "gui/toolkit_start.h"
#include "gui_test_support.h"

using namespace qpane;

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return a;
}

// The window's name as the X server holds it for the window manager (_NET_WM_NAME).
QString titleOnTheXServer(const QWidget& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return QStringLiteral("<no X connection>");
    xcb_connection_t* c = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 0, 4096),
        nullptr);
    if (!reply) return QStringLiteral("<no reply>");
    const QString name = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                           xcb_get_property_value_length(reply));
    std::free(reply);
    return name;
}

bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

}  // namespace

class TestWindowTitle : public QObject {
    Q_OBJECT

    testing::Console console_;

    MainWindow& window() { return console_.program->window(); }
    QString caption() { return QString::fromStdString(console_.program->core().Fqpane.caption()); }

  private slots:
    void initTestCase() {
        // As qpane sets up its application.
        setUpApplication();
        console_.writeSettings("[Boad]\r\nDisppt=1\r\n");
        QVERIFY(console_.create());
        window().show();
        QVERIFY(QTest::qWaitFor([&] { return window().started(); }, 10000));
        QVERIFY(console_.boxes.errors.empty());
    }

    void titleIsTheCaption() {
        QVERIFY(caption().endsWith(QStringLiteral("ＡＬＰＩＮＥ－１")));
        QCOMPARE(window().windowTitle(), caption());
        QVERIFY(window().windowHandle());
        QCOMPARE(window().windowHandle()->title(), caption());
    }

    void titleBarShowsTheCaptionAlone() {
        if (!onX11()) QSKIP("the title bar is read back from an X server (run under xvfb)");
        QTRY_COMPARE(titleOnTheXServer(window()), caption());
    }

    // A new pattern gives a new caption; the title follows it, again with nothing added.
    void titleFollowsTheCaption() {
        window().findChild<QCheckBox*>(QStringLiteral("CkBrelay"))->click();
        QTRY_VERIFY(caption().endsWith(QStringLiteral("ＣＲＯＳＳ-リレー")));
        QTRY_COMPARE(window().windowTitle(), caption());
        if (onX11()) QTRY_COMPARE(titleOnTheXServer(window()), caption());
    }
};

QTEST_MAIN(TestWindowTitle)
#include "test_window_title.moc"
