#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/globals.h"

// Finding reply frames in the bytes from the line, before anything is known
// of the request they may answer.
namespace vor3::reply {

// Bytes of the longest RTU reply the reader holds; a frame that claims to
// be longer cannot be ours.
constexpr std::size_t kRtuCapacity = 51;

// The address to feed_rtu that takes frames of every station (the traffic
// record shows them all).
constexpr int kAnyAddress = -1;

// RTU: the length of the frame whose first bytes are `head`: 0 while too
// few have come to tell, more than kRtuCapacity where they begin none.
std::size_t rtu_frame_length(std::string_view head);

// RTU: takes one byte; appends to `frames` the frame (address to CRC) that
// ends at it and begins at any byte held, if one checks out. Frames are
// found by content alone: our address, an accepted function code, the
// length it implies and a valid CRC. A false start is given up one byte at
// a time as soon as it cannot become a valid frame, so noise before a reply
// never hides it; the bytes held never exceed one longest frame.
void feed_rtu(model::ReaderState& r, int address, std::uint8_t b, std::vector<std::string>& frames);

// ASCII: takes one character; appends the bytes of a frame (address to
// LRC) once its line feed has come and its LRC checks out. A ":" always
// begins a new frame.
void feed_ascii(model::ReaderState& r, char ch, std::vector<std::string>& frames);

}  // namespace vor3::reply
