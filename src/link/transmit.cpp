#include "link/transmit.h"

#include "link/hex.h"
#include "ui/port_settings.h"

namespace vor3::link {

std::string frame_request(const std::string& request_frame, const std::string& protocol_mode) {
    if (protocol_mode == "ASCII")
        return ":" + request_frame + CalculateLRC(request_frame) + "\r\n";
    if (protocol_mode == "RTU") {
        std::string bytes;
        for (std::size_t i = 0; i + 2 <= request_frame.size(); i += 2) {
            std::string pair = request_frame.substr(i, 2);
            bytes.push_back(static_cast<char>(HexToByte(pair)));
        }
        std::string crc = CalculateCRC(bytes);
        std::string lo = crc.substr(2, 2), hi = crc.substr(0, 2);
        bytes.push_back(static_cast<char>(HexToByte(lo)));
        bytes.push_back(static_cast<char>(HexToByte(hi)));
        return bytes;
    }
    return {};
}

void send(Context& c) {
    auto& f = c.frm;
    f.Timer5.stop();
    f.lbl_desc(16).set_visible(false);
    f.chk_read_out.set_enabled(true);
    if (!c.port.is_open()) {
        c.msg.show("Port ist nicht geöffnet");
        return;
    }
    const std::string& mode = c.g.link.protocol_mode;
    if (mode != "ASCII" && mode != "RTU") return;  // start-up mode: nothing is sent
    try {
        c.port.write(frame_request(c.g.transfer.request_frame, mode));
    } catch (const PortError& e) {
        ui::port_failed(c, e);
        return;
    }
    f.Timer5.start();
}

void Timer5_Timer(Context& c) {
    // One repeat only: when the give-up timer already runs, the repeat has
    // gone out and the give-up decides (in ASCII both periods are equal, so
    // the time-out could otherwise tick again just before it).
    if (c.frm.Timer3.enabled()) {
        c.frm.Timer5.stop();
        return;
    }
    send(c);
    // send may have found the port gone and closed the link; then there is
    // nothing left to give up on.
    if (c.port.is_open()) c.frm.Timer3.start();
}

void reset_transfer(Context& c) {
    auto& f = c.frm;
    for (form::Timer* t : {&f.Timer1, &f.Timer3, &f.Timer5, &f.Timer6}) t->stop();
    f.alreadyRead = 0;
    f.countReadRegister = 0;
    auto& t = c.g.transfer;
    t.block_count = 0;
    t.request_kind = model::kReadRegisterBlock;
    t.bus_ready = true;
    t.reg_address = 0;
}

void Timer3_Timer(Context& c) {
    auto& f = c.frm;
    reset_transfer(c);
    f.lbl_desc(16).set_visible(true);
    f.chk_read_out.set_enabled(false);
    f.set_parameter.set_enabled(false);
}

}  // namespace vor3::link
