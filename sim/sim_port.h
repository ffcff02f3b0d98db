#pragma once
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/clock.h"
#include "form/serial_port.h"
#include "sim/mbap_session.h"
#include "sim/simulated_sensor.h"

namespace vor3::sim {

// The one line setting of the simulated sensor the programs offer built
// in (framed as RTU): a sensor as it leaves the factory.
inline constexpr form::SerialSettings kBuiltInLine{9600, 'E', 8, 1};

// A serial port with the simulated sensor (or a line of them) on the other
// end.
// Time comes from the clock (virtual in tests): a request occupies the line
// for its length in character times, the reply follows after the sensor's
// response delay, and its bytes become readable one character time apart.
class SimPort : public form::SerialPort {
public:
    SimPort(form::Clock& clock, Responder& sensor);

    std::vector<std::string> port_list() const override;
    int port_number() const override { return port_number_; }
    void set_port_number(int number) override { port_number_ = number; }
    void set_settings(const std::string& settings) override;
    bool is_open() const override { return open_; }
    void set_open(bool open) override;
    void set_input_mode(int) override {}
    void write(std::string_view bytes) override;
    int waiting_count() override;
    std::string read_all() override;

    const form::SerialSettings& settings() const { return settings_; }
    // The sensor's own line: when set, it hears only a master whose baud
    // rate, parity and data bits match (7 for ASCII, 8 for RTU, as its
    // framing needs); anything else is noise to it.
    void set_sensor_line(std::optional<form::SerialSettings> line) { sensor_line_ = line; }
    // The port disappears (a USB adapter pulled out): it leaves the port
    // list, an open port fails to read, write or take settings, and it
    // cannot be opened; bytes on the way are lost.
    void set_vanished(bool vanished);
    bool vanished() const { return vanished_; }
    // The sensor behind a network port reached over a connection with this
    // round trip: a serial device server passes the frames unchanged, to a
    // Modbus TCP gateway requests and replies carry MBAP headers (replies
    // paced at the line's speed either way, as from the serial side).
    void set_carrier(form::Carrier carrier, std::int64_t round_trip_ms) {
        carrier_ = carrier;
        round_trip_ms_ = round_trip_ms;
    }
    form::Carrier carrier() const override { return carrier_; }
    std::int64_t round_trip_ms() const override { return round_trip_ms_; }

private:
    struct Arrival {
        double at_ms;
        char byte;
    };
    void schedule(const Reply& reply, double request_end_ms, double char_ms);
    std::size_t arrived_count() const;
    void fail_if_gone() const;

    form::Clock& clock_;
    Responder& sensor_;
    form::SerialSettings settings_;
    int port_number_ = 1;
    bool open_ = false;
    bool vanished_ = false;
    std::optional<form::SerialSettings> sensor_line_;
    form::Carrier carrier_ = form::Carrier::SerialLine;
    std::int64_t round_trip_ms_ = -1;
    MbapSession mbap_;
    double line_free_ms_ = 0;    // end of the last request on the line
    double sensor_free_ms_ = 0;  // end of the sensor's last reply
    std::deque<Arrival> arriving_;
};

}  // namespace vor3::sim
