#pragma once
#include <string>
#include <string_view>

#include "sim/frame_scan.h"

namespace vor3::sim {

// Judges whether an ASCII request (':' hex text, LRC, CR LF) starts at the
// head of the bytes. Lower-case hex is accepted; a line with a bad LRC or
// malformed text is no request.
Scan scan_ascii(std::string_view bytes);

// ':' + upper-case hex of the address/function/data + LRC + CR LF.
std::string encode_ascii(std::string_view adu, bool corrupt_checksum = false);

}  // namespace vor3::sim
