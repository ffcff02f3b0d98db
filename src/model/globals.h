#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/line_settings.h"
#include "model/register_map.h"

// The state one running program shares between its windows and routines:
// the serial-link settings, the register image (values last read from or
// written to the sensor), the transfer state that ties a reply to its
// request, and the language values.
namespace vor3::model {

// When the next request of a transfer goes out: at the block timers' ticks
// (the schedule), or as soon as the answer to the one before is in and the
// line allows it (answer-paced, as a general Modbus master does).
enum class Pace { Schedule, Answer };

struct LinkSettings {
    int com_port = 2;
    std::string baud_rate = "9600";
    std::string parity = "E";
    std::string data_bits = "8";
    std::string stop_bits = "1";
    int comm_input_mode = 0;
    bool port_open = false;
    // None until the window's load step picks a framing; nothing is sent
    // while there is none.
    std::optional<Framing> protocol_mode;
    int in_value_count = 3;
    // The give-up period of the framing mode (500 ms RTU, 1000 ms ASCII);
    // the give-up timer never waits less, however fast the sensor.
    int give_up_ms = kStartMode.give_up_ms;
    // Drop the echo of each request (an adapter that hears itself).
    bool suppress_echo = false;
    Pace pace = Pace::Schedule;
    // The port whose remembered line setting the lists were last offered.
    std::string settings_port;

    std::string settings_string() const { return baud_rate + "," + parity + "," + data_bits + "," + stop_bits; }
};

struct RegisterImage {
    std::array<double, 12> cfg_value{};
    std::array<std::int16_t, 101> cfg_bit{};
    std::array<double, 4> in_value{};
    std::array<std::int16_t, 41> inp_bit{};
    // The fields of a part hold a whole set of values (read from a sensor
    // or loaded from a file). A part is written whole, so until then a
    // write would send values nobody has seen.
    bool config_known = false;    // registers 2..10 and configuration coils
    bool external_known = false;  // external values and LED coils
    // Each register as the sensor holds it (last read or confirmed): a
    // field the user has not changed is written back bit for bit.
    std::array<std::optional<std::uint16_t>, 11> cfg_raw{};
    std::array<std::optional<std::uint16_t>, 3> in_raw{};
    // The measured values and the coil bytes as the sensor gave them (or,
    // for the coils, confirmed them) last: the register view shows these,
    // not what a field holds after the user's edits.
    std::array<std::optional<std::uint16_t>, 3> out_raw{};
    std::optional<std::uint8_t> cfg_coils_raw, led_coils_raw;
    // The port, line settings and device address the values came through:
    // reached the same way, the same sensor answers.
    std::string line;
    // The address field's text when `line` was taken: it comes back where
    // the user keeps edits another address would replace.
    std::string line_address;
    // The bus window's read-out asks one listed sensor after another for
    // its measured values at this address (0: none), not at the main
    // window's. The main window stays the sensor `line` names (its address,
    // settings and values), so those values go to `lent_values` instead, as
    // the window would show them; nothing is written meanwhile.
    int lent_address = 0;
    std::array<std::string, 3> lent_values{};
};

// How a transfer ended. Every end records it in one place
// (link::transfer_ended), so the command line and the bus run learn it
// from here, not from what the window shows.
enum class TransferOutcome {
    None,             // no transfer begun yet
    Running,          // begun and not ended
    Done,             // every step answered
    NoAnswer,         // the give-up or the status window's time limit
    Refused,          // an exception reply (its code in refusal_code)
    PortLost,         // the port failed and was closed
    ConnectionLost,   // the gateway closed the connection; the port stays open
    AddressConflict,  // two different answers to one request
    Cancelled,        // "Abbruch"
    ReaderFault,      // the reader's error trap
};

struct TransferState {
    std::int32_t request_kind = kIdle;
    std::int16_t reg_address = 0;
    bool bus_ready = true;
    std::string request_frame;
    std::int16_t reply_delay = 0;
    std::uint8_t block_count = 0;
    // The sensor's minimum response time (register 7) in force, in ms, as
    // last read or written; -1 while unknown (nothing read since the port
    // was opened or the address changed). The reply time-out allows for it.
    std::int32_t min_response_ms = -1;
    // The transfer is to end once the request in flight has had its answer:
    // no new request goes out (a repeat of that one still may).
    bool stopping = false;
    // What register 6 and register 7 held when it lay above the bound their
    // pace is taken at (-1: within it), to tell while that bound is in force.
    std::int32_t display_held = -1;
    std::int32_t response_held = -1;
    TransferOutcome outcome = TransferOutcome::None;
    int refusal_code = 0;  // the exception code of a Refused outcome
    // Registers a read block and a write block carry at most. Every block
    // end is found from these and the map's ranges, so a sensor that takes
    // shorter blocks is served by changing them alone.
    int read_block = kMaxReadBlock;
    int write_block = kMaxWriteBlock;
};

// The reply reader's state between polls.
struct ReaderState {
    // ASCII: the characters since the ":" that began a frame; once a frame
    // is complete, and in RTU, the completed frame as hex text.
    std::string rx_text;
    bool collecting = false;  // ASCII: a ":" has begun a frame
    std::array<std::uint8_t, 51> rx_bytes{};
    int rx_count = 0;
};

// The requests on the line and the answers they have had. Modbus on a
// serial line carries no transaction number: an answer is tied to its
// request only by turn-taking. So each request counts as answered once,
// and after a request went out more than once the next one waits until
// every copy has had its answer or could no longer get one.
struct LineState {
    // One request and its copies (the repeats the reply time-out sent).
    struct Turn {
        std::string request;        // its hex text
        std::uint64_t number = 0;   // `sends` when its first copy went out
        int copies = 0;             // copies sent
        std::int64_t first_ms = 0;  // when the first and the last copy went out
        std::int64_t last_ms = 0;
        std::int64_t quiet_at_ms = 0;  // no answer to any copy can come after this
        int heard = 0;                 // answers that fit it, taken or not
        bool answered = false;         // one of them has been taken
        std::string answer;            // the one taken (address to data)
        // A second answer to the copy answered (a second device, a repeater)
        // may follow the first on the line until then.
        std::int64_t settled_at_ms = 0;
    };
    std::uint64_t sends = 0;          // frames written so far
    Turn now;                         // the request on the line, answered or not
    Turn before;                      // the one before it, whose late answers may still come
    std::uint64_t answers = 0;        // replies taken so far
    std::uint64_t last_answered = 0;  // `number` of the request the latest of them answered
    // When bytes last came off the line: the silence before a request
    // counts from here.
    std::optional<std::int64_t> heard_ms;
    // A request waits in request_frame for its turn on the line.
    bool held = false;
    // The request going out is the reply time-out's repeat of the one on
    // the line, not a request anew (a Modbus TCP gateway's answer to either
    // copy is then taken).
    bool repeating = false;
    // Two different answers came to one request sent once: two devices may
    // share the address. The transfer ends with that said.
    bool conflict = false;
};

// A value a write sent, and the sensor acknowledged, that its read-back
// shows otherwise; both as the field shows them.
struct ReadBackDifference {
    FieldArray array;
    int index;
    std::string sent, read;
};

// What the write under way sent and the sensor acknowledged, value by
// value, named or carried back unchanged: its read-back must show each of
// them so.
struct SentValues {
    std::array<std::optional<std::uint16_t>, 11> cfg_raw{};
    std::array<std::optional<std::uint16_t>, 3> in_raw{};
    std::optional<std::uint8_t> cfg_coils, led_coils;  // the coil bytes
    bool reading_back = false;                         // its read-back is under way
    bool checked = false;                              // the read-back has ended; `differences` holds what it found
    std::vector<ReadBackDifference> differences;
};

// How the line has done since the port was opened, as the status line
// tells it. The times are the wall clock's time of day ("10:41:07").
struct LineCounts {
    std::uint64_t requests = 0;  // frames written, repeats included
    std::uint64_t answers = 0;   // replies taken
    std::uint64_t repeats = 0;   // the reply time-out's repeats
    std::uint64_t give_ups = 0;
    std::uint64_t bad_checksums = 0;
    std::uint64_t noise = 0;  // stretches of bytes that belong to no frame
    std::string last_answer;  // "": none yet
    // When the first request went out that the sensor has not answered
    // since its last answer ("": every one answered).
    std::string unanswered_since;
    bool silent = false;  // given up on since the last answer
};

struct LanguageValues {
    std::string install_path;
    std::string language = "1031";
    std::string decimal_sep = ",";
    std::string help_document;
    std::array<std::string, 31> FileTexts;
};

// What the platform tells a program at start: the files of the registry
// hives and the decimal separator of the user's locale.
struct PlatformSettings {
    std::string machine_hive;  // "": no installation settings
    std::string user_hive;
    std::string package_hive;        // the package's own, read only ("": none)
    std::string locale_decimal_sep;  // "": the locale gives none
    // Windows: the settings live in the system's registry instead of the
    // hives, below these keys ("HKEY_LOCAL_MACHINE" and "HKEY_CURRENT_USER";
    // a test names keys of its own). "": the hives.
    std::string machine_key;
    std::string user_key;
};

struct Globals {
    PlatformSettings platform;
    LinkSettings link;
    RegisterImage image;
    TransferState transfer;
    ReaderState reader;
    // RTU: the same bytes framed by shape alone, to tell the frames for our
    // address that no request awaited (the traffic names them not taken).
    ReaderState unawaited;
    LineState line;
    SentValues sent;
    LineCounts counts;
    // The status line's last word on what the user did (a write, a value
    // corrected), in the language asked for; empty: none.
    std::function<std::string(const std::string& language)> status_note;
    LanguageValues lang;
    bool write_anyway = false;
};

// The most a pace taken from configuration register `reg` (6, the display
// interval; 7, the minimum response time) may be: what the window lets a
// user set there. A sensor holding more is paced as if it held this, so
// no transfer waits minutes for a block.
std::int32_t pace_bound(int reg);

// Block-timer period in ms: one character budget at the line speed plus
// 15 ms per unit of reply_delay, rounded half to even. Computed in wide
// arithmetic: any reply_delay gives a period, never an overflow.
std::int64_t block_timer_period(const std::string& baud_rate, std::int32_t reply_delay);

// The time one character takes on the line with these settings: start bit,
// data bits, parity bit and stop bits.
double char_time_ms(const LinkSettings& link);

// The status window's time limit in ms: 15 x (line budget + 10 ms per unit
// of reply_delay).
double status_time_limit(const std::string& baud_rate, std::int32_t reply_delay);

}  // namespace vor3::model
