#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/globals.h"

// Finding reply frames in the bytes from the line, before anything is known
// of the request they may answer.
namespace vor3::link {

// Bytes of the longest RTU reply the reader holds; a frame that claims to
// be longer cannot be ours.
constexpr std::size_t kRtuCapacity = 51;

// RTU: the length a frame whose first bytes are `head` must have to be one
// that is looked for: 0 while too few have come to tell, more than
// kRtuCapacity where they begin none.
using FrameLength = std::function<std::size_t(std::string_view head)>;

// RTU: the length of a reply of any station and any function the program
// uses, by the shape of its first bytes alone (the traffic record shows
// them all).
std::size_t rtu_frame_length(std::string_view head);

// RTU: takes one byte; appends to `frames` each frame (address to CRC) of
// the length `length_of` gives and with a valid CRC that it completes. The
// frame begun earliest decides: while it may still become a frame, a
// shorter one inside it with a right CRC is its data (a reply's registers
// may hold any bytes), not a frame of its own. A false start is given up
// one byte at a time as soon as it cannot become a frame, so noise before a
// reply never hides it; the bytes held never exceed one longest frame.
void feed_rtu(model::ReaderState& r, const FrameLength& length_of, std::uint8_t b, std::vector<std::string>& frames);

// ASCII: takes one character; appends the bytes of a frame (address to
// LRC) once its line feed has come and its LRC checks out. A ":" always
// begins a new frame.
void feed_ascii(model::ReaderState& r, char ch, std::vector<std::string>& frames);

}  // namespace vor3::link
