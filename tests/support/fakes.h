#pragma once
#include <deque>
#include <string>
#include <vector>

#include "form/platform.h"
#include "form/serial_port.h"

namespace vor3::test {

// Message boxes are recorded, not shown.
struct FakeMessageBox : form::MessageBox {
    std::vector<std::string> shown;
    std::vector<std::string> details;
    void show(const std::string& text, const std::string& detail) override {
        shown.push_back(text);
        details.push_back(detail);
    }
};

struct FakeConfirm : form::ConfirmDialog {
    bool answer = false;
    int asked = 0;
    std::string text;  // of the last question
    bool confirm(const std::string&, const std::string& question, const std::string&, const std::string&) override {
        ++asked;
        text = question;
        return answer;
    }
};

// A scripted port: records what is written, delivers what the test puts
// in, and fails where told.
struct FakePort : form::SerialPort {
    std::vector<std::string> names{"COM1", "COM2", "COM3"};
    int number = 0;
    std::string settings;
    bool open = false;
    int input_mode = -1;
    int opens = 0;
    std::vector<std::string> written;
    std::string incoming;
    // Failures to inject
    int open_error = 0;  // error number for opening, 0 = opens
    bool open_permission = false;
    bool poll_fails = false;                // the device vanished, noticed while polling for input
    int fail_number = form::kPortIoFailed;  // the error it gives
    form::Carrier carries = form::Carrier::SerialLine;

    // Numbers and names refer to the list as last given, as on a machine
    // whose ports come and go.
    mutable std::vector<std::string> listed;
    std::vector<std::string> port_list() const override { return listed = names; }
    int name_port(const std::string& name) override {
        for (std::size_t i = 0; i < listed.size(); ++i)
            if (listed[i] == name) return static_cast<int>(i) + 1;
        names.push_back(name);
        listed.push_back(name);
        return static_cast<int>(listed.size());
    }
    std::string port_name(int n) const override {
        return n >= 1 && n <= static_cast<int>(listed.size()) ? listed[static_cast<std::size_t>(n) - 1] : std::string();
    }
    int port_number() const override { return number; }
    void set_port_number(int n) override {
        if (open) throw form::PortError(8005, "port is open");
        number = n;
    }
    void set_settings(const std::string& s) override { settings = s; }
    bool is_open() const override { return open; }
    void set_open(bool on) override {
        if (on && open_error) throw form::PortError(open_error, "cannot open", open_permission, "/dev/ttyUSB0");
        if (on && !open) ++opens;
        open = on;
        if (!on) incoming.clear();
    }
    void set_input_mode(int mode) override { input_mode = mode; }
    void write(std::string_view bytes) override {
        if (!open) throw form::PortError(form::kPortNotOpen, "not open");
        written.emplace_back(bytes);
    }
    int waiting_count() override {
        if (open && poll_fails) throw form::PortError(fail_number, "device gone", false, "/dev/ttyUSB0");
        return static_cast<int>(incoming.size());
    }
    std::string read_all() override {
        std::string out;
        out.swap(incoming);
        return out;
    }
    form::Carrier carrier() const override { return carries; }
};

}  // namespace vor3::test
