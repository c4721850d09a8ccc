// The operator at the console, for the end-to-end tests and benchmarks: a library preloaded
// into the real qpane (LD_PRELOAD), so that the program runs as shipped and is driven
// through its window only. It starts when the application object is made and reads:
//   QPANE_OPERATOR_CLICKS   controls to click, by name, once start-up has run ("CuteButton3")
//   QPANE_OPERATOR_ANSWERS  answers to the Yes/No boxes in turn ("yes,no"); No when none is
//                           left; boxes with OK only are confirmed
//   QPANE_OPERATOR_STOP     a file: when it appears, the window's close button is clicked
//   QPANE_OPERATOR_CLICK_FILE  a file: when it appears, the names in it (comma-separated)
//                           are clicked in turn, and the file is removed
//   QPANE_OPERATOR_REPORT   a file that gets one line per thing done or seen:
//                           "started", "click NAME", "missing NAME", "ask TEXT -> yes|no",
//                           "message TEXT", "error TEXT", "close"
//   QPANE_OPERATOR_STATUS   a file that gets "NAME TEXT" each time a line of the link status
//                           changes
// Without QPANE_OPERATOR_CLICKS nothing is done.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <deque>
#include <memory>

namespace {

// How long a control to click may take to appear and become usable.
constexpr qint64 kControlWaitMs = 15000;
// How long the boxes that a click brings are waited for, when nothing else is to be done.
constexpr qint64 kAfterLastClickMs = 10000;

class Operator : public QObject {
  public:
    explicit Operator(QObject* parent) : QObject(parent) {
        for (const QString& name : env("QPANE_OPERATOR_CLICKS").split(',', Qt::SkipEmptyParts))
            clicks_.push_back(name.trimmed());
        for (const QString& a : env("QPANE_OPERATOR_ANSWERS").split(',', Qt::SkipEmptyParts))
            answers_.push_back(a.trimmed().compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0);
        stopFile_ = env("QPANE_OPERATOR_STOP");
        clickFile_ = env("QPANE_OPERATOR_CLICK_FILE");
        report_.setFileName(env("QPANE_OPERATOR_REPORT"));
        if (!report_.fileName().isEmpty()) report_.open(QIODevice::WriteOnly | QIODevice::Append);
        status_.setFileName(env("QPANE_OPERATOR_STATUS"));
        if (!status_.fileName().isEmpty()) status_.open(QIODevice::WriteOnly | QIODevice::Append);
        connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        timer_.start(20);
    }

  private:
    static QString env(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

    void note(const QString& line) {
        if (!report_.isOpen()) return;
        report_.write(line.toUtf8() + '\n');
        report_.flush();
    }

    // Clicks outside of this timer's tick: a click may open a modal box, whose loop must see
    // the next tick to answer it.
    void clickLater(QWidget* widget) {
        QTimer::singleShot(0, widget, [w = QPointer<QWidget>(widget)] {
            if (w) QTest::mouseClick(w, Qt::LeftButton);
        });
    }

    QWidget* mainWindow() const {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Fqpane") && w->isVisible()) return w;
        return nullptr;
    }

    void look() {
        answerBox();
        QWidget* window = mainWindow();
        if (!window) return;
        if (!started_) {
            // Start-up runs once the window has been shown, and says when it is done.
            if (!startUpDone_)
                startUpDone_ = std::make_unique<QSignalSpy>(window, SIGNAL(startUpDone()));
            if (startUpDone_->isEmpty()) return;
            started_ = true;
            note(QStringLiteral("started"));
            since_.start();
        }
        noteLinkStatus(window);
        takeClickFile();
        clickNext(window);
        if (!stopFile_.isEmpty() && !closing_ && QFile::exists(stopFile_)) {
            closing_ = true;
            note(QStringLiteral("close"));
            if (QWidget* close = window->findChild<QWidget*>(QStringLiteral("CuteButton2")))
                clickLater(close);
            else
                window->close();
        }
        if (clicks_.empty()) timer_.setInterval(100);
        // With nothing left to do but the boxes that the last click brings, the operator
        // then stays out of the way of the idle console.
        if (clicks_.empty() && stopFile_.isEmpty() && since_.elapsed() > kAfterLastClickMs)
            timer_.stop();
    }

    void takeClickFile() {
        if (clickFile_.isEmpty() || !QFile::exists(clickFile_)) return;
        QFile file(clickFile_);
        if (file.open(QIODevice::ReadOnly)) {
            for (const QString& name :
                 QString::fromUtf8(file.readAll()).split(',', Qt::SkipEmptyParts))
                clicks_.push_back(name.trimmed());
        }
        file.remove();
        since_.restart();
        timer_.setInterval(20);
    }

    void clickNext(QWidget* window) {
        if (clicks_.empty()) return;
        const QString name = clicks_.front();
        QWidget* control = window->findChild<QWidget*>(name);
        if (!control || !control->isVisible() || !control->isEnabled()) {
            if (since_.elapsed() < kControlWaitMs) return;
            note(QStringLiteral("missing ") + name);
        } else {
            note(QStringLiteral("click ") + name);
            clickLater(control);
        }
        clicks_.pop_front();
        since_.restart();
    }

    void noteLinkStatus(QWidget* window) {
        if (!status_.isOpen()) return;
        for (int link = 0; link < 2; ++link) {
            const QString name = QStringLiteral("LinkStatus%1").arg(link + 1);
            auto* line = window->findChild<QPushButton*>(name);
            if (!line || line->text() == linkStatus_[link]) continue;
            linkStatus_[link] = line->text();
            status_.write((name + QLatin1Char(' ') + line->text()).toUtf8() + '\n');
            status_.flush();
        }
    }

    void answerBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == lastBox_) return;
        lastBox_ = box;
        const QString text = box->text();
        QAbstractButton* button = nullptr;
        if (box->button(QMessageBox::Yes) && box->button(QMessageBox::No)) {
            const bool yes = !answers_.empty() && answers_.front();
            if (!answers_.empty()) answers_.pop_front();
            note(QStringLiteral("ask ") + text +
                 (yes ? QStringLiteral(" -> yes") : QStringLiteral(" -> no")));
            button = box->button(yes ? QMessageBox::Yes : QMessageBox::No);
        } else {
            note((box->icon() == QMessageBox::Critical ? QStringLiteral("error ")
                                                       : QStringLiteral("message ")) +
                 text);
            button = box->button(QMessageBox::Ok);
        }
        if (button)
            clickLater(button);
        else
            box->reject();
    }

    QTimer timer_;
    QElapsedTimer since_;
    std::deque<QString> clicks_;
    std::deque<bool> answers_;
    QString stopFile_;
    QString clickFile_;
    QFile report_;
    QFile status_;
    QPointer<QMessageBox> lastBox_;
    QString linkStatus_[2];
    std::unique_ptr<QSignalSpy> startUpDone_;
    bool started_ = false;
    bool closing_ = false;
};

void startOperator() {
    if (qEnvironmentVariableIsEmpty("QPANE_OPERATOR_CLICKS")) return;
    new Operator(QCoreApplication::instance());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(startOperator)
