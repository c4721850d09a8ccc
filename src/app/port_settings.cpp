// The serial settings of the board control page and the apply button "実行".
#include "app/fqpane.h"
#include "serial/comm_device.h"

namespace qpane {

namespace {
constexpr const char* kConfirmTitle = "確認してください。";
constexpr const char* kDeleteTitle = "データを削除します。";
constexpr const char* kFirstPortInvalid =
    "指定された第一ポートが有効ではありません。ポートを確認してください。";

int bitRateOfItem(int item) {
    static constexpr int kRates[] = {2400, 4800, 9600};
    return item >= 0 && item < 3 ? kRates[item] : 9600;
}

// Runs a check statement on q and tells whether it found at least one record.
bool anyRecord(TQuery& q, const char* statement) {
    q.SQL().Clear();
    q.SQL().Add(statement);
    q.Open();
    return q.RecordCount() >= 1;
}

// A port choice closes its port; a port other than "無し" becomes the port's number after
// 300 ms, and "無し" keeps the number that was chosen before.
void choosePort(TFqpane& w, TCommX& port, const RadioGroup& choice, int& number) {
    port.Close();
    const int i = choice.ItemIndex();
    if (i > 0) {
        number = i;
        w.scheduler().pause(300);
        port.SetPortNo(i);
    }
}
}  // namespace

void TFqpane::tellOpenFailure(int link, int portNo) {
    linkOpenFailure_[static_cast<size_t>(link - 1)] =
        portMap_.openFailureText(portNo, env_.devices.present(portNo));
    boxes().message(kFirstPortInvalid);
}

void TFqpane::setPortMap(const PortMap& map) {
    portMap_ = map;
    linkOpenFailure_ = {};  // they named the entries of the old map
    env_.devices.usePortMap(portMap_);
}

void TFqpane::RGportClick() {
    choosePort(*this, CommX1, RGport, portNo);
}

void TFqpane::RGport2Click() {
    choosePort(*this, CommX2, RGport2, portNo2);
}

void TFqpane::RGinoutClick() {
    if (RGinout.ItemIndex() != 1) {
        RGport2.setEnabled(false);
        RGport2.SetItemIndex(0);
        RGport.setCaption("入出力ポート");
        RGbitout.setVisible(false);
    } else {
        RGport2.setEnabled(true);
        RGport2.SetItemIndex(portNo2);
        RGport.setCaption("入力ポート");
        RGbitout.setVisible(true);
    }
    pinout = RGinout.ItemIndex();
}

void TFqpane::RGbitinClick() {}

void TFqpane::RGbitoutClick() {
    if (RGinout.ItemIndex() != 1) return;
    CommX2.Close();
    bitRateOut = RGbitout.ItemIndex();
    scheduler().pause(300);
    CommX2.SetBitRate(bitRateOfItem(RGbitout.ItemIndex()));
}

void TFqpane::RGcharClick() {
    CommX1.Close();
    scheduler().pause(1000);
    if (RGchar.ItemIndex() != 0) {
        CommX1.SetCharSize(8);
        chars1 = 1;
    } else {
        CommX1.SetCharSize(7);
        chars1 = 0;
    }
}

void TFqpane::RGparityClick() {
    CommX1.Close();
    scheduler().pause(1000);
    switch (RGparity.ItemIndex()) {
        case 0: CommX1.SetParityBit(cpbEven); break;
        case 1: CommX1.SetParityBit(cpbOdd); break;
        case 2: CommX1.SetParityBit(cpbNone); break;
        default: break;
    }
    parity1 = RGparity.ItemIndex();
}

void TFqpane::CTBdClick() {
    connMode = textOf(ConnectionMode::Direct);
    CTBd.setColor(clBlue);
    CTBb.setColor(clGray);
}

void TFqpane::CTBbClick() {
    connMode = textOf(ConnectionMode::Buffered);
    CTBb.setColor(clBlue);
    CTBd.setColor(clGray);
}

void TFqpane::CuteButton3Click() {
    // The journal learns the answers given, on every way out of the handler.
    struct Answers {
        TFqpane& w;
        std::vector<std::string> given{std::to_string(w.scheduler().now())};
        ~Answers() { w.traceOperator("apply", given); }
        bool ask(const std::string& title, const std::string& text) {
            const bool yes = w.boxes().askYesNo(title, text);
            given.push_back(yes ? "yes" : "no");
            return yes;
        }
    } answers{*this};

    CommX1.Close();
    CommX2.Close();
    storeBackups.takeNow();

    if (anyRecord(Qedit, "select * from timedata where time2<>''") &&
        answers.ask(kConfirmTitle, "２本目のデータが有ります。２本目のデータを削除しますか？") &&
        answers.ask(kDeleteTitle, "本当に２本目のデータを削除してよろしいですか？")) {
        Qedit.SQL().Clear();
        Qedit.SQL().Add("update timedata set time2='',totalt=''");
        Qedit.SQL().Add(",lap=''");
        Qedit.ExecSQL();
    }

    if (anyRecord(Qedit, "select * from timedata where (time1<>'')or(totalt<>'')") &&
        answers.ask(kConfirmTitle, "１本目のデータが有ります。１本目のデータを削除しますか？") &&
        answers.ask(kDeleteTitle, "本当に１本目のデータを削除してよろしいですか？")) {
        Qedit.SQL().Clear();
        Qedit.SQL().Add("update timedata set time1='',totalt='',lap='',totaltv=''");
        Qedit.ExecSQL();
    }

    if (patternFamily() == PatternFamily::Cross &&
        answers.ask(kConfirmTitle, "スクロール表示用データを削除してよろしいですか？") &&
        answers.ask(kDeleteTitle, "本当にスクロール用データを削除してよろしいですか？")) {
        Qedit.SQL().Clear();
        Qedit.SQL().Add("delete from crosst");
        Qedit.ExecSQL();
    }

    Panel1.setVisible(false);
    // The ports open afresh: a batch of the buffered intake that was waiting for the cycle
    // (which this button stops in buffered mode) must not keep the intake shut for good.
    bufferBusy = false;

    if (portNo == 0) {
        boxes().message("第一ポートが有効ではありません。有効なポートを指定してください。");
        return;
    }

    scheduler().pause(300);
    if (!openLink(1)) {
        RGport.SetItemIndex(0);
        portNo = 0;
    }

    if (portNo2 != 0 && RGinout.ItemIndex() == 1) {
        scheduler().pause(300);
        if (!openLink(2)) {
            RGport2.SetItemIndex(0);
            portNo2 = 0;
        }
    }
    if (portNo2 == 0 && RGinout.ItemIndex() == 1)
        boxes().message("出力ポートが有効ではありません。有効なポートを指定してください。");

    showPage(TabSheet2);
    Timer1.SetEnabled(connectionMode() == ConnectionMode::Direct);
    waitTime = SpinEdit1.Value();
    if (connectionMode() == ConnectionMode::Buffered) Timer2.SetEnabled(true);
    if (patternFamily() == PatternFamily::Alpine) Timer3.SetEnabled(false);
    Panel4.setVisible(false);
}

}  // namespace qpane
