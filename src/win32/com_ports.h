#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vor3::win32 {

// The number of a COM port however the user spells it ("COM3", "com12",
// "\\.\COM12"); 0 for any other name.
int com_number(std::string_view name);

// The name a port goes by in the list and in messages: "COM12" for every
// spelling of a COM port, any other name as given.
std::string port_display_name(const std::string& name);

// What CreateFileW opens for a port name. A COM port is always opened in the
// device namespace ("\\.\COM12"): only COM1 to COM9 are found without it. A
// name already there stays as it is; any other goes under "\\.\", where
// the virtual ports of other drivers ("CNCA0") live.
std::wstring device_file_name(const std::string& name);

// A serial port Windows knows about.
struct ComPort {
    int number = 0;
    std::string name;         // "COM3"
    std::string description;  // "USB Serial Port"; empty where Windows has none
};

// The machine's COM ports by number: those Plug and Play knows with the
// adapter's friendly name, then any other the serial device map lists.
std::vector<ComPort> com_ports();

// An adapter's friendly name without the port it ends with:
// "USB Serial Port (COM3)" -> "USB Serial Port".
std::string description_from_friendly_name(std::string friendly, const std::string& port);

}  // namespace vor3::win32
