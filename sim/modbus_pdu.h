#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/sensor_memory.h"

namespace vor3::sim {

enum ExceptionCode : int {
    kIllegalFunction = 1,
    kIllegalDataAddress = 2,
    kIllegalDataValue = 3,
};

// function | 0x80 followed by the exception code.
std::string exception_pdu(std::uint8_t function, int code);

// Carries out a request (function code and data, no address or checksum)
// on the memory and returns the reply in the same form: the normal reply,
// or an exception when the function, a quantity or a range is not allowed.
std::string answer_pdu(std::string_view request, SensorMemory& memory, std::int64_t now_ms);

}  // namespace vor3::sim
