#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "sim/mbap_session.h"
#include "sim/pty_options.h"
#include "sim/sensor_line.h"

namespace vor3::sim {

// The simulated sensors of vor3-sensor-sim behind one line, whatever
// carries its bytes (a pseudo-terminal or a TCP connection): requests in,
// each reply byte out at its time on the line, fault switches from the
// control channel. Times are milliseconds of the host's monotonic clock.
class LineService {
public:
    explicit LineService(const PtyOptions& options);

    // Bytes from the master, arrived at `now_ms`. `network`: over a TCP
    // connection, where the fault that closes it mid-reply applies.
    void take_in(std::string_view bytes, double now_ms, bool network);

    // The reply bytes due by `now_ms`, and whether the connection is to
    // close once they are out (the fault of a server that fails).
    struct Due {
        std::string bytes;
        bool close = false;
    };
    Due take_due(double now_ms);
    // Milliseconds until the next byte is due; -1 when none is waiting.
    double wait_ms(double now_ms) const;

    // Text from the control channel: each whole line of fault switches
    // replaces the faults in force. Returns what to print for each line.
    std::vector<std::string> take_control(std::string_view text);

    // A connection ended: what it still had to send is dropped, and a new
    // one starts with new transaction numbers.
    void end_connection();

private:
    struct Outgoing {
        double due_ms;
        char byte;
        bool close_after = false;  // the connection closes once this byte is out
    };
    void schedule(const Reply& reply, double now, bool network);

    SensorLine sensor_;
    bool modbus_tcp_ = false;
    MbapSession mbap_;
    // The connection closes in the middle of each reply (a fault of the
    // whole line: the server's, not a sensor's).
    bool close_mid_reply_ = false;
    double char_ms_ = 1;
    double sensor_free_ms_ = 0;
    std::deque<Outgoing> outgoing_;
    std::string control_text_;
};

}  // namespace vor3::sim
