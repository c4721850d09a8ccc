#pragma once

#include <array>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "app/link_status.h"
#include "app/operator_trace.h"
#include "app/run_state.h"
#include "app/store_backups.h"
#include "app/window_design.h"
#include "board/board_output.h"
#include "input/line_list.h"
#include "input/memo.h"
#include "input/time_values.h"
#include "platform/controls.h"
#include "platform/message_boxes.h"
#include "platform/paths.h"
#include "platform/scheduler.h"
#include "serial/commx.h"
#include "serial/port_map.h"
#include "store/database.h"
#include "store/grid_control.h"
#include "store/group_panel.h"
#include "store/maintenance_page.h"
#include "store/query.h"

namespace qpane {

// What the main window needs from the world; a face (the Qt window or qpane-replay) provides
// it.
struct WindowEnvironment {
    Scheduler& scheduler;
    MessageBoxes& boxes;
    CommDeviceProvider& devices;
    Paths paths;
    std::string storeVfs = {};  // the SQLite VFS of the store; empty: the default
};

// The main window TFqpane: its run state, its components and the state of its controls, and
// every handler and routine. A face builds its widgets from this state and turns the
// operator's actions into calls of the handlers through dispatch().
class TFqpane : public RunState {
  public:
    // Window creation: the components with their design settings; Db1 connects here (throws
    // EDatabaseError when the store cannot be opened: the program does not start).
    explicit TFqpane(WindowEnvironment env);
    ~TFqpane();
    TFqpane(const TFqpane&) = delete;
    TFqpane& operator=(const TFqpane&) = delete;

    // Runs one entry into the window (an operator action, a timer tick, a port notification).
    // An error that ends it goes to the application's standard error report.
    void dispatch(const std::function<void()>& handler);
    // Runs after each entry (the live page reads what the entry stored); none when empty.
    std::function<void()> afterEntry;
    void reportError(const std::string& text);

    Scheduler& scheduler() { return env_.scheduler; }
    MessageBoxes& boxes() { return env_.boxes; }
    const Paths& paths() const { return env_.paths; }

    // ---- Main window and start-up
    void FormCreate();
    void FormShow();
    void FormClose();
    void TabSheet1Show();
    void CuteButton2Click();
    // Set when "×" asks the face to close the window.
    std::function<void()> onCloseRequest;

    // ---- Processing cycle and pattern selection
    void Timer1Timer();
    void ImgA1Click(Control& sender);
    void CkBrelayClick();
    void EddanExit();
    void SPEninChange();
    void Button1Click();
    void Button2Click();

    // ---- Port and connection settings
    void RGportClick();
    void RGport2Click();
    void RGinoutClick();
    void RGbitinClick();
    void RGbitoutClick();
    void RGcharClick();
    void RGparityClick();
    void CTBdClick();
    void CTBbClick();
    void CuteButton3Click();

    // The operator's device names for the port numbers ([Ports] of the settings file).
    const PortMap& portMap() const { return portMap_; }
    // A changed map: used by the next open, written back with the settings at the end.
    void setPortMap(const PortMap& map);
    // Link 1 (the input port CommX1) or 2 (the board port CommX2) for the status line.
    LinkStatus linkStatus(int link);
    // The operator's click on a link that came back: it opens again (a failure is told).
    void reopenLink(int link);

    // A port reported an error: a port that went away is reported to the operator.
    void portFailed(TCustomCommX& port, uint32_t errors);

    // ---- Timing-data intake
    void CommX1Receive(TCustomCommX& sender, int receiveSize);
    void Timer2Timer();

    // ---- Board
    void dpscl();
    void CuteButton28Click();
    void CuteButton29Click();
    void CuteButton58Click();
    void CuteButton61Click();
    void CuteButton1Click();

    // ---- Time values (they read patternNo and RGpre)
    // The precision that RGpre selects.
    Precision precision() const;
    int64_t timetonum(std::string_view text) const;
    std::string numtotime(int64_t count) const;
    std::string timefill(std::string_view text) const;
    std::string dptime(std::string_view text) const;
    std::string dpprec(std::string_view text) const;

    // ---- Result store
    void tableupdate();
    void TabSheet2Show();

    // ---- Maintenance page
    void TabSheet4Show();
    void DBGrid2CellClick();
    void DBGrid2KeyDown(std::string_view key);
    void ME1KeyDown(std::string_view key);
    void ME2KeyDown(std::string_view key);
    void CuteButton8Click();
    void CuteButton4Click();

    // ---- Groups and blocks
    void Button3Click();
    void SPEChange();
    void SpEgrChange();
    void SpEsChange();
    void SpEeChange();
    void CuteButton6Click();
    void CuteButton7Click();
    void CuteButton9Click();

    // ---- Output patterns
    void syoriA1();
    void syoriA2();
    void syoriA3();
    void syoriA4();
    void syoriA5();
    void syoriC1();
    void syoriC2();
    void syoriC3();
    void syoriC4();
    void syoriR();
    void Timer3Timer();

    // ---- Control helpers for faces
    // The page shown (nullptr before start-up shows one).
    Control* activePage() const { return activePage_; }
    // Shows a page and runs its show handler, unless it is the page shown already.
    void showPage(Control& page);
    // The control that has the focus (the maintenance page moves it).
    const std::string& focusedControl() const { return focused_; }
    void setFocus(std::string name);
    // Why a click or a change of the control would be refused by the window (covered by a
    // panel or disabled); empty when it goes through.
    bool refuses(const Control& control) const;

  private:
    WindowEnvironment env_;

  public:
    // ---- Components
    Controls controls;

    TCommX CommX1;
    TCommX CommX2;

    Database Db1;
    TQuery Qtimedp, Qedit, Qtemp, Qcross, Qedit2, Qmente, Qedit3, Qgroup, Qtop, Qed1, Qed2, Qed3;

// ---- Controls
// Each control of the window is declared once, here: its type is its kind, its member name is
// the component name that the Qt face gives its widget and that replay scenarios use, and
// the arguments are its design settings. The face binds each widget to the member itself.
#define QPANE_CONTROL(Type, member, ...) Type member{controls, #member __VA_OPT__(, ) __VA_ARGS__}

    QPANE_CONTROL(Memo, Memo1);  // input log
    QPANE_CONTROL(Memo, Memo2);  // input queue
    QPANE_CONTROL(Memo, Memo3);  // output log
    QPANE_CONTROL(Memo, Memo4);  // cross-country input log
    QPANE_CONTROL(Memo, Memo5);

    // Every board line and the output log Memo3.
    BoardOutput boardOutput;

    // The window and its pages
    QPANE_CONTROL(Window, Fqpane);
    QPANE_CONTROL(PageControl, PageControl1);
    QPANE_CONTROL(Page, TabSheet1);
    QPANE_CONTROL(Page, TabSheet2);
    QPANE_CONTROL(Page, TabSheet3);
    QPANE_CONTROL(Page, TabSheet4);
    QPANE_CONTROL(Button, CuteButton2);
    QPANE_CONTROL(Panel, Panel1);  // tab cover

    // Board control page
    QPANE_CONTROL(Panel, Panel4);  // board-adjust cover
    QPANE_CONTROL(Button, CuteButton28);
    QPANE_CONTROL(Button, CuteButton29);
    QPANE_CONTROL(Button, CuteButton58);
    QPANE_CONTROL(Button, CuteButton61);
    QPANE_CONTROL(Button, CuteButton1);
    QPANE_CONTROL(TrackBar, TBarbright, 1, 9, 1);
    QPANE_CONTROL(RadioGroup, RGport, "ポート", design::kPortItems);
    QPANE_CONTROL(RadioGroup, RGport2, "出力ポート", design::kPortItems);
    QPANE_CONTROL(RadioGroup, RGinout, "入出力ポート", design::kShareItems);
    QPANE_CONTROL(RadioGroup, RGbitin, "BitRateIn", design::kBitRateItems);
    QPANE_CONTROL(RadioGroup, RGbitout, "BitRateOut", design::kBitRateItems);
    QPANE_CONTROL(RadioGroup, RGchar, "Charsize", design::kCharSizeItems);
    QPANE_CONTROL(RadioGroup, RGparity, "Parity", design::kParityItems);
    QPANE_CONTROL(Panel, Panel2);
    QPANE_CONTROL(Button, CTBd);
    QPANE_CONTROL(Button, CTBb);
    QPANE_CONTROL(Button, CuteButton3);
    QPANE_CONTROL(SpinEdit, SpinEdit1, 1, 30, 1);
    QPANE_CONTROL(SpinEdit, SPEnin, 0, std::numeric_limits<int>::max(), 5);
    QPANE_CONTROL(Button, Button3);
    QPANE_CONTROL(Panel, Panel6);
    QPANE_CONTROL(SpinEdit, SPE, 0, 9, 0);
    QPANE_CONTROL(SpinEdit, SpEgr, 0, 999, 1);
    QPANE_CONTROL(SpinEdit, SpEs, 0, 998, 1);
    QPANE_CONTROL(SpinEdit, SpEe, 0, 999, 2);
    QPANE_CONTROL(Button, CuteButton6);
    QPANE_CONTROL(Button, CuteButton7);
    QPANE_CONTROL(Button, CuteButton9);
    QPANE_CONTROL(Label, Label1);  // version "V 3.03"

    // Data check page
    QPANE_CONTROL(Edit, Edit1);
    QPANE_CONTROL(Edit, Edit3);
    QPANE_CONTROL(Button, Button1);
    QPANE_CONTROL(Button, Button2);

    // Output pattern page
    QPANE_CONTROL(Image, ImgA1);
    QPANE_CONTROL(Image, ImgA2);
    QPANE_CONTROL(Image, ImgA3);
    QPANE_CONTROL(Image, ImgA4);
    QPANE_CONTROL(Image, ImgA5);
    QPANE_CONTROL(Image, ImgC1);
    QPANE_CONTROL(Image, ImgC2);
    QPANE_CONTROL(Image, ImgC3);
    QPANE_CONTROL(Image, ImgC4);
    QPANE_CONTROL(Label, Label5);
    QPANE_CONTROL(CheckBox, CkBrelay, "Relay");
    QPANE_CONTROL(Edit, Eddan, "3");
    QPANE_CONTROL(RadioGroup, RGpre, "精度", design::kPrecisionItems, 0);

    // Maintenance page
    QPANE_CONTROL(Panel, Panel3);
    QPANE_CONTROL(SpinEdit, SpE2, 0, 9, 0);
    QPANE_CONTROL(Edit, Edit4);
    QPANE_CONTROL(Edit, Edit5);
    QPANE_CONTROL(Edit, Edit2);
    QPANE_CONTROL(MaskEdit, ME1, "00:00:00.00");
    QPANE_CONTROL(MaskEdit, ME2, "00:00:00.00");
    QPANE_CONTROL(Button, CuteButton8);
    QPANE_CONTROL(Button, CuteButton4);

    // Grids
    QPANE_CONTROL(GridControl, DBGrid1, Qtimedp);
    QPANE_CONTROL(GridControl, DBGrid2, Qmente);
    QPANE_CONTROL(GridControl, DBGrid3, Qgroup);

    QPANE_CONTROL(TimerControl, Timer1, env_.scheduler, TimerId::Timer1, 500, true);
    QPANE_CONTROL(TimerControl, Timer2, env_.scheduler, TimerId::Timer2, 300, false);
    QPANE_CONTROL(TimerControl, Timer3, env_.scheduler, TimerId::Timer3, 500, true);
#undef QPANE_CONTROL

  private:
    void wireHandlers();
    void finishProcessing();
    void writeSettings();
    // A write that the store's file or disk refused in a cycle that runs again by itself (the
    // processing cycle, the pass display): true the first time, to be told; later, while no
    // cycle has stored again, false (the buffered intake is let go as the report would).
    bool tellStoreFailure();

    Control* activePage_ = nullptr;
    std::string focused_;
    bool settingsUnread_ = false;  // start-up found a settings file it could not read
    PortMap portMap_;
    int64_t lastLineQueuedAt_ = -1;  // scheduler time of the last line queued in Memo2
    int64_t quietSince_ = -1;        // the last line, or the open of the input port
    // After the intake ran: a line more in the queue is a line queued now.
    void noteQueuedLines(size_t before);
    // Link 1 is the input port CommX1, link 2 the board port CommX2.
    TCustomCommX& linkPort(int link);
    // Opens the link's port; a failure is told and gives false.
    bool openLink(int link);
    // The console's message of a port that did not open. The box says what it always said;
    // the link's status line names a mapped port's entry and whether its device is missing.
    void tellOpenFailure(int link, int portNo);
    std::array<std::string, 2> linkOpenFailure_;  // of the last open of each link

    bool storeFailureTold_ = false;  // see tellStoreFailure

    // The units of the store's pages, on the controls and queries above.
    GroupPanel groupPanel_{Panel6, SPE, SpEgr, SpEs, SpEe, Qgroup, Qtemp};
    MaintenancePage maintenance_{Qmente,
                                 Qedit3,
                                 SpE2,
                                 Edit4,
                                 Edit5,
                                 Edit2,
                                 ME1,
                                 ME2,
                                 DBGrid2,
                                 CuteButton4,
                                 [this](const Control& c) { setFocus(c.name()); }};

  public:
    // Where the operator's actions are told (the traffic journal); none when null.
    OperatorTrace* operatorTrace = nullptr;
    void traceOperator(const std::string& kind, const std::vector<std::string>& values = {}) {
        if (operatorTrace) operatorTrace->operatorAction(env_.scheduler.now(), kind, values);
    }

    // The automatic backups of Db1 (last: they end before the store's connection does).
    StoreBackups storeBackups{Db1, env_.scheduler};
};

}  // namespace qpane
