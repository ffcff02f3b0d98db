#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "fuzzed_input.h"

// What every fuzz target shares. Under libFuzzer a broken invariant aborts,
// so the input is saved as a finding; replayed under GoogleTest it throws,
// so the test names the input and goes on with the next.
namespace vor3::fuzz {

struct Broken : std::logic_error {
    using std::logic_error::logic_error;
};

[[noreturn]] inline void broken(const std::string& what, const char* file, int line) {
    const std::string where = std::string(file) + ":" + std::to_string(line) + ": ";
#ifdef VOR3_FUZZ_ABORTS
    std::fprintf(stderr, "%sinvariant broken: %s\n", where.c_str(), what.c_str());
    std::abort();
#else
    throw Broken(where + what);
#endif
}

}  // namespace vor3::fuzz

#define FUZZ_CHECK(condition, what)                                         \
    do {                                                                    \
        if (!(condition)) ::vor3::fuzz::broken((what), __FILE__, __LINE__); \
    } while (false)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
