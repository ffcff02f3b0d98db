#include "win32/com_ports.h"

#include <windows.h>
// windows.h comes first: setupapi.h builds on it.
#include <setupapi.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "win32/port_text.h"

namespace vor3::win32 {

namespace {

// The interface class serial ports register, and the setup class "Ports"
// (COM and LPT) for the drivers that register none.
constexpr GUID kComPortInterface = {0x86e0d1e0, 0x8089, 0x11d0, {0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73}};
constexpr GUID kPortsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

std::wstring registry_text(HKEY key, const wchar_t* value) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ) return {};
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS)
        return {};
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

// Every present device of one set: its port name and its friendly name.
void add_devices(const GUID& guid, DWORD flags, std::map<int, ComPort>& found) {
    HDEVINFO devices = SetupDiGetClassDevsW(&guid, nullptr, nullptr, flags | DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        const std::string name = port_text::narrow(registry_text(key, L"PortName"));
        RegCloseKey(key);
        const int number = com_number(name);
        if (number == 0 || found.count(number)) continue;  // a printer port, or listed already
        wchar_t friendly[256] = {};
        DWORD type = 0;
        std::string description;
        if (SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, &type,
                                              reinterpret_cast<BYTE*>(friendly), sizeof friendly - sizeof(wchar_t),
                                              nullptr) &&
            type == REG_SZ)
            description = description_from_friendly_name(port_text::narrow(friendly), port_display_name(name));
        found[number] = {number, port_display_name(name), description};
    }
    SetupDiDestroyDeviceInfoList(devices);
}

// The serial device map: every port a driver has made, Plug and Play or
// not (what wine offers, too), without descriptions.
void add_device_map(std::map<int, ComPort>& found) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t value[256];
        DWORD value_length = 256;
        wchar_t data[64] = {};
        DWORD data_bytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status =
            RegEnumValueW(key, i, value, &value_length, nullptr, &type, reinterpret_cast<BYTE*>(data), &data_bytes);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        if (type != REG_SZ) continue;
        const std::string name = port_text::narrow(data);
        const int number = com_number(name);
        if (number != 0 && !found.count(number)) found[number] = {number, port_display_name(name), {}};
    }
    RegCloseKey(key);
}

}  // namespace

int com_number(std::string_view name) {
    if (starts_with_nocase(name, "\\\\.\\")) name.remove_prefix(4);
    if (!starts_with_nocase(name, "COM") || name.size() < 4 || name.size() > 6) return 0;
    int number = 0;
    for (const char c : name.substr(3)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    // COM0 is no port, and Windows counts to 256.
    return number >= 1 && number <= 256 && name[3] != '0' ? number : 0;
}

std::string port_display_name(const std::string& name) {
    const int number = com_number(name);
    return number ? "COM" + std::to_string(number) : name;
}

std::wstring device_file_name(const std::string& name) {
    if (const int number = com_number(name)) return L"\\\\.\\COM" + std::to_wstring(number);
    if (starts_with_nocase(name, "\\\\")) return port_text::wide(name);
    return L"\\\\.\\" + port_text::wide(name);
}

std::string description_from_friendly_name(std::string friendly, const std::string& port) {
    const std::string suffix = " (" + port + ")";
    if (friendly.size() >= suffix.size() &&
        starts_with_nocase(std::string_view(friendly).substr(friendly.size() - suffix.size()), suffix))
        friendly.erase(friendly.size() - suffix.size());
    while (!friendly.empty() && friendly.back() == ' ') friendly.pop_back();
    return friendly;
}

std::vector<ComPort> com_ports() {
    std::map<int, ComPort> found;
    add_devices(kComPortInterface, DIGCF_DEVICEINTERFACE, found);
    add_devices(kPortsClass, 0, found);
    add_device_map(found);
    std::vector<ComPort> ports;
    for (auto& [number, port] : found) ports.push_back(std::move(port));
    return ports;
}

}  // namespace vor3::win32
