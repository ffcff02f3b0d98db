#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "form/clock.h"
#include "form/serial_port.h"

// What went over the line, frame by frame, for the traffic window and
// vor3-cli --trace. It is recorded at the port itself, so it shows what the
// line carried, whatever the reader made of it.
namespace vor3::link {

struct TrafficEntry {
    enum class Kind {
        Frame,        // a frame whose checksum checks out
        BadChecksum,  // shaped like a frame, but its checksum is wrong
        Noise,        // bytes that belong to no frame, dropped
        Echo,         // our own request heard back (a half-duplex adapter)
        StaleAnswer,  // no bytes: the answer before was to a request answered already
        NotAwaited,   // no bytes: the answer before answers no request outstanding
        // No bytes: a Modbus TCP answer dropped before the reader saw it...
        WrongTransaction,  // ...its transaction is no request's outstanding
        WrongHeader,       // ...its protocol identifier, length or unit does not fit
        // No bytes: a pace register in the answer above held more than its
        // bound, which the transfer takes instead.
        PaceBounded,
    };
    std::uint64_t number = 0;  // counts every entry ever recorded, from 1
    std::int64_t at_ms = 0;
    bool sent = false;
    std::string mode;   // "RTU", "ASCII" or "MBAP" (Modbus TCP): how the bytes are framed
    std::string bytes;  // as on the line
    Kind kind = Kind::Frame;
    // For a reply: the first register the request it answers read, so that
    // each value is shown as its register holds it; -1 when not known, -2
    // when it answers no request known (values shown as they came).
    int first_register = -1;
    // PaceBounded: the register (6 or 7) and what it held.
    int pace_register = 0;
    std::int32_t pace_held = 0;
};

// The last 10 000 entries. Recording is cheap: the window and the trace
// format them on their own time.
class TrafficRecord {
public:
    static constexpr std::size_t kCapacity = 10000;

    void add(TrafficEntry entry);
    void clear() {
        entries_.clear();
        ++clears_;
    }
    // How often it was cleared, for views that show what it holds.
    std::uint64_t clears() const { return clears_; }
    // While paused nothing new is recorded.
    bool paused = false;

    const std::deque<TrafficEntry>& entries() const { return entries_; }
    // The number the next entry will get.
    std::uint64_t next_number() const { return next_; }

    // Told of every entry as it is recorded (vor3-cli --trace).
    std::function<void(const TrafficEntry&)> on_entry;

private:
    std::deque<TrafficEntry> entries_;
    std::uint64_t next_ = 1;
    std::uint64_t clears_ = 0;
};

// A port that hands everything to another and records, on the way, each
// request written and each frame, noise or echo read. `mode` tells the
// framing in force when bytes pass.
class TrafficPort : public form::ForwardingPort {
public:
    TrafficPort(form::SerialPort& inner, form::Clock& clock, TrafficRecord& record, std::function<std::string()> mode);

    // The request (hex text) a reply (address to data) answers, as the
    // reader will take it; "" for none. Without it a reply is read in the
    // layout of the last request written.
    std::function<std::string(std::string_view adu)> request_of_reply;
    // Told of the kind of each entry as it passes, also while the record
    // is paused (the status line counts them).
    std::function<void(TrafficEntry::Kind)> on_kind;

    void set_open(bool on) override;
    void write(std::string_view bytes) override;
    std::string read_all() override;

private:
    void add(bool sent, std::string bytes, TrafficEntry::Kind kind);
    // The first register the request a reply answers read (-1: none or not
    // a register read).
    int first_register_of(const TrafficEntry& reply) const;
    // Records the complete frames in what was read, and what lies between
    // them as noise; keeps a tail that may still become a frame. When a
    // request goes out on a serial line the tail is noise (the reader
    // forgets it too), on Modbus TCP only one that cannot become a frame;
    // when the port closes, all of it is.
    enum class Cut { Reading, Sending, Closing };
    void cut_frames(Cut when);
    void cut_mbap_frames(Cut when);
    // The framing of what passes: Modbus TCP's to a gateway, else that of
    // the last request written (a scan changes it under the window's
    // settings), else the window's.
    std::string mode() const;

    form::Clock& clock_;
    TrafficRecord& record_;
    std::function<std::string()> mode_;
    std::string heard_;             // read, not yet recorded
    std::string last_request_;      // to tell an echo
    int first_register_read_ = -1;  // by the last request, if it reads registers
};

// What the user is told when pace register `reg` held `held`, above its
// bound (model::pace_bound).
std::string pace_bound_text(int reg, std::int32_t held, const std::string& language);

// One line of the record: the time, the direction, the bytes in hex (an
// ASCII frame also as text) and what it means. The time is `time` where
// given (the window's clock time), else the milliseconds since the start.
std::string traffic_line(const TrafficEntry& e, const std::string& language, const std::string& time = {});
// What a frame means: address, function and registers, values or the
// exception; or that it is noise, an echo or has a wrong checksum.
std::string describe(const TrafficEntry& e, const std::string& language);

}  // namespace vor3::link
