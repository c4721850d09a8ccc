// The program's life: a store that does not open, a start-up that fails, settings restored
// at start and written back at the window's own close.
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/fqpane.h"
#include "gui/main_window.h"
#include "gui/spin_edit_widget.h"
#include "gui_test_support.h"
#include "store/database.h"

using namespace qpane;

namespace {

bool startAndWait(testing::Console& console) {
    if (!console.create()) return false;
    MainWindow& window = console.program->window();
    window.show();
    return QTest::qWaitFor([&] { return window.started(); }, 10000);
}

bool closeAndWait(MainWindow& window) {
    QSignalSpy closed(&window, &MainWindow::closed);
    window.close();
    return closed.count() == 1 || closed.wait(5000);
}

}  // namespace

class TestProgram : public QObject {
    Q_OBJECT

  private slots:
    void storeThatCannotOpenStopsTheProgram() {
        testing::Console console;
        // Where the data folder belongs there is a file: the store cannot be made.
        std::filesystem::create_directories(console.paths().dataFolder().parent_path());
        std::ofstream(console.paths().dataFolder()) << "not a folder";
        QVERIFY(!console.create());
        QCOMPARE(console.boxes.errors.size(), size_t(1));
        const std::string head = QpaneProgram::storeFailureText("");
        QCOMPARE(console.boxes.errors.front().substr(0, head.size()), head);
        QVERIFY(console.boxes.errors.front().size() > head.size());  // and why
    }

    void failedStartUpWritesNoSettings() {
        testing::Console console;
        const std::string settings = "[Boad]\r\nPortno=3\r\nDisppt=13\r\nWTime=9\r\n";
        console.writeSettings(settings);
        {
            // A version table the upgrade cannot read: start-up ends at its first step.
            Database db(console.paths().dataFolder());
            db.run("CREATE TABLE TABLEUPD (x smallint)");
        }
        QVERIFY(startAndWait(console));
        QCOMPARE(console.boxes.errors.size(), size_t(1));
        QVERIFY(closeAndWait(console.program->window()));
        QCOMPARE(console.readSettings(), settings);
        QVERIFY(!std::filesystem::exists(console.paths().root() / "Qcontrol.ini"));
    }

    void settingsRestoredAtStartAndWrittenAtTheWindowsOwnClose() {
        testing::Console console;
        console.writeSettings("[Boad]\r\nDisppt=15\r\nScrolrow=4\r\nDpnin=7\r\nChars2=x\r\n");
        QVERIFY(startAndWait(console));
        MainWindow& window = console.program->window();
        QVERIFY(console.boxes.errors.empty());
        QVERIFY(window.findChild<QCheckBox*>("CkBrelay")->isChecked());
        QVERIFY(window.windowTitle().endsWith(
            QStringLiteral("選択出力パターン －＞ ＣＲＯＳＳ-リレー")));
        QCOMPARE(window.findChild<QLineEdit*>("Eddan")->text(), QStringLiteral("4"));
        QCOMPARE(window.findChild<SpinEditWidget*>("SPEnin")->text(), QStringLiteral("7"));

        QVERIFY(closeAndWait(window));
        QVERIFY(!window.isVisible() || QTest::qWaitFor([&] { return !window.isVisible(); }));
        const std::string written = console.readSettings();
        for (const char* key : {"Disppt=15", "Scrolrow=4", "Dpnin=7", "Chars2=0", "Gmode=D"})
            QVERIFY2(written.find(key) != std::string::npos, key);
    }
};

QTEST_MAIN(TestProgram)
#include "test_program.moc"
