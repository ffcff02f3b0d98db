#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "form/clock.h"
#include "form/serial_port.h"
#include "form/timer.h"
#include "model/line_settings.h"

// Finding a sensor of unknown address, baud rate, parity and framing: each
// setting of the line in turn, each address asked once for register 6,
// with only as long a wait as a reply can take at that setting.
namespace vor3::ops {

// Over the network the baud rate is empty and the parity '\0' (the server
// sets its serial side), and to a Modbus TCP gateway the mode is empty too.
struct LineSetting {
    std::string mode;  // "RTU" or "ASCII"
    std::string baud;  // "9600" ... "57600"
    char parity = 'E';
    bool operator==(const LineSetting&) const = default;
};

struct ScanFind {
    LineSetting line;
    int address = 0;
    // Two different answers came from this address: two devices may share it.
    bool conflict = false;
    bool operator==(const ScanFind&) const = default;
};

struct ScanPlan {
    std::vector<std::string> modes = {model::framing_name(model::kScanModes[0]),
                                      model::framing_name(model::kScanModes[1])};
    std::vector<std::string> bauds = std::vector<std::string>(model::kScanBauds.begin(), model::kScanBauds.end());
    std::vector<char> parities = model::parity_letters();
    int first_address = model::kFirstAddress, last_address = model::kLastAddress;
    bool stop_at_first = false;
    // The sensor's minimum response time the waits allow for.
    int min_response_ms = 50;
    // Data bits forced whatever the framing (a link that carries only 8).
    std::optional<int> data_bits;
};

class Scanner {
public:
    Scanner(form::SerialPort& port, form::Clock& clock);

    // Opens the port (already chosen by its number) with each setting in
    // turn. The caller has closed it for the scan; the scan closes it at
    // its end. Over the network it tries each framing and address (only
    // the addresses, to a gateway), each try waiting for the round trip
    // and the sensor, and ending as soon as the address asked has answered
    // or a gateway said no sensor is there.
    void start(const ScanPlan& plan);
    // Ends the scan now; what was found stays.
    void stop();

    bool running() const { return running_; }
    int tried() const { return tried_; }
    int total() const;
    // The try under way (or the last one).
    const LineSetting& line() const { return line_; }
    int address() const { return address_; }
    const std::vector<ScanFind>& found() const { return found_; }
    // About how long the scan still takes: the try under way, every try
    // after it and the wait for late answers after each setting's last
    // address (less where a try ends early or a find stops the scan).
    std::int64_t time_left_ms() const;
    // Set when the port failed; the scan has ended.
    const std::optional<form::PortError>& error() const { return error_; }

    // After every try, and once more when the scan has ended.
    std::function<void()> changed;

    // How long one try waits at a setting: both frames on the line and the
    // sensor's minimum response time, with room for the adapter's latency.
    static std::int64_t try_ms(const LineSetting& line, int min_response_ms, std::optional<int> data_bits);
    // How much longer the last try of a setting waits, so that a sensor set
    // to the slowest answer a sensor allows is heard at the last address as
    // it is at any other (where its answer comes during later tries).
    static std::int64_t wait_out_ms(const LineSetting& line, int min_response_ms, std::optional<int> data_bits);
    // The settings string the port gets for a setting ("19200,O,7,1").
    static std::string settings_of(const LineSetting& line, std::optional<int> data_bits);

private:
    void begin_try();
    void end_try();
    void finish();
    bool advance();  // to the next try; false past the last
    void look_for_replies();
    void poll();  // on a network port, while a try waits
    // Takes in what came back; false when the port failed (the scan has ended).
    bool hear();
    void take_in(const std::string& bytes);
    bool network() const { return carrier_ != form::Carrier::SerialLine; }
    LineSetting timing_line(const LineSetting& line) const;
    std::int64_t try_ms_at(const LineSetting& line) const;
    std::int64_t wait_out_at(const LineSetting& line) const;
    void wait(std::int64_t ms);
    void note_find(int address, const std::string& answer);

    form::SerialPort& port_;
    form::Clock& clock_;
    form::Timer timer_;
    std::int64_t due_ms_ = 0;  // when the timer ends the wait under way
    form::Timer poll_;
    form::Carrier carrier_ = form::Carrier::SerialLine;
    bool settled_ = false;  // the address asked has answered, or a gateway said it cannot
    ScanPlan plan_;
    bool running_ = false;
    int tried_ = 0;
    std::size_t mode_ = 0, baud_ = 0, parity_ = 0;
    int address_ = 0;
    LineSetting line_;
    bool waiting_out_ = false;  // after the last try of a setting
    std::optional<LineSetting> applied_;
    std::string heard_;  // what came back since the setting was applied
    // For each byte of heard_, the last address asked when it was read (0:
    // none yet at this setting): an answer read before its address was
    // asked cannot answer that request.
    std::vector<int> asked_when_heard_;
    int asked_ = 0;  // the last address asked at this setting
    std::vector<ScanFind> found_;
    std::map<int, std::string> answers_;  // the first answer from each address at this setting
    std::optional<form::PortError> error_;
};

}  // namespace vor3::ops
