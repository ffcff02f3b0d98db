#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/framing.h"
#include "model/numbers.h"

// Hex text: upper-case digit pairs, one per byte, no separators
// (the bytes 01 03 00 06 00 01 are the text "010300060001").
namespace vor3::link {

// vlLong in upper-case hex without leading zeros, padded with "0" to
// 2 * vlBytes digits; a negative value gives its 32-bit two's complement.
std::string LongToHexStr(std::int32_t vlLong, std::int32_t vlBytes = 0);

// The Modbus ASCII LRC of a message given as hex text: two hex digits.
std::string CalculateLRC(std::string_view sMessage);

// The Modbus RTU CRC-16 of a byte string: four hex digits, high byte first.
std::string CalculateCRC(std::string_view bytes);
std::uint16_t crc16(std::string_view bytes);

// One hex pair to a byte. Cuts the argument to its first two characters;
// characters that are not upper-case hex digits count as described in the
// behaviour (the low one as 0; a bad high one leaves the low digit alone).
std::uint8_t HexToByte(std::string& text);

// Two upper-case hex digits for a byte.
std::string ByteToHex(std::uint8_t b);

// Helpers for the program's own code.
std::string bytes_to_hex(std::string_view bytes);
// Strict parse of hex text into bytes; false when the text is not hex pairs.
bool hex_to_bytes(std::string_view hex, std::string& out);
using model::hex_number;

// An RTU frame: the message bytes and their CRC, low byte first.
std::string with_crc(std::string message);

// The data bytes the reply to a read of `quantity` registers (function 03)
// or coils (function 01) carries after its byte count; -1 for no read.
int reply_data_bytes(int function, int quantity);
// The RTU length (address to CRC) of the reply to a request of `function`
// over `quantity` registers or coils: a read's data after its byte count,
// else a write's acknowledgement of its start and quantity.
int reply_rtu_bytes(int function, int quantity);
// Characters a frame of `rtu_bytes` (message and CRC) takes on the line:
// an ASCII frame carries each byte as two characters between ":" and
// CR LF, with a one-byte LRC for the two-byte CRC.
int line_chars(model::Framing framing, int rtu_bytes);

}  // namespace vor3::link
