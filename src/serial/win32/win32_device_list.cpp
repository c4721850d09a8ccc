#include "serial/win32/win32_device_list.h"

#include <algorithm>
#include <filesystem>

#include "platform/paths.h"

namespace qpane {

namespace {

// The registry's names are device names (\Device\VCP0, COM12): UTF-8 as a path's.
std::string utf8(const wchar_t* text, size_t length) {
    return pathText(std::filesystem::path(std::wstring(text, length)));
}

// COM2 before COM10.
int comNumber(const std::string& name) {
    int n = 0;
    for (char c : name)
        if (c >= '0' && c <= '9') n = n * 10 + (c - '0');
    return n;
}

}  // namespace

std::vector<SerialDeviceInfo> listSerialDevices() {
    return listSerialDevicesOfKey(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM");
}

std::vector<SerialDeviceInfo> listSerialDevicesOfKey(HKEY root, const wchar_t* subkey) {
    std::vector<SerialDeviceInfo> devices;
    HKEY key;
    if (::RegOpenKeyExW(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return devices;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256];
        DWORD nameLength = 256;
        wchar_t data[256];
        DWORD dataBytes = sizeof data;
        DWORD type = 0;
        const LONG r = ::RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type,
                                       reinterpret_cast<BYTE*>(data), &dataBytes);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        size_t dataLength = dataBytes / sizeof(wchar_t);
        while (dataLength > 0 && data[dataLength - 1] == L'\0')
            --dataLength;
        devices.push_back({utf8(data, dataLength), utf8(valueName, nameLength)});
    }
    ::RegCloseKey(key);
    std::sort(devices.begin(), devices.end(),
              [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) {
                  return comNumber(a.name) < comNumber(b.name);
              });
    return devices;
}

}  // namespace qpane
