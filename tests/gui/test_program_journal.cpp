// The program and its traffic journal: a journal that cannot be written is told in the
// window's error box, once, and the console starts and runs all the same.
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/traffic_journal.h"
#include "gui/main_window.h"
#include "gui_test_support.h"

using namespace qpane;

class TestProgramJournal : public QObject {
    Q_OBJECT

  private slots:
    void journalThatCannotBeWrittenIsToldOnceInTheErrorBox() {
        testing::Console console;
        // Where the journal belongs there is a folder.
        const std::filesystem::path file = console.paths().dataFolder() / TrafficJournal::kFileName;
        std::filesystem::create_directories(file);
        QVERIFY(console.create());
        MainWindow& window = console.program->window();
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return window.started(); }, 10000));
        QVERIFY(QTest::qWaitFor([&] { return !console.boxes.errors.empty(); }, 5000));
        QCOMPARE(console.boxes.errors.front(),
                 TrafficJournal::failureText(file, std::strerror(EISDIR)));
        QCOMPARE(console.boxes.errors.size(), size_t(1));
    }
};

QTEST_MAIN(TestProgramJournal)
#include "test_program_journal.moc"
