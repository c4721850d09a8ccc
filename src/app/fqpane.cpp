#include "app/fqpane.h"

#include <filesystem>

#include "input/time_values.h"
#include "platform/convert.h"
#include "store/window_queries.h"

namespace qpane {

namespace {
// The statement a query of the window holds from creation.
std::vector<std::string> fixedText(std::string_view name) {
    for (const WindowQuery& q : kWindowQueries)
        if (q.name == name) return q.lines();
    return {};
}
}  // namespace

TFqpane::TFqpane(WindowEnvironment env)
    : env_(env),
      CommX1(env.scheduler, env.devices),
      CommX2(env.scheduler, env.devices),
      Db1(env.paths.dataFolder(), env.storeVfs),
      Qtimedp(Db1, "Qtimedp", fixedText("Qtimedp")),
      Qedit(Db1, "Qedit", fixedText("Qedit")),
      Qtemp(Db1, "Qtemp", fixedText("Qtemp")),
      Qcross(Db1, "Qcross", fixedText("Qcross")),
      Qedit2(Db1, "Qedit2", fixedText("Qedit2")),
      Qmente(Db1, "Qmente", fixedText("Qmente")),
      Qedit3(Db1, "Qedit3", fixedText("Qedit3")),
      Qgroup(Db1, "Qgroup", fixedText("Qgroup")),
      Qtop(Db1, "Qtop", fixedText("Qtop")),
      Qed1(Db1, "Qed1", fixedText("Qed1")),
      Qed2(Db1, "Qed2", fixedText("Qed2")),
      Qed3(Db1, "Qed3", fixedText("Qed3")),
      boardOutput(CommX1, CommX2, env.scheduler, Memo3, {pinout, port1Open, port2Open}, sendText) {
    // An installation has the folder of its settings file; a fresh root gets it with the
    // installation database, so that the settings can be written at shut-down.
    std::error_code ignored;
    std::filesystem::create_directories(env.paths.settingsFolder(), ignored);

    // Design settings of the components and controls.
    CommX1.SetPortNo(5);
    CommX1.SetCharSize(7);
    CommX1.SetParityBit(cpbOdd);
    CommX2.SetPortNo(6);
    CommX2.SetFlowCtrl(cfcNone);
    // The pass display reads the first pass row still to show: a backlog stays in the table.
    Qcross.setRowLimit(1);

    Fqpane.setCaption("VESK Q-PANE control");
    Fqpane.setColor(clBlack);
    TabSheet1.setCaption("ボードコントロール");
    TabSheet2.setCaption("データチェック");
    TabSheet3.setCaption("出力パターン選択");
    TabSheet4.setCaption("メンテナンス");
    for (Control* page : {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4})
        page->setVisible(false);
    CuteButton2.setCaption("×");
    CuteButton2.setColor(clBlack);
    CuteButton28.setCaption("All Null");
    CuteButton29.setCaption("All 8");
    CuteButton58.setCaption("1 to 0");
    CuteButton61.setCaption("Show address");
    CuteButton1.setCaption("Set");
    RGport2.setEnabled(false);
    RGbitin.setVisible(false);
    Panel2.setCaption("接続モード");
    CTBd.setCaption("ダイレクト");
    CTBb.setCaption("バッファー使用");
    CuteButton3.setCaption("実行");
    Button3.setCaption("グループ指定");
    Panel6.setVisible(false);
    CuteButton6.setCaption("実行");
    CuteButton7.setCaption("ﾌﾞﾛｯｸ初期化");
    CuteButton9.setCaption("全初期化");
    Label1.setCaption("V 3.03");
    Memo4.setVisible(false);
    Memo5.setVisible(false);
    Edit1.setVisible(false);
    Edit3.setVisible(false);
    Button1.setCaption("Button1");
    Button1.setVisible(false);
    Button2.setCaption("Button2");
    Button2.setVisible(false);
    const char* imageCaptions[] = {"ALPINE-1", "ALPINE-2", "ALPINE-3", "ALPINE-4", "ALPINE-5",
                                   "CROSS-1",  "CROSS-2",  "CROSS-3",  "CROSS-4"};
    Control* images[] = {&ImgA1, &ImgA2, &ImgA3, &ImgA4, &ImgA5, &ImgC1, &ImgC2, &ImgC3, &ImgC4};
    for (size_t i = 0; i < std::size(images); ++i)
        images[i]->setCaption(imageCaptions[i]);
    Label5.setCaption("Label5");
    CuteButton8.setCaption("絞込み");
    CuteButton4.setCaption("設定");

    wireHandlers();
    storeBackups.setFailureReport([this](const std::string& text) { env_.boxes.error(text); });
    FormCreate();
}

TFqpane::~TFqpane() {
    // The timers end with the window: a window made again starts them afresh.
    for (TimerId id : {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3}) {
        env_.scheduler.setTimerEnabled(id, false);
        env_.scheduler.setTimerHandler(id, nullptr);
    }
}

void TFqpane::wireHandlers() {
    auto& s = env_.scheduler;
    s.setTimerHandler(TimerId::Timer1, [this] { dispatch([this] { Timer1Timer(); }); });
    s.setTimerHandler(TimerId::Timer2, [this] { dispatch([this] { Timer2Timer(); }); });
    s.setTimerHandler(TimerId::Timer3, [this] { dispatch([this] { Timer3Timer(); }); });
    CommX1.OnReceive = [this](TCustomCommX& sender, int size) {
        dispatch([&] { CommX1Receive(sender, size); });
    };
    CommX1.OnError = [this](TCustomCommX& sender, uint32_t errors) {
        dispatch([&] { portFailed(sender, errors); });
    };
    CommX2.OnError = [this](TCustomCommX& sender, uint32_t errors) {
        dispatch([&] { portFailed(sender, errors); });
    };

    CuteButton2.OnClick = [this] { CuteButton2Click(); };
    TabSheet1.OnShow = [this] { TabSheet1Show(); };
    TabSheet2.OnShow = [this] { TabSheet2Show(); };
    TabSheet4.OnShow = [this] { TabSheet4Show(); };

    for (Control* img : {&ImgA1, &ImgA2, &ImgA3, &ImgA4, &ImgA5, &ImgC1, &ImgC2, &ImgC3, &ImgC4})
        img->OnClick = [this, img] {
            traceOperator("pattern", {img->name()});
            ImgA1Click(*img);
        };
    CkBrelay.OnClick = [this] { CkBrelayClick(); };
    Eddan.OnExit = [this] { EddanExit(); };
    SPEnin.OnChange = [this] { SPEninChange(); };
    Button1.OnClick = [this] { Button1Click(); };
    Button2.OnClick = [this] { Button2Click(); };

    RGport.OnClick = [this] { RGportClick(); };
    RGport2.OnClick = [this] { RGport2Click(); };
    RGinout.OnClick = [this] { RGinoutClick(); };
    RGbitin.OnClick = [this] { RGbitinClick(); };
    RGbitout.OnClick = [this] { RGbitoutClick(); };
    RGchar.OnClick = [this] { RGcharClick(); };
    RGparity.OnClick = [this] { RGparityClick(); };
    CTBd.OnClick = [this] { CTBdClick(); };
    CTBb.OnClick = [this] { CTBbClick(); };
    CuteButton3.OnClick = [this] { CuteButton3Click(); };

    CuteButton28.OnClick = [this] { CuteButton28Click(); };
    CuteButton29.OnClick = [this] { CuteButton29Click(); };
    CuteButton58.OnClick = [this] { CuteButton58Click(); };
    CuteButton61.OnClick = [this] { CuteButton61Click(); };
    CuteButton1.OnClick = [this] { CuteButton1Click(); };

    DBGrid2.OnClick = [this] { DBGrid2CellClick(); };
    DBGrid2.OnKeyDown = [this](std::string_view key) { DBGrid2KeyDown(key); };
    ME1.OnKeyDown = [this](std::string_view key) { ME1KeyDown(key); };
    ME2.OnKeyDown = [this](std::string_view key) { ME2KeyDown(key); };
    CuteButton8.OnClick = [this] { CuteButton8Click(); };
    CuteButton4.OnClick = [this] { CuteButton4Click(); };

    Button3.OnClick = [this] { Button3Click(); };
    SPE.OnChange = [this] { SPEChange(); };
    SpE2.OnChange = [this] { SPEChange(); };
    SpEgr.OnChange = [this] { SpEgrChange(); };
    SpEs.OnChange = [this] { SpEsChange(); };
    SpEe.OnChange = [this] { SpEeChange(); };
    CuteButton6.OnClick = [this] { CuteButton6Click(); };
    CuteButton7.OnClick = [this] { CuteButton7Click(); };
    CuteButton9.OnClick = [this] { CuteButton9Click(); };
}

void TFqpane::dispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        reportError(e.what());
    } catch (...) {
        reportError("不明なエラーが発生しました。");
    }
    storeBackups.pulse();
    if (afterEntry) afterEntry();
}

void TFqpane::reportError(const std::string& text) {
    // A batch that failed half way must not keep the buffered intake shut for the rest of
    // the race.
    bufferBusy = false;
    env_.boxes.error(text);
}

void TFqpane::FormCreate() {
    Panel1.setColor(clBlack);
}

void TFqpane::showPage(Control& page) {
    if (activePage_ == &page) return;
    if (activePage_) activePage_->setVisible(false);
    activePage_ = &page;
    page.setVisible(true);
    if (page.OnShow) page.OnShow();
}

void TFqpane::setFocus(std::string name) {
    focused_ = std::move(name);
}

bool TFqpane::refuses(const Control& c) const {
    if (!c.enabled()) return true;
    if (c.kind() == ControlKind::Page && Panel1.visible()) return true;
    if (Panel4.visible()) {
        const Control* covered[] = {&CuteButton28, &CuteButton29, &CuteButton58,
                                    &CuteButton61, &CuteButton1,  &TBarbright};
        for (const Control* control : covered)
            if (&c == control) return true;
    }
    return false;
}

void TFqpane::portFailed(TCustomCommX& port, uint32_t errors) {
    // Line errors (parity, framing, overrun) pass as the window has always let them; a port
    // that went away is told at once, since from now on nothing arrives or reaches the board.
    if (!(errors & kCommErrIo)) return;
    reportError("ポート COM" + std::to_string(port.PortNo()) +
                " との接続が切れました。接続を確認してから「実行」を押してください。");
}

void TFqpane::CuteButton2Click() {
    if (onCloseRequest) onCloseRequest();
}

int64_t TFqpane::timetonum(std::string_view text) const {
    return qpane::timetonum(text);
}
std::string TFqpane::numtotime(int64_t count) const {
    return qpane::numtotime(count);
}
std::string TFqpane::timefill(std::string_view text) const {
    return qpane::timefill(text);
}
Precision TFqpane::precision() const {
    return precisionOfItem(RGpre.ItemIndex());
}
std::string TFqpane::dptime(std::string_view text) const {
    return qpane::dptime(text, timeFieldFormOf(patternNo), precision());
}
std::string TFqpane::dpprec(std::string_view text) const {
    return qpane::dpprec(text, precision());
}

}  // namespace qpane
