#include "win32/win32_serial_port.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "link/network_address.h"
#include "win32/com_ports.h"
#include "win32/port_text.h"

namespace vor3::win32 {

namespace {

// How long a read may take that the time-outs end at once; only a driver
// that ignores them ever reaches it.
constexpr DWORD kReadBoundMs = 200;

BYTE to_parity(char p) {
    switch (p) {
    case 'E': return EVENPARITY;
    case 'O': return ODDPARITY;
    default: return NOPARITY;
    }
}

char from_parity(BYTE p) {
    switch (p) {
    case EVENPARITY: return 'E';
    case ODDPARITY: return 'O';
    default: return 'N';
    }
}

}  // namespace

// An open line: its handle and the driver's work in progress. The handle is
// opened for overlapped use so that a write does not hold the caller while
// the bytes go out at the line's pace.
struct Win32SerialPort::Line {
    explicit Line(HANDLE handle) : handle(handle) {
        write_op.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        read_op.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~Line() {
        // The driver must be done with the buffer before it goes.
        if (writing) {
            CancelIoEx(handle, &write_op);
            DWORD n = 0;
            GetOverlappedResult(handle, &write_op, &n, TRUE);
        }
        CloseHandle(handle);
        CloseHandle(write_op.hEvent);
        CloseHandle(read_op.hEvent);
    }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    static void reset(OVERLAPPED& op) {
        HANDLE event = op.hEvent;
        op = OVERLAPPED{};
        op.hEvent = event;
    }

    HANDLE handle;
    OVERLAPPED write_op{};
    OVERLAPPED read_op{};
    bool writing = false;
    std::string in_flight;  // the bytes the driver is writing
    std::string queued;     // written while it was busy; they follow
};

form::PortError open_failure(unsigned long error, const std::string& device) {
    using form::PortError;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return PortError(form::kPortInvalid, "no such port: " + device, false, device);
    // Windows refuses a second open of a COM port as access denied.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return PortError(form::kPortInUse, "port in use: " + device, false, device);
    default:
        return PortError(form::kPortInUse, "cannot open " + device + ": " + port_text::system_message(error), false,
                         device);
    }
}

Win32SerialPort::Win32SerialPort() = default;

Win32SerialPort::~Win32SerialPort() { set_open(false); }

std::vector<std::string> Win32SerialPort::port_list() const {
    std::vector<std::string> names;
    listed_.clear();
    for (const auto& port : com_ports()) {
        listed_.push_back(port.name);
        names.push_back(port.description.empty() ? port.name : port.name + " (" + port.description + ")");
    }
    for (const auto& name : named_)
        if (std::find(listed_.begin(), listed_.end(), name) == listed_.end()) {
            listed_.push_back(name);
            names.push_back(name);
        }
    return names;
}

int Win32SerialPort::name_port(const std::string& given) {
    // Numbers refer to the list as last given: a new name goes after it
    // rather than listing the system's ports again under the caller.
    if (given.empty()) return 0;
    const std::string name = port_display_name(given);
    if (std::find(named_.begin(), named_.end(), name) == named_.end()) named_.push_back(name);
    auto at = std::find(listed_.begin(), listed_.end(), name);
    if (at == listed_.end()) at = listed_.insert(listed_.end(), name);
    return static_cast<int>(at - listed_.begin()) + 1;
}

std::string Win32SerialPort::port_name(int number) const {
    if (number < 1 || number > static_cast<int>(listed_.size())) return {};
    return listed_[static_cast<std::size_t>(number - 1)];
}

void Win32SerialPort::set_port_number(int number) {
    if (number == number_) return;
    set_open(false);
    number_ = number;
}

void Win32SerialPort::set_device_path(const std::string& path) {
    set_open(false);
    if (path.empty())
        device_path_.reset();
    else
        device_path_ = port_display_name(path);
}

std::string Win32SerialPort::device_path() const {
    if (device_path_) return *device_path_;
    if (listed_.empty()) port_list();
    if (number_ < 1 || number_ > static_cast<int>(listed_.size())) return {};
    return listed_[static_cast<std::size_t>(number_ - 1)];
}

void Win32SerialPort::set_settings(const std::string& settings) {
    settings_ = form::parse_settings(settings);
    if (line_) apply_settings();
}

form::Carrier Win32SerialPort::carrier() const {
    if (network_.is_open()) return network_.carrier();
    if (line_) return form::Carrier::SerialLine;
    const auto address = link::parse_network_port(device_path());
    return address ? address->carrier : form::Carrier::SerialLine;
}

void Win32SerialPort::apply_settings() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    const auto refused = [&] {
        return form::PortError(form::kPortSettingsRefused,
                               "settings refused: " + port_text::system_message(GetLastError()), false, opened_);
    };
    if (!GetCommState(line_->handle, &dcb)) throw refused();
    dcb.BaudRate = static_cast<DWORD>(settings_.baud);
    dcb.ByteSize = static_cast<BYTE>(settings_.data_bits);
    dcb.Parity = to_parity(settings_.parity);
    dcb.StopBits = settings_.stop_bits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    // The driver checks each byte's parity. It cannot drop a byte that
    // fails (it could only put another in its place), so such a byte passes
    // as it came and fails the frame's checksum.
    dcb.fParity = settings_.parity != 'N';
    dcb.fErrorChar = FALSE;
    // A Modbus frame carries zero bytes, and one line error must not stop
    // every later read until it is cleared.
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    // No flow control; DTR and RTS raised, as opening a port does elsewhere:
    // some RS-485 adapters take their power from them.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommState(line_->handle, &dcb)) throw refused();
}

std::optional<form::SerialSettings> Win32SerialPort::line_settings() const {
    if (!line_) return std::nullopt;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(line_->handle, &dcb)) return std::nullopt;
    return form::SerialSettings{static_cast<int>(dcb.BaudRate), from_parity(dcb.Parity), dcb.ByteSize,
                                dcb.StopBits == TWOSTOPBITS ? 2 : 1};
}

void Win32SerialPort::set_open(bool open) {
    if (!open) {
        network_.set_open(false);
        line_.reset();
        gone_.reset();
        return;
    }
    if (is_open()) return;
    const std::string device = device_path();
    if (device.empty()) throw form::PortError(form::kPortInvalid, "no port number " + std::to_string(number_));
    opened_ = device;
    if (link::names_network_port(device)) {
        network_.set_name(device);
        network_.set_open(true);
        return;
    }
    const std::wstring file = device_file_name(device);
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw open_failure(GetLastError(), device);
    auto line = std::make_unique<Line>(handle);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb))
        throw form::PortError(form::kPortInvalid, "not a serial port: " + device, false, device);
    // A read ends at once with the bytes the driver holds, none or many: the
    // program asks again on its own timers.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(handle, &timeouts))
        throw form::PortError(form::kPortSettingsRefused,
                              "settings refused: " + port_text::system_message(GetLastError()), false, device);
    line_ = std::move(line);
    gone_.reset();
    try {
        apply_settings();
    } catch (const form::PortError&) {
        line_.reset();
        throw;
    }
}

void Win32SerialPort::fail_if_gone() const {
    if (gone_) throw *gone_;
}

void Win32SerialPort::io_failed(unsigned long error, const char* doing) {
    gone_ = form::PortError(form::kPortIoFailed,
                            std::string(doing) + " failed on " + opened_ + ": " + port_text::system_message(error),
                            false, opened_);
    throw *gone_;
}

void Win32SerialPort::send_queued() {
    Line& line = *line_;
    if (line.writing) {
        DWORD sent = 0;
        if (!GetOverlappedResult(line.handle, &line.write_op, &sent, FALSE)) {
            const DWORD error = GetLastError();
            if (error == ERROR_IO_INCOMPLETE) return;
            line.writing = false;
            io_failed(error, "write");
        }
        line.writing = false;
        if (sent < line.in_flight.size()) line.queued.insert(0, line.in_flight, sent);
    }
    if (line.queued.empty()) return;
    line.in_flight = std::exchange(line.queued, {});
    Line::reset(line.write_op);
    // Finished at once or not, the result is collected by the next call.
    if (!WriteFile(line.handle, line.in_flight.data(), static_cast<DWORD>(line.in_flight.size()), nullptr,
                   &line.write_op) &&
        GetLastError() != ERROR_IO_PENDING)
        io_failed(GetLastError(), "write");
    line.writing = true;
}

void Win32SerialPort::write(std::string_view bytes) {
    if (network_.is_open()) {
        network_.write(bytes);
        return;
    }
    if (!line_) throw form::PortError(form::kPortNotOpen, "port not open");
    fail_if_gone();
    line_->queued.append(bytes);
    send_queued();
}

int Win32SerialPort::waiting_count() {
    if (network_.is_open()) return network_.waiting_count();
    if (!line_) return 0;
    fail_if_gone();
    send_queued();
    // Also clears the line errors the driver noted; the bytes they hit have
    // passed already (see apply_settings).
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(line_->handle, &errors, &status)) io_failed(GetLastError(), "status");
    return static_cast<int>(status.cbInQue);
}

std::string Win32SerialPort::read_all() {
    if (network_.is_open()) return network_.read_all();
    if (!line_) return {};
    fail_if_gone();
    send_queued();
    Line& line = *line_;
    std::string got;
    char buffer[4096];
    for (;;) {
        Line::reset(line.read_op);
        if (!ReadFile(line.handle, buffer, sizeof buffer, nullptr, &line.read_op) && GetLastError() != ERROR_IO_PENDING)
            io_failed(GetLastError(), "read");
        if (WaitForSingleObject(line.read_op.hEvent, kReadBoundMs) != WAIT_OBJECT_0)
            CancelIoEx(line.handle, &line.read_op);
        DWORD n = 0;
        if (!GetOverlappedResult(line.handle, &line.read_op, &n, TRUE)) {
            const DWORD error = GetLastError();
            if (error != ERROR_OPERATION_ABORTED) io_failed(error, "read");
        }
        got.append(buffer, n);
        // A full buffer: more may wait behind it.
        if (n < sizeof buffer) break;
    }
    return got;
}

}  // namespace vor3::win32
