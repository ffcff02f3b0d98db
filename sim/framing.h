#pragma once

namespace vor3::sim {

// How requests and replies are framed on the line. Auto answers each
// request in the framing it arrived in (a leading ':' means ASCII), so one
// simulated sensor serves whichever mode the user picks.
enum class Framing { Rtu, Ascii, Auto };

}  // namespace vor3::sim
