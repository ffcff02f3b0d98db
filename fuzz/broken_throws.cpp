#include "fuzz_check.h"

namespace vor3::fuzz {

void broken(const std::string& what, const char* file, int line) {
    throw Broken(std::string(file) + ":" + std::to_string(line) + ": " + what);
}

}  // namespace vor3::fuzz
