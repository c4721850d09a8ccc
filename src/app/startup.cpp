// Start-up and shut-down of the main window: the settings file, the restored controls.
#include <algorithm>

#include "app/fqpane.h"
#include "app/pattern_captions.h"
#include "serial/comm_device.h"
#include "store/tableupdate.h"

namespace qpane {

namespace {
constexpr const char* kSection = "Boad";
constexpr const char* kSettingsFolder = "C:\\Program Files\\PORLEX\\Alpine";
constexpr const char* kSettingsFile = "Qcontrol.ini";

// The settings object lives only while the settings are read or written.
struct SettingsSession {
    std::unique_ptr<SettingsFile>& slot;
    SettingsSession(std::unique_ptr<SettingsFile>& s, std::filesystem::path file) : slot(s) {
        slot = std::make_unique<SettingsFile>(std::move(file));
    }
    ~SettingsSession() { slot.reset(); }
};
}  // namespace

void TFqpane::FormShow() {
    tableupdate();

    iniDir = kSettingsFolder;
    std::string unreadable;
    {
        SettingsSession session(iniFile, paths().mapDrivePath(iniDir) / kSettingsFile);
        SettingsFile& ini = *iniFile;
        if (!ini.readError().empty())
            unreadable = "設定ファイル " + ini.path().string() +
                         " を読み込めません: " + ini.readError() +
                         "\n既定の設定で起動します。このファイルは終了時に書き換えません。"
                         "読めるようにしてから起動し直してください。";
        portNo = ini.readInteger(kSection, "Portno", 0);
        portNo2 = ini.readInteger(kSection, "Portno2", 0);
        pinout = ini.readInteger(kSection, "Pinout", 0);
        bitRateIn = ini.readInteger(kSection, "BitRateIn", 0);
        bitRateOut = ini.readInteger(kSection, "BitRateOut", 0);
        chars1 = ini.readInteger(kSection, "Chars1", 0);
        chars2 = ini.readInteger(kSection, "Chars2", 0);
        parity1 = ini.readInteger(kSection, "Parity1", 0);
        parity2 = ini.readInteger(kSection, "Parity2", 0);
        patternNo = ini.readInteger(kSection, "Disppt", 1);
        waitTime = ini.readInteger(kSection, "WTime", 1);
        connMode = ini.readString(kSection, "Gmode", "D");
        scrollRows = ini.readString(kSection, "Scrolrow", "3");
        rankLimit = ini.readInteger(kSection, "Dpnin", 5);
        portMap_ = PortMap::read(ini);
    }
    env_.devices.usePortMap(portMap_);
    // The operator's file stays as it is: the settings of this run are not written over it.
    settingsUnread_ = !unreadable.empty();
    if (settingsUnread_) boxes().message(unreadable);
    // A hand-edited file: a port number outside the groups' items reads as the nearest item,
    // so that the number kept is the port shown (a negative one would open the design port
    // while "無し" is shown); a connection mode other than "D" or "B" reads as the default,
    // which the buttons show (any other would read nothing while "バッファー使用" is lit).
    portNo = std::clamp(portNo, 0, 9);
    portNo2 = std::clamp(portNo2, 0, 9);
    if (!connectionMode()) connMode = textOf(ConnectionMode::Direct);

    port1Open = false;
    port2Open = false;

    // Each restored item runs its click handler, which sets up the ports.
    RGport.SetItemIndex(portNo);
    RGinout.SetItemIndex(pinout);
    if (pinout == 1) RGport2.SetItemIndex(portNo2);
    RGbitin.SetItemIndex(bitRateIn);
    RGbitout.SetItemIndex(bitRateOut);

    showPage(TabSheet1);

    RGchar.SetItemIndex(chars1);
    RGparity.SetItemIndex(parity1);

    const std::string caption = patternCaption(pattern());
    if (!caption.empty()) Label5.setCaption(caption);
    if (pattern() == PatternNumber::Relay) CkBrelay.SetChecked(true);
    Fqpane.setCaption(kWindowCaptionHead + Label5.caption());

    Panel2.setColor(clBlack);
    const bool direct = connectionMode() == ConnectionMode::Direct;
    CTBd.setColor(direct ? clBlue : clGray);
    CTBb.setColor(direct ? clGray : clBlue);

    SpinEdit1.SetValue(waitTime);

    Panel3.setColor(clBlack);
    Panel4.setColor(clBlack);

    Qtop.Close();
    Qtop.Open();
    const std::string best = Qtop.FieldByName("totalt").AsString();
    if (!best.empty()) topTime = static_cast<int32_t>(timetonum(best));

    Eddan.SetText(scrollRows);
    SPEnin.SetValue(rankLimit);
}

void TFqpane::FormClose() {
    CommX1.Close();
    // A start-up that failed before it read the settings, or could not read them, has none
    // to write back: writing the fields as they stand would put zeros or defaults over the
    // operator's settings.
    if (iniDir.empty() || settingsUnread_) return;
    writeSettings();
}

void TFqpane::writeSettings() {
    SettingsSession session(iniFile, paths().mapDrivePath(iniDir) / kSettingsFile);
    SettingsFile& ini = *iniFile;
    // Every key in one save: the file is replaced once, with all of them or none.
    ini.setInteger(kSection, "Portno", portNo);
    ini.setInteger(kSection, "Portno2", portNo2);
    ini.setInteger(kSection, "Pinout", pinout);
    ini.setInteger(kSection, "BitRateIn", bitRateIn);
    ini.setInteger(kSection, "BitRateOut", bitRateOut);
    ini.setInteger(kSection, "Chars1", chars1);
    ini.setInteger(kSection, "Chars2", chars2);
    ini.setInteger(kSection, "Parity1", parity1);
    ini.setInteger(kSection, "Parity2", parity2);
    ini.setInteger(kSection, "Disppt", patternNo);
    ini.setString(kSection, "Gmode", connMode);
    ini.setInteger(kSection, "WTime", waitTime);
    ini.setString(kSection, "Scrolrow", scrollRows);
    ini.setInteger(kSection, "Dpnin", rankLimit);
    portMap_.write(ini);
    ini.save();
}

void TFqpane::TabSheet1Show() {
    Panel1.setVisible(true);
    Timer2.SetEnabled(false);
}

void TFqpane::tableupdate() {
    qpane::tableupdate(Qedit, boxes());
}

}  // namespace qpane
