#pragma once
#include <string_view>
#include <vector>

namespace vor3::model {

// Slave addresses as a user writes them for a whole line: "1,5,37", "1-30",
// or a mix ("1-3,7"). The addresses in ascending order, each once. Throws
// std::invalid_argument saying what is wrong for anything else, an address
// outside lowest..highest or a range that runs backwards.
std::vector<int> parse_address_list(std::string_view text, int lowest, int highest);

}  // namespace vor3::model
