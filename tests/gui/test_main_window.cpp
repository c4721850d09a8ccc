// The window on a first start (no settings file, no port chosen), driven the way the operator
// drives it. The test functions run in order on one window, as one session at the console.
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSplitter>
#include <QtTest>

#include "app/fqpane.h"
#include "controls/cute_button.h"
#include "gui/control_binder.h"
#include "gui/grid_view.h"
#include "gui/main_window.h"
#include "gui/memo_view.h"
#include "gui/pattern_image.h"
#include "gui/radio_group_box.h"
#include "gui/spin_edit_widget.h"
#include "gui_test_support.h"

using namespace qpane;

namespace {
const QString kCaptionHead = QStringLiteral("VESK Q-PANE control   CT-Data >>>  Q-PANE    ");
const QString kAlpine1 = QStringLiteral("選択出力パターン －＞ ＡＬＰＩＮＥ－１");
const char* const kNoPort = "第一ポートが有効ではありません。有効なポートを指定してください。";

const char* firstOf(const std::vector<std::string>& texts) {
    return texts.empty() ? "" : texts.front().c_str();
}
}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    testing::Console console_;
    MainWindow* window_ = nullptr;
    TFqpane* core_ = nullptr;

    template <typename W>
    W* widget(const char* name) {
        W* w = window_->findChild<W*>(QString::fromLatin1(name));
        if (!w) qWarning("no widget %s", name);
        return w;
    }
    void clickButton(const char* name) {
        TCuteButton* button = widget<TCuteButton>(name);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Lets what the operator did, and what it set off, run.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void typeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        settle();
    }

  private slots:
    void initTestCase() {
        QVERIFY(console_.root.isValid());
        QVERIFY(console_.create());
        window_ = &console_.program->window();
        core_ = &console_.program->core();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
        QTRY_VERIFY_WITH_TIMEOUT(window_->started(), 10000);
        QVERIFY2(console_.boxes.errors.empty(), firstOf(console_.boxes.errors));
    }

    void windowAndPageCaptionsAfterFirstStart() {
        QCOMPARE(window_->windowTitle(), kCaptionHead + kAlpine1);
        QCOMPARE(window_->size(), QSize(904, 678));
        const QStringList tabs = {
            QStringLiteral("ボードコントロール"), QStringLiteral("データチェック"),
            QStringLiteral("出力パターン選択"), QStringLiteral("メンテナンス")};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(window_->tabButton(i)->text(), tabs[i]);
            QCOMPARE(window_->tabButton(i)->width(), 120);
            QCOMPARE(window_->tabButton(i)->x(), 120 * i);
        }
        QCOMPARE(window_->currentPage()->objectName(), QStringLiteral("TabSheet1"));
        QCOMPARE(widget<QLabel>("Label5")->text(), kAlpine1);
        QCOMPARE(widget<QLabel>("Label1")->text(), QStringLiteral("V 3.03"));
        QCOMPARE(widget<TCuteButton>("CuteButton2")->caption(), QStringLiteral("×"));
        QCOMPARE(widget<TCuteButton>("CuteButton3")->caption(), QStringLiteral("実行"));
        QCOMPARE(widget<PatternImage>("ImgC4")->caption(), QStringLiteral("CROSS-4"));
        QCOMPARE(widget<QCheckBox>("CkBrelay")->text(), QStringLiteral("Relay"));

        const std::pair<const char*, const char*> labels[] = {
            {"LabelMemo1", "入力データ"},
            {"LabelMemo3", "出力データ"},
            {"LabelSPEnin", "ランキング"},
            {"LabelSPEninUnit", "まで"},
            {"LabelSpinEdit1", "スクロールタイム"},
            {"LabelTBarbright", "明るさ"},
            {"LabelPatternHint", "出力パターン選択はイメージをクリック"},
            {"LabelSPE", "Block"},
            {"LabelSpEgr", "Group No."},
            {"LabelSpEs", "Begin bib No."},
            {"LabelSpEe", "End bib No."},
            {"LabelSpE2", "Block"},
            {"LabelEdit4", "Begin bib No."},
            {"LabelEdit5", "End bib No."},
            {"LabelEdit2", "Bib"},
            {"LabelME1", "Time 1st"},
            {"LabelME2", "Time 2nd"},
        };
        for (const auto& [name, text] : labels) {
            QLabel* label = widget<QLabel>(name);
            QVERIFY2(label, name);
            QCOMPARE(label->text(), QString::fromUtf8(text));
        }
        QCOMPARE(widget<QGroupBox>("FrameBoard")->title(), QStringLiteral("ボード調整"));
        QCOMPARE(widget<RadioGroupBox>("RGport")->title(), QStringLiteral("入出力ポート"));
    }

    void layoutOfCoversAndFields() {
        QWidget* cover = widget<QWidget>("Panel1");
        QCOMPARE(cover->geometry(), QRect(0, 0, 500, 29));
        QVERIFY(cover->isVisible());
        QCOMPARE(cover->palette().color(QPalette::Window), QColor(Qt::black));
        QWidget* boardCover = widget<QWidget>("Panel4");
        QCOMPARE(boardCover->pos(), QPoint(40, 48));
        QVERIFY(!boardCover->isHidden());
        QCOMPARE(widget<QWidget>("Panel6")->pos(), QPoint(16, 64));

        QCOMPARE(widget<QSplitter>("Splitter1")->sizes().front(), 448);
        for (const char* name : {"ME1", "ME2"}) {
            QLineEdit* time = widget<QLineEdit>(name);
            QCOMPARE(time->property("EditMask").toString(), QStringLiteral("99:99:99.99;1;_"));
            QCOMPARE(time->displayText(), QStringLiteral("00:00:00.00"));
        }
        QCOMPARE(widget<GridView>("DBGrid2")->focusPolicy(), Qt::ClickFocus);

        auto headers = [this](const char* name) {
            QStringList titles;
            QAbstractItemModel* model = widget<GridView>(name)->model();
            for (int c = 0; c < model->columnCount(); ++c)
                titles << model->headerData(c, Qt::Horizontal).toString();
            return titles;
        };
        QCOMPARE(headers("DBGrid2"), (QStringList{"Bib", "Time1", "Time2", "Totalt", "BLOCK"}));
        QCOMPARE(headers("DBGrid3"), (QStringList{"Bib", "Gr.", "Block"}));
        const auto blockAlignment =
            Qt::Alignment(widget<GridView>("DBGrid3")
                              ->model()
                              ->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole)
                              .toInt());
        QVERIFY(blockAlignment & Qt::AlignRight);
    }

    void everyControlHasItsWidgetAndState() {
        for (const auto& [name, control] : core_->controls.all()) {
            if (!control->visual()) continue;
            QWidget* bound = window_->binder().widgetOf(*control);
            QVERIFY2(bound, name.c_str());
            QCOMPARE(bound->objectName(), QString::fromStdString(name));
        }
        for (const char* hidden : {"Memo4", "Memo5", "Edit1", "Edit3", "Button1", "Button2",
                                   "RGbitin", "Panel6", "RGbitout"})
            QVERIFY2(widget<QWidget>(hidden)->isHidden(), hidden);
        // The restored first-start choices.
        QVERIFY(widget<RadioGroupBox>("RGport")->item(0)->isChecked());
        QVERIFY(widget<RadioGroupBox>("RGinout")->item(0)->isChecked());
        QVERIFY(widget<RadioGroupBox>("RGchar")->item(0)->isChecked());
        QVERIFY(widget<RadioGroupBox>("RGparity")->item(0)->isChecked());
        QVERIFY(!widget<RadioGroupBox>("RGport2")->isEnabled());
        QCOMPARE(widget<SpinEditWidget>("SpinEdit1")->text(), QStringLiteral("1"));
        QCOMPARE(widget<SpinEditWidget>("SPEnin")->text(), QStringLiteral("5"));
        QCOMPARE(widget<QLineEdit>("Eddan")->text(), QStringLiteral("3"));
        QCOMPARE(widget<TCuteButton>("CTBd")->color(), QColor(0, 0, 255));
        QCOMPARE(widget<TCuteButton>("CTBb")->color(), QColor(128, 128, 128));
    }

    void coreChangesAppearInTheWidgets() {
        core_->Label5.setCaption("Label5");
        QCOMPARE(widget<QLabel>("Label5")->text(), QStringLiteral("Label5"));
        core_->Label5.setCaption(kAlpine1.toStdString());

        core_->Memo1.addLine("1C1012 00:01:23.45");
        core_->Memo3.addLine("A012     1:23.45");
        QTRY_VERIFY(widget<MemoView>("Memo1")->toPlainText().endsWith("1C1012 00:01:23.45"));
        QTRY_VERIFY(widget<MemoView>("Memo3")->toPlainText().contains("A012     1:23.45"));

        core_->RGpre.SetItemIndex(1);
        QVERIFY(widget<RadioGroupBox>("RGpre")->item(1)->isChecked());
        core_->RGpre.SetItemIndex(0);

        core_->Panel6.setVisible(true);
        QVERIFY(!widget<QWidget>("Panel6")->isHidden());
        core_->Panel6.setVisible(false);
        QVERIFY(widget<QWidget>("Panel6")->isHidden());
    }

    void tabCoverRefusesPageChanges() {
        QTest::mouseClick(window_->tabButton(1), Qt::LeftButton);
        settle();
        QCOMPARE(core_->activePage(), &core_->TabSheet1);
        QCOMPARE(window_->currentPage()->objectName(), QStringLiteral("TabSheet1"));
        QVERIFY(window_->tabButton(0)->isChecked());
        QVERIFY(!window_->tabButton(1)->isChecked());
    }

    void applyWithoutPortReachesTheCore() {
        clickButton("CuteButton3");
        QTRY_COMPARE(console_.boxes.messages.size(), size_t(1));
        QCOMPARE(console_.boxes.messages.front(), std::string(kNoPort));
        QVERIFY(widget<QWidget>("Panel1")->isHidden());
        QCOMPARE(window_->currentPage()->objectName(), QStringLiteral("TabSheet1"));
    }

    void tabsWorkOnceTheCoverIsGone() {
        QTest::mouseClick(window_->tabButton(2), Qt::LeftButton);
        settle();
        QCOMPARE(core_->activePage(), &core_->TabSheet3);
        QCOMPARE(window_->currentPage()->objectName(), QStringLiteral("TabSheet3"));
        QVERIFY(window_->tabButton(2)->isChecked());
        // Back on the board control page the cover returns.
        QTest::mouseClick(window_->tabButton(0), Qt::LeftButton);
        settle();
        QVERIFY(!widget<QWidget>("Panel1")->isHidden());
        QTest::mouseClick(window_->tabButton(3), Qt::LeftButton);
        settle();
        QCOMPARE(core_->activePage(), &core_->TabSheet1);
    }

    void coveredBoardCommandsRefuseTheOperator() {
        // "実行" stopped before it uncovered the board commands.
        QVERIFY(!widget<QWidget>("Panel4")->isHidden());
        QSlider* brightness = widget<QSlider>("TBarbright");
        brightness->setValue(5);  // as a drag would
        settle();
        QCOMPARE(core_->TBarbright.Position(), 1);
        QCOMPARE(brightness->value(), 1);
    }

    void patternImageAndRelayChooseThePattern() {
        QTest::mouseClick(widget<PatternImage>("ImgC2"), Qt::LeftButton);
        settle();
        QCOMPARE(core_->patternNo, 12);
        const QString cross2 = QStringLiteral("選択出力パターン －＞ ＣＲＯＳＳ－２");
        QCOMPARE(widget<QLabel>("Label5")->text(), cross2);
        QCOMPARE(window_->windowTitle(), kCaptionHead + cross2);

        QCheckBox* relay = widget<QCheckBox>("CkBrelay");
        QTest::mouseClick(relay, Qt::LeftButton, {}, QPoint(8, relay->height() / 2));
        settle();
        QVERIFY(core_->CkBrelay.Checked());
        QCOMPARE(core_->patternNo, 15);
        QVERIFY(window_->windowTitle().endsWith(QStringLiteral("ＣＲＯＳＳ-リレー")));
    }

    void radioGroupClickRunsItsHandler() {
        RadioGroupBox* sharing = widget<RadioGroupBox>("RGinout");
        QTest::mouseClick(sharing->item(1), Qt::LeftButton);
        settle();
        QCOMPARE(core_->pinout, 1);
        QVERIFY(widget<RadioGroupBox>("RGport2")->isEnabled());
        QCOMPARE(widget<RadioGroupBox>("RGport")->title(), QStringLiteral("入力ポート"));
        QVERIFY(!widget<QWidget>("RGbitout")->isHidden());

        QTest::mouseClick(sharing->item(0), Qt::LeftButton);
        settle();
        QCOMPARE(core_->pinout, 0);
        QVERIFY(!widget<RadioGroupBox>("RGport2")->isEnabled());
        QVERIFY(widget<QWidget>("RGbitout")->isHidden());
    }

    void spinEditTakesTypedTextAndSteps() {
        SpinEditWidget* limit = widget<SpinEditWidget>("SPEnin");
        typeInto(limit->editor(), QStringLiteral("7"));
        QCOMPARE(core_->rankLimit, 7);
        // Not a number: kept as typed; its value reads as the minimum.
        typeInto(limit->editor(), QStringLiteral("x"));
        QCOMPARE(core_->SPEnin.Text(), std::string("x"));
        QCOMPARE(limit->text(), QStringLiteral("x"));
        QCOMPARE(core_->rankLimit, 0);
        QTest::keyClick(limit->editor(), Qt::Key_Up);
        settle();
        QCOMPARE(core_->SPEnin.Text(), std::string("1"));
        QCOMPARE(limit->text(), QStringLiteral("1"));
        // Beyond the range: the core's clamped value comes back into the field.
        SpinEditWidget* scrollTime = widget<SpinEditWidget>("SpinEdit1");
        typeInto(scrollTime->editor(), QStringLiteral("500"));
        QCOMPARE(scrollTime->text(), QStringLiteral("30"));
        QCOMPARE(core_->SpinEdit1.Value(), 30);
    }

    void leavingAnEditRunsItsExitHandler() {
        QTest::mouseClick(window_->tabButton(2), Qt::LeftButton);  // cover is up again
        core_->dispatch([this] { core_->showPage(core_->TabSheet3); });
        settle();
        QLineEdit* rows = widget<QLineEdit>("Eddan");
        typeInto(rows, QStringLiteral("5"));
        QCOMPARE(core_->Eddan.Text(), std::string("5"));
        QCOMPARE(core_->scrollRows, std::string("3"));  // not before the field is left
        window_->tabButton(2)->setFocus(Qt::TabFocusReason);
        settle();
        QCOMPARE(core_->scrollRows, std::string("5"));
    }

    void timeFieldsTakeTheMaskedTextAndEnter() {
        core_->dispatch([this] { core_->showPage(core_->TabSheet4); });
        settle();
        QLineEdit* first = widget<QLineEdit>("ME1");
        typeInto(first, QStringLiteral("12"));
        QCOMPARE(core_->ME1.Text(), std::string("12:  :  .  "));
        QTest::keyClicks(first, QStringLiteral("3456"));
        settle();
        QCOMPARE(core_->ME1.Text(), std::string("12:34:56.  "));
        // Enter hands on to the second time field, and from there to "設定".
        QTest::keyClick(first, Qt::Key_Return);
        settle();
        QTRY_VERIFY(widget<QLineEdit>("ME2")->hasFocus());
        QTest::keyClick(widget<QLineEdit>("ME2"), Qt::Key_Return);
        settle();
        QTRY_VERIFY(widget<TCuteButton>("CuteButton4")->hasFocus());
        // The core's own text goes back into the field.
        core_->ME2.SetText("00:01:02.03");
        QCOMPARE(widget<QLineEdit>("ME2")->displayText(), QStringLiteral("00:01:02.03"));
        core_->ME2.SetText(" 1:  :  .  ");
        QCOMPARE(widget<QLineEdit>("ME2")->displayText(), QStringLiteral("_1:__:__.__"));
    }

    void gridsFollowTheirQueries() {
        GridView* ranking = widget<GridView>("DBGrid1");
        core_->Qtimedp.SQL().Clear();
        core_->Qtimedp.SQL().Add(
            "select bib,time1 from timedata where bib<='003' and block='0' order by bib desc");
        core_->Qtimedp.Open();
        QTRY_COMPARE(ranking->model()->rowCount(), 3);
        QCOMPARE(ranking->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("bib"));
        QCOMPARE(ranking->model()->index(0, 0).data().toString(), QStringLiteral("003"));
        core_->Qtimedp.setRecNo(2);
        QTRY_COMPARE(ranking->currentIndex().row(), 2);

        // The maintenance grid: a click takes the row into the editors.
        GridView* results = widget<GridView>("DBGrid2");
        QTRY_VERIFY(results->model()->rowCount() > 2);
        const QRect cell = results->visualRect(results->model()->index(1, 0));
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, cell.center());
        settle();
        QCOMPARE(core_->Qmente.recNo(), 1);
        const std::string bib = core_->Qmente.FieldByName("bib").AsString();
        QCOMPARE(core_->Edit2.Text(), bib);
        QCOMPARE(widget<QLineEdit>("Edit2")->text(), QString::fromStdString(bib));
        QTRY_VERIFY(widget<QLineEdit>("ME1")->hasFocus());

        // A time typed into ME1 is stored by "設定", with the total of both times.
        typeInto(widget<QLineEdit>("ME1"), QStringLiteral("00015934"));
        typeInto(widget<QLineEdit>("ME2"), QStringLiteral("00010066"));
        clickButton("CuteButton4");
        settle();
        std::vector<Database::Row> rows;
        core_->Db1.run(
            "select time1,time2,totalt from timedata where block='0' and bib='" + bib + "'",
            nullptr, &rows);
        QCOMPARE(rows.size(), size_t{1});
        QCOMPARE(rows[0][0].value_or(""), std::string("00:01:59.34"));
        QCOMPARE(rows[0][1].value_or(""), std::string("00:01:00.66"));
        QCOMPARE(rows[0][2].value_or(""), std::string("00:03:00.00"));
    }

    void closeButtonRunsTheShutDown() {
        QSignalSpy closed(window_, &MainWindow::closed);
        clickButton("CuteButton2");
        QTRY_COMPARE(closed.count(), 1);
        const std::string settings = console_.readSettings();
        QVERIFY2(settings.find("Disppt=15") != std::string::npos, settings.c_str());
        QVERIFY(settings.find("Dpnin=") != std::string::npos);
        QTRY_VERIFY(!window_->isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
