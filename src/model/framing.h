#pragma once
#include <optional>
#include <string_view>

namespace vor3::model {

// How requests and replies are framed on the line. Auto is the simulated
// sensor's: it answers each request in the framing it arrived in (a
// leading ':' means ASCII), so one simulated sensor serves whichever mode
// the user picks. The program itself always sends in RTU or ASCII.
enum class Framing { Rtu, Ascii, Auto };

// The framing's name as the window's list shows it, the command line
// takes it and the settings store it ("RTU", "ASCII").
const char* framing_name(Framing framing);
// The framing a name means, of either case; none for any other text.
std::optional<Framing> framing_named(std::string_view name);
// The name of the framing in force, "" while none is.
const char* framing_name(std::optional<Framing> framing);

}  // namespace vor3::model
