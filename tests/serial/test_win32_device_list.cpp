// The Windows list of serial ports: read from a key of the system's form, and from the
// system's own key where the test run knows which ports it made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "serial/win32/win32_device_list.h"

namespace qpane {
namespace {

// A key of its own below HKEY_CURRENT_USER, removed with its values at the end.
class ScratchKey {
  public:
    ScratchKey() {
        path_ = L"Software\\QPANE-tests\\SERIALCOMM-" + std::to_wstring(::GetCurrentProcessId());
        ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key_, nullptr);
    }
    ~ScratchKey() {
        ::RegCloseKey(key_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    void setText(const wchar_t* name, const std::wstring& text) {
        ::RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void setNumber(const wchar_t* name, DWORD number) {
        ::RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                         sizeof number);
    }
    bool made() const { return key_ != nullptr; }
    const wchar_t* path() const { return path_.c_str(); }

  private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

TEST(Win32DeviceList, PortsOfAKeySortByNumberWithTheirDevicesAndOtherValuesAreNoPorts) {
    ScratchKey key;
    ASSERT_TRUE(key.made());
    key.setText(L"\\Device\\VCP0", L"COM12");
    key.setText(L"\\Device\\Serial0", L"COM1");
    key.setText(L"\\Device\\Serial2", L"COM3");
    key.setNumber(L"\\Device\\Broken", 7);

    const std::vector<SerialDeviceInfo> expected{
        {"COM1", "\\Device\\Serial0"}, {"COM3", "\\Device\\Serial2"}, {"COM12", "\\Device\\VCP0"}};
    EXPECT_EQ(listSerialDevicesOfKey(HKEY_CURRENT_USER, key.path()), expected);
    EXPECT_EQ(serialDeviceListText(expected),
              "COM1\t\\Device\\Serial0\nCOM3\t\\Device\\Serial2\nCOM12\t\\Device\\VCP0\n");
}

TEST(Win32DeviceList, AKeyThatIsNotThereListsNothing) {
    EXPECT_TRUE(
        listSerialDevicesOfKey(HKEY_CURRENT_USER, L"Software\\QPANE-tests\\no such key").empty());
}

// QPANE_TEST_COM_PORTS names the ports that the test run gave the system ("COM3,COM12"), in
// the order of their numbers.
TEST(Win32DeviceList, TheSystemsListHasThePortsOfThisRunInOrder) {
    const char* ports = std::getenv("QPANE_TEST_COM_PORTS");
    if (!ports || !*ports) GTEST_SKIP() << "QPANE_TEST_COM_PORTS is not set";
    std::string names;
    for (const SerialDeviceInfo& device : listSerialDevices()) {
        EXPECT_FALSE(device.description.empty()) << device.name;
        names += "," + device.name + ",";
    }
    size_t last = 0;
    std::istringstream wanted(ports);
    for (std::string port; std::getline(wanted, port, ',');) {
        const size_t at = names.find("," + port + ",");
        ASSERT_NE(at, std::string::npos) << port << " not in" << names;
        EXPECT_GE(at, last) << port << " out of order in" << names;
        last = at;
    }
}

}  // namespace
}  // namespace qpane
