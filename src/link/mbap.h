#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Modbus TCP's framing: each ADU (unit identifier and PDU) behind a header
// of transaction identifier, protocol identifier (0) and the length of what
// follows, all high byte first. No checksum: TCP sees to that.
namespace vor3::link {

constexpr std::size_t kMbapHeaderBytes = 7;  // with the unit identifier

// The frame that carries `adu` under `transaction`.
std::string mbap_frame(std::uint16_t transaction, std::string_view adu);

// The length of the frame that begins `bytes`: 0 while too few bytes have
// come to tell; -1 where none can begin there (a protocol identifier other
// than 0, or a length no PDU can have).
int mbap_frame_length(std::string_view bytes);

std::uint16_t mbap_transaction(std::string_view frame);
// The unit identifier and the PDU of a whole frame.
std::string_view mbap_adu(std::string_view frame);

// An answer's ADU is as long as its own content says (a register read's
// byte count, a write's fixed six bytes, an exception's three); an ADU of
// a function not known here fits whatever its length.
bool answer_fits(std::string_view adu);

}  // namespace vor3::link
