#include <cstdio>
#include <cstdlib>

#include "fuzz_check.h"

namespace vor3::fuzz {

void broken(const std::string& what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what.c_str());
    std::abort();
}

}  // namespace vor3::fuzz
