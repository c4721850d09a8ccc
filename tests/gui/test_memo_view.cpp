// The memos: how line bytes are shown, and a view that follows its list piece by piece.
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#include <random>
#include <string>

#include "gui/memo_text.h"
#include "gui/memo_view.h"
#include "input/line_list.h"

using namespace qpane;

namespace {

// What a view of list shows: its newest kMemoLines lines.
QString expectedText(const LineList& list) {
    QStringList lines;
    const size_t first = list.count() > kMemoLines ? list.count() - kMemoLines : 0;
    for (size_t i = first; i < list.count(); ++i)
        lines << memoLineText(list.line(i));
    return lines.join(QLatin1Char('\n'));
}

QString u(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

}  // namespace

class TestMemoView : public QObject {
    Q_OBJECT

  private slots:
    void lineBytesAsShown_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        const QString bad = u(0xFFFD);
        QTest::newRow("ascii") << QByteArray("C1001200:01:23.45") << QString("C1001200:01:23.45");
        QTest::newRow("board row end") << QByteArray("A012 1:23.45\r") << QString("A012 1:23.45");
        QTest::newRow("control bytes")
            << QByteArray("\x02X\x03\x7F", 4) << (u(0x2402) + "X" + u(0x2403) + u(0x2421));
        QTest::newRow("nul") << QByteArray("a\0b", 3) << ("a" + u(0x2400) + "b");
        QTest::newRow("japanese") << QByteArray("出力データ") << QString("出力データ");
        QTest::newRow("poll byte") << QByteArray("\xC1\xC1") << (bad + bad);
        QTest::newRow("overlong") << QByteArray("\xE0\x80\x80") << (bad + bad + bad);
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << (bad + bad + bad);
        QTest::newRow("beyond unicode") << QByteArray("\xF4\x90\x80\x80") << QString(4, bad[0]);
        QTest::newRow("four bytes") << QByteArray("\xF0\x9F\x98\x80") << u(0x1F600);
        QTest::newRow("paragraph separator") << QByteArray(
                                                    "a\xE2\x80\xA9"
                                                    "b")
                                             << ("a" + bad + "b");
        QTest::newRow("cut sequence") << QByteArray(
                                             "\xE3\x81"
                                             "A")
                                      << (bad + bad + "A");
    }
    void lineBytesAsShown() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(memoText(std::string_view(bytes.constData(), bytes.size())), shown);
    }

    void incompleteTailCountsOnlyWhatMoreBytesCanFinish_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("tail");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("ascii") << QByteArray("ab") << 0;
        QTest::newRow("lead of three") << QByteArray("a\xE3") << 1;
        QTest::newRow("two of three") << QByteArray("a\xE3\x81") << 2;
        QTest::newRow("complete") << QByteArray("\xE3\x81\x82") << 0;
        QTest::newRow("three of four") << QByteArray("\xF0\x9F\x98") << 3;
        QTest::newRow("wrong second byte") << QByteArray("\xE0\x80") << 0;
        QTest::newRow("never a lead") << QByteArray("\xC1") << 0;
        QTest::newRow("stray continuation") << QByteArray("a\x80") << 0;
        QTest::newRow("after a complete one") << QByteArray("\xE3\x81\x82\xE3") << 1;
    }
    void incompleteTailCountsOnlyWhatMoreBytesCanFinish() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, tail);
        QCOMPARE(incompleteTail(std::string_view(bytes.constData(), bytes.size())), size_t(tail));
    }

    // What the view relies on: the text of a grown line is the text of what was there, less
    // its waiting bytes, plus the text of the rest.
    void grownTextIsShownTextPlusTail() {
        std::mt19937 random(7);
        const char pieces[] = {'a',    '\r',   '\x02', '\x80', '\x81', '\xA9', '\xC1', '\xC3',
                               '\xE2', '\xE3', '\xED', '\xF0', '\x9F', '\xF4', '\x90'};
        for (int round = 0; round < 2000; ++round) {
            std::string s;
            const int length = static_cast<int>(random() % 12);
            for (int i = 0; i < length; ++i)
                s += pieces[random() % sizeof(pieces)];
            const size_t cut = s.empty() ? 0 : random() % (s.size() + 1);
            const std::string shown = s.substr(0, cut);
            const size_t waiting = incompleteTail(shown);
            QString text = memoText(shown);
            text.chop(static_cast<qsizetype>(waiting));
            text += memoText(std::string_view(s).substr(cut - waiting));
            QCOMPARE(text, memoText(s));
        }
    }

    void followsOncePerTurnOfTheEventLoop() {
        LineList list;
        MemoView view;
        view.bind(list);
        const int before = view.followCount();
        for (int i = 0; i < 5000; ++i) {
            list.appendByte(static_cast<char>('0' + i % 10));
            if (i % 20 == 19) list.endLine();
        }
        QCOMPARE(view.followCount(), before);  // nothing yet: the handler is still running
        QCoreApplication::processEvents();
        QCOMPARE(view.followCount(), before + 1);
        QCOMPARE(view.toPlainText(), expectedText(list));
    }

    // The input log and the queue: lines come at the end, byte by byte or whole, and go from
    // the front; the view keeps up without being redrawn.
    void followsAppendsAndFrontDeletionsPieceByPiece() {
        LineList list;
        MemoView view;
        view.bind(list);
        std::mt19937 random(11);
        // Bytes come in the order of the sample, so characters are cut between turns.
        const std::string sample = "C1001200:01:23.45\xE3\x81\x82\xC1@\xF0\x9F\x98\x80";
        size_t next = 0;
        for (int turn = 0; turn < 300; ++turn) {
            const int steps = 1 + static_cast<int>(random() % 40);
            // A line shown stays, else all that is shown is replaced and drawn afresh.
            size_t deletable = list.count() > 0 ? list.count() - 1 : 0;
            for (int i = 0; i < steps; ++i) {
                switch (random() % 6) {
                    case 0: list.endLine(); break;
                    case 1: list.addLine(sample.substr(0, random() % sample.size())); break;
                    case 2:
                        if (deletable > 0) {
                            list.deleteLine(0);
                            --deletable;
                        }
                        break;
                    default: list.appendByte(sample[next++ % sample.size()]); break;
                }
            }
            view.followNow();
            QCOMPARE(view.toPlainText(), expectedText(list));
        }
        QCOMPARE(view.redrawCount(), 1);  // only when it was bound
    }

    void characterCutBetweenTurnsIsShownWhole() {
        LineList list;
        MemoView view;
        view.bind(list);
        for (char b : std::string("A\xE3\x81\x82")) {
            list.appendByte(b);
            view.followNow();
        }
        QCOMPARE(view.toPlainText(), QStringLiteral("Aあ"));
    }

    // A line that never ends is shown up to a limit, and costs nothing more as it grows.
    void endlessLineIsCutWithAnEllipsis() {
        LineList list;
        MemoView view;
        view.bind(list);
        std::string line;
        for (int turn = 0; turn < 50; ++turn) {
            for (int i = 0; i < 97; ++i) {
                const char b = "x\xE3\x81\x82"[line.size() % 4];
                list.appendByte(b);
                line += b;
            }
            view.followNow();
            QCOMPARE(view.toPlainText(), expectedText(list));
        }
        const QString shown = view.toPlainText();
        QVERIFY(shown.endsWith(QChar(kMemoEllipsis)));
        QVERIFY(memoText(line).startsWith(shown.chopped(1)));
        list.endLine();
        list.addLine("next");
        view.followNow();
        QCOMPARE(view.toPlainText(), expectedText(list));
        QCOMPARE(view.redrawCount(), 1);
    }

    // A queue that no routine takes from grows without end; its view shows the newest lines,
    // and follows them piece by piece as they come and go.
    void showsTheNewestLinesOnly() {
        LineList list;
        MemoView view;
        view.bind(list);
        for (int i = 0; i < 1500; ++i)
            list.addLine("C1" + std::to_string(i));
        view.followNow();
        QCOMPARE(view.document()->blockCount(), int(kMemoLines));
        QCOMPARE(view.document()->firstBlock().text(), QString("C1500"));
        QCOMPARE(view.toPlainText(), expectedText(list));
        for (int i = 0; i < 20; ++i) {
            list.addLine("C1x" + std::to_string(i));
            list.appendByte('y');
            if (i % 3 == 0) list.deleteLine(0);
            view.followNow();
            QCOMPARE(view.toPlainText(), expectedText(list));
        }
        QCOMPARE(view.redrawCount(), 1);
        while (list.count() > 10)
            list.deleteLine(0);
        view.followNow();
        QCOMPARE(view.toPlainText(), expectedText(list));
        QCOMPARE(view.document()->blockCount(), 10);
    }

    void anyOtherChangeIsShownAfresh() {
        LineList list;
        MemoView view;
        view.bind(list);
        for (const char* line : {"one", "two", "three", "four"})
            list.addLine(line);
        view.followNow();
        list.deleteLine(2);
        view.followNow();
        QCOMPARE(view.toPlainText(), QString("one\ntwo\nfour"));
        list.deleteLine(list.count() - 1);  // the idle poll run is dropped from the end
        list.addLine("five");
        view.followNow();
        QCOMPARE(view.toPlainText(), QString("one\ntwo\nfive"));
        list.clear();
        view.followNow();
        QCOMPARE(view.toPlainText(), QString());
        list.addLine("again");
        view.followNow();
        QCOMPARE(view.toPlainText(), QString("again"));
    }

    void keepsToTheNewestLineUnlessScrolledUp() {
        LineList list;
        MemoView view;
        view.resize(200, 100);
        view.show();
        view.bind(list);
        for (int i = 0; i < 200; ++i)
            list.addLine("line " + std::to_string(i));
        view.followNow();
        QScrollBar* bar = view.verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(10);  // the operator reads back
        list.addLine("newest");
        view.followNow();
        QCOMPARE(bar->value(), 10);
        bar->setValue(bar->maximum());
        list.addLine("after that");
        view.followNow();
        QCOMPARE(bar->value(), bar->maximum());
    }

    void unbindingLetsTheListGoOn() {
        LineList list;
        {
            MemoView view;
            view.bind(list);
            list.addLine("seen");
        }
        list.addLine("after the view");  // must not reach the destroyed view
        QCoreApplication::processEvents();
        QCOMPARE(list.count(), size_t(2));
    }
};

QTEST_MAIN(TestMemoView)
#include "test_memo_view.moc"
