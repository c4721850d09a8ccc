// The result lists from the window: the button beside the tabs, the dialog's heading kept in
// the settings file beside the window's settings, the exports of the stored race.
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/fqpane.h"
#include "gui/main_window.h"
#include "gui/result_list_dialog.h"
#include "gui_test_support.h"

using namespace qpane;

namespace {

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

}  // namespace

class TestResultLists : public QObject {
    Q_OBJECT

  private slots:
    void listsOfTheRunningRaceFromTheButtonBesideTheTabs() {
        testing::Console console;
        console.writeSettings("[Boad]\r\nPortno=1\r\nPinout=1\r\nPortno2=2\r\nDisppt=1\r\n");
        QVERIFY(console.create());
        MainWindow& window = console.program->window();
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return window.started(); }, 10000));
        TFqpane& core = console.program->core();
        core.Db1.run(
            "update timedata set grp='2',time1='00:00:58.00' where block='3' and "
            "bib='007'");
        core.Db1.run(
            "update timedata set grp='2',time1='00:00:57.00' where block='3' and "
            "bib='008'");

        auto* button = window.findChild<QPushButton*>(QStringLiteral("ResultListButton"));
        QVERIFY(button);
        // In the tab row, clear of the tab cover and of the close button.
        QVERIFY(button->geometry().left() >= 500);
        QVERIFY(button->geometry().right() < MainWindow::kWidth - 34);
        QVERIFY(button->geometry().bottom() < MainWindow::kTabRowHeight);
        QTest::mouseClick(button, Qt::LeftButton);
        ResultListDialog* dialog = window.resultLists();
        QVERIFY(dialog && dialog->isVisible());
        dialog->setQuiet(true);

        dialog->titleField()->setText(QStringLiteral("市民大会"));
        dialog->dateField()->setText(QStringLiteral("2027年1月10日"));
        dialog->blockField()->setValue(3);
        const std::filesystem::path csv = console.paths().root() / "list.csv";
        QVERIFY2(dialog->exportTo(ResultListDialog::Format::Csv, csv),
                 qPrintable(dialog->status()));
        QCOMPARE(readFile(csv),
                 std::string("\xEF\xBB\xBF"
                             "ブロック,順位,ゼッケン,組,1本目,2本目,合計,トップ差\r\n"
                             "3,1,008,2,57.00,,,\r\n"
                             "3,2,007,2,58.00,,,+1.00\r\n"));
        const std::filesystem::path txt = console.paths().root() / "list.txt";
        QVERIFY(dialog->exportTo(ResultListDialog::Format::Text, txt));
        QVERIFY(readFile(txt).rfind("市民大会\n2027年1月10日\n", 0) == 0);
        QVERIFY(
            dialog->exportTo(ResultListDialog::Format::Pdf, console.paths().root() / "list.pdf"));
        QVERIFY(readFile(console.paths().root() / "list.pdf").rfind("%PDF-", 0) == 0);

        // A block without competitors: told in the dialog, no file.
        dialog->blockField()->setValue(5);
        const std::filesystem::path none = console.paths().root() / "none.csv";
        QVERIFY(!dialog->exportTo(ResultListDialog::Format::Csv, none));
        QCOMPARE(dialog->status(), QStringLiteral("ブロック 5 に結果がありません"));
        QVERIFY(!std::filesystem::exists(none));

        // The heading is kept at once, and the window's own save at shut-down keeps it.
        QVERIFY(console.readSettings().find(
                    "[Results]\r\nTitle=市民大会\r\nDate=2027年1月10日\r\n") != std::string::npos);
        QSignalSpy closed(&window, &MainWindow::closed);
        window.close();
        QVERIFY(closed.count() == 1 || closed.wait(5000));
        const std::string settings = console.readSettings();
        QVERIFY2(settings.find("Title=市民大会\r\n") != std::string::npos, settings.c_str());
        QVERIFY(settings.find("Disppt=1\r\n") != std::string::npos);
    }
};

QTEST_MAIN(TestResultLists)
#include "test_result_lists.moc"
