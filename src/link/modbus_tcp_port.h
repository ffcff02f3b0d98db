#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "form/serial_port.h"

namespace vor3::link {

// The program's side of a Modbus TCP gateway. Each request, framed for the
// serial line (RTU or ASCII) as everywhere else, leaves as its ADU behind
// an MBAP header with a transaction identifier of its own; each answer
// comes back framed as its request was, so nothing above this port knows
// the difference. On any other carrier it passes bytes unchanged.
//
// An answer is taken when its transaction is one the request now
// outstanding went out under: its first copy or the reply time-out's
// repeat of it. The read-out polls with the same bytes again and again,
// yet each poll is a request of its own: an answer to an earlier poll
// never passes for a fresh one. A late answer from another unit than the
// one now asked passes too (a scan counts it; a transfer ignores other
// addresses); anything else is dropped and told.
class ModbusTcpPort : public form::ForwardingPort {
public:
    enum class Drop {
        Transaction,  // no request outstanding has its transaction identifier
        Header,       // a protocol identifier, length or unit that does not fit
    };
    // `repeating` tells whether the frame being written is the repeat of
    // the request outstanding; without it every frame is a request anew.
    ModbusTcpPort(form::SerialPort& inner, std::function<void(Drop)> dropped, std::function<bool()> repeating = {});

    void set_open(bool on) override;
    void write(std::string_view bytes) override;
    int waiting_count() override;
    std::string read_all() override;

private:
    bool gateway() const { return inner_.carrier() == form::Carrier::ModbusTcp; }
    // Reads what the gateway sent and turns each whole answer taken into a
    // serial frame.
    void take_in();
    void take_answer(std::string_view frame);
    void forget();

    std::function<void(Drop)> dropped_;
    std::function<bool()> repeating_;
    std::uint16_t next_transaction_ = 1;
    std::string request_;                // the ADU outstanding
    std::vector<std::uint16_t> copies_;  // the transactions it went out under (it and its repeat)
    // The unit each earlier transaction asked, the most recent last.
    std::deque<std::pair<std::uint16_t, std::uint8_t>> earlier_;
    bool ascii_ = false;  // the framing of the request outstanding
    std::string in_;      // from the gateway, not yet a whole frame
    std::string out_;     // answers framed for the serial line
};

}  // namespace vor3::link
