#pragma once
#include <cstddef>
#include <string>

namespace vor3::sim {

// What the bytes at the head of the received stream amount to.
struct Scan {
    enum Status {
        Frame,       // a request with a good checksum: consume `length` bytes
        Skip,        // no request starts here: drop `length` bytes
        Incomplete,  // could still become a request: wait for more bytes
    };
    Status status = Incomplete;
    std::size_t length = 0;
    std::string adu;           // address, function code and data (Frame only)
    bool by_crc_only = false;  // the function code did not tell the length
};

}  // namespace vor3::sim
