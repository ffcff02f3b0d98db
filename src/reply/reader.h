#pragma once
#include <cstdint>
#include <string>

#include "form/context.h"

namespace vor3::reply {

// Polls the port; when input waits, runs the reader.
void Timer4_Timer(Context& c);

// Takes everything waiting, assembles frames in the framing in force, and
// hands every complete frame that checks out (checksum, our address, the
// function of the request) to the decoder. Runs under the reader's error
// trap: a fault resets every transfer and shows "MSCOMM1_ERROR".
void receive(Context& c);

// Feeds bytes as if they had been read from the port (the body of receive).
void receive_bytes(Context& c, const std::string& data);

// Reads and records, as not taken, whatever waits on the line before a
// request goes out, and forgets any frame begun: nothing that arrived
// before a request can be its answer. Throws PortError.
void clear_line_before_sending(Context& c);

// Text for a Modbus exception code from the sensor at `address`, in the
// language in force.
std::string exception_text(int code, const std::string& language, int address);

}  // namespace vor3::reply
