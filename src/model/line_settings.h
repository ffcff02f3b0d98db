#pragma once
#include <array>
#include <string_view>
#include <vector>

#include "model/framing.h"

// The settings a sensor's line can have, one table each, read by the
// window's lists, the command line and the scan. Each table is in the order
// of the window's list: a list index is the row's position.
namespace vor3::model {

inline constexpr std::array<const char*, 4> kBaudRates = {"9600", "19200", "38400", "57600"};

struct ParityRow {
    char letter;       // as the port settings and the command line give it
    const char* name;  // as the window's list shows it
};
inline constexpr std::array<ParityRow, 3> kParities = {{{'N', "None"}, {'E', "Even"}, {'O', "Odd"}}};

// A framing and what goes with it: the port's data bits and input mode,
// how often the reader looks for bytes, and the give-up time.
struct ModeRow {
    Framing framing;  // the list shows its framing_name
    const char* data_bits;
    int input_mode;
    int poll_ms;
    int give_up_ms;
};
inline constexpr std::array<ModeRow, 2> kModes = {
    {{Framing::Ascii, "7", 0, 100, 1000}, {Framing::Rtu, "8", 1, 50, 500}}};
// The timers start with RTU's periods until the window's load picks a mode.
inline constexpr const ModeRow& kStartMode = kModes[1];
// The reply time-out never repeats a request sooner, however fast the
// sensor.
inline constexpr int kReplyTimeoutMs = 1000;

// The addresses a sensor can be set to (0, the broadcast, never is).
inline constexpr int kFirstAddress = 1;
inline constexpr int kLastAddress = 63;

// A scan tries RTU first and the fastest baud rate first; its check boxes
// stand in that order.
inline constexpr std::array<Framing, 2> kScanModes = {kModes[1].framing, kModes[0].framing};
inline constexpr std::array<const char*, 4> kScanBauds = {kBaudRates[3], kBaudRates[2], kBaudRates[1], kBaudRates[0]};

// The position of a value in its table, -1 where it has none.
int baud_index(std::string_view baud);
int parity_index(char letter);
int mode_index(Framing framing);

// The list's name of a parity letter; "Even", the sensor's default, for
// one it does not know.
const char* parity_name(char letter);
// Every parity letter, in the table's order.
std::vector<char> parity_letters();

}  // namespace vor3::model
