#pragma once
#include <string>
#include <string_view>

#include "sim/frame_scan.h"

namespace vor3::sim {

// Judges whether an RTU request starts at the head of the bytes. The length
// comes from the function code where the request shape is known and from
// the CRC otherwise.
Scan scan_rtu(std::string_view bytes);

// The address/function/data with its CRC (low byte first). A corrupted
// frame carries a CRC that does not match.
std::string encode_rtu(std::string_view adu, bool corrupt_checksum = false);

}  // namespace vor3::sim
