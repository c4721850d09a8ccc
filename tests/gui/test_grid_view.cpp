// The grids: what they show of a query, and how they follow it and report the operator.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "gui/grid_view.h"
#include "gui/query_table_model.h"
#include "store/database.h"
#include "store/query.h"

using namespace qpane;

class TestGridView : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::unique_ptr<Database> db_;

    void run(TQuery& q, const std::string& statement) {
        q.SQL().Clear();
        q.SQL().Add(statement);
        q.Open();
    }
    void exec(const std::string& statement) {
        TQuery q(*db_, "Qedit");
        q.SQL().Add(statement);
        q.ExecSQL();
    }

  private slots:
    void init() {
        QVERIFY(folder_.isValid());
        db_ = std::make_unique<Database>(folder_.path().toStdString() + "/" +
                                         QTest::currentTestFunction());
        exec("update timedata set time1='00:01:23.45' where bib='002'");
        exec("update timedata set time1='00:01:20.11' where bib='005'");
    }
    void cleanup() { db_.reset(); }

    void fixedColumnsByFieldWithoutCase() {
        TQuery q(*db_, "Qmente");
        run(q, "select * from timedata order by bib");
        QueryTableModel model({{"BIB", "Bib"}, {"Time1", "Time1"}, {"nothing", "None"}});
        QVERIFY(model.take(q));
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.rowCount(), 999);
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("002"));
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("00:01:23.45"));
        QCOMPARE(model.index(1, 2).data().toString(), QString());  // a field the result lacks
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("None"));
    }

    void withoutColumnsEveryColumnOfTheResult() {
        TQuery q(*db_, "Qtimedp");
        run(q, "select bib,time1 from timedata where time1<>'' order by time1,bib desc");
        QueryTableModel model({});
        model.take(q);
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("time1"));
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("005"));
        // Another statement, another shape.
        run(q, "select bib from timedata where bib='007'");
        q.Close();
        run(q, "select bib from timedata where bib='007'");
        QVERIFY(model.take(q));
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.rowCount(), 1);
        q.Close();
        model.take(q);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.currentRow(), -1);
    }

    // The operator's scroll position and the view's selection survive a reopened query of
    // the same shape and a moved cursor; only another shape resets the model.
    void sameShapeChangesInPlace() {
        TQuery q(*db_, "Qmente");
        run(q, "select * from timedata order by bib");
        QueryTableModel model({{"bib", "Bib"}, {"time1", "Time1"}});
        model.take(q);
        QCOMPARE(model.index(2, 1).data().toString(), QString());  // shown before the change
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        q.setRecNo(4);
        QVERIFY(!model.take(q));
        QCOMPARE(model.currentRow(), 4);
        QCOMPARE(changes.count(), 0);
        exec("update timedata set time1='00:02:00.00' where bib='003'");
        q.Close();
        q.Open();
        QVERIFY(!model.take(q));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("00:02:00.00"));
    }

    // The model reads the rows the view asks for and keeps those near the last one asked:
    // a change near them is told to the view, one far from them is read when it is shown.
    void readsTheRowsItShowsAndKeepsThoseNearTheLast() {
        TQuery q(*db_, "Qmente");
        run(q, "select * from timedata order by bib");
        QueryTableModel model({{"bib", "Bib"}, {"time1", "Time1"}});
        model.take(q);
        QCOMPARE(model.rowCount(), 999);
        QCOMPARE(model.index(900, 0).data().toString(), QStringLiteral("901"));
        for (int row = 0; row < 999; ++row)  // the operator scrolls to the end
            QCOMPARE(model.index(row, 0).data().toString(), QString::asprintf("%03d", row + 1));
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        exec("update timedata set time1='00:03:00.00' where bib='998'");
        q.Close();
        q.Open();
        model.take(q);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(model.index(997, 1).data().toString(), QStringLiteral("00:03:00.00"));
        exec("update timedata set time1='00:04:00.00' where bib='001'");
        q.Close();
        q.Open();
        model.take(q);
        QCOMPARE(changes.count(), 1);  // row 0 is far from what the view shows
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("00:04:00.00"));
    }

    // Between a change of the query and the grid's next turn, the view is served what it
    // showed: never rows of the new result in the old shape.
    void holdsWhatItShowedUntilItFollows() {
        TQuery q(*db_, "Qtimedp");
        run(q, "select * from timedata order by bib");
        GridView grid(q, {{"bib", "Bib"}, {"time1", "Time1"}});
        grid.resize(200, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCoreApplication::processEvents();
        QSignalSpy changes(grid.model(), &QAbstractItemModel::dataChanged);
        run(q, "select * from timedata order by bib desc");
        QCOMPARE(grid.rows().index(0, 0).data().toString(), QStringLiteral("001"));
        QCOMPARE(grid.rows().index(500, 0).data().toString(), QString());  // never shown
        QCoreApplication::processEvents();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(grid.rows().index(0, 0).data().toString(), QStringLiteral("999"));
        QCOMPARE(grid.rows().index(500, 0).data().toString(), QStringLiteral("499"));
        QCOMPARE(grid.currentIndex().row(), 0);
    }

    void alignmentOfAColumn() {
        TQuery q(*db_, "Qgroup");
        run(q, "select * from timedata order by bib");
        QueryTableModel model({{"bib", "Bib"}, {"grp", "Gr.", Qt::AlignRight | Qt::AlignVCenter}});
        model.take(q);
        QVERIFY(Qt::Alignment(model.index(0, 1).data(Qt::TextAlignmentRole).toInt()) &
                Qt::AlignRight);
        QVERIFY(Qt::Alignment(model.index(0, 0).data(Qt::TextAlignmentRole).toInt()) &
                Qt::AlignLeft);
    }

    // A handler that runs through a result moves the cursor row by row; the grid shows where
    // it ended, once, and says nothing back to the core about it.
    void followsOncePerTurnAndOnlyReportsTheOperator() {
        TQuery q(*db_, "Qtimedp");
        run(q, "select * from timedata order by bib");
        GridView grid(q, {{"bib", "Bib"}});
        grid.resize(200, 300);
        grid.show();
        QSignalSpy moved(&grid, &GridView::rowMoved);
        QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);
        while (!q.Eof())
            q.Next();
        QCOMPARE(grid.currentIndex().row(), 0);  // not yet: the handler still runs
        QCoreApplication::processEvents();
        QCOMPARE(grid.currentIndex().row(), 998);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(moved.count(), 0);

        // The operator moves up a row and presses Enter.
        QSignalSpy enter(&grid, &GridView::enterPressed);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).toInt(), 997);
        QCOMPARE(q.recNo(), 998);  // the core moves it, not the grid
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(enter.count(), 1);
        QCOMPARE(enter.at(0).at(0).toInt(), 997);

        QSignalSpy clicked(&grid, &GridView::rowClicked);
        const QRect cell = grid.visualRect(grid.model()->index(995, 0));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), 995);
    }

    void emptyGridEnterSaysNoRow() {
        TQuery q(*db_, "Qmente");
        run(q, "select * from timedata where bib='none'");
        GridView grid(q, {{"bib", "Bib"}});
        QSignalSpy enter(&grid, &GridView::enterPressed);
        QTest::keyClick(&grid, Qt::Key_Enter);
        QCOMPARE(enter.count(), 1);
        QCOMPARE(enter.at(0).at(0).toInt(), -1);
    }
};

QTEST_MAIN(TestGridView)
#include "test_grid_view.moc"
