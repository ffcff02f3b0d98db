#include "model/address_list.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>

namespace vor3::model {

namespace {

int address_in(std::string_view digits, std::string_view whole, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || value < lowest ||
        value > highest)
        throw std::invalid_argument("needs addresses from " + std::to_string(lowest) + " to " +
                                    std::to_string(highest) + " as 1,5,37 or 1-30, not '" + std::string(whole) + "'");
    return value;
}

}  // namespace

std::vector<int> parse_address_list(std::string_view text, int lowest, int highest) {
    std::vector<int> out;
    std::size_t start = 0;
    do {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view piece = text.substr(start, comma - start);
        const std::size_t dash = piece.find('-');
        const int first = address_in(piece.substr(0, dash), text, lowest, highest);
        const int last =
            dash == std::string_view::npos ? first : address_in(piece.substr(dash + 1), text, lowest, highest);
        if (last < first) throw std::invalid_argument("has a range that runs backwards: '" + std::string(piece) + "'");
        for (int a = first; a <= last; ++a) out.push_back(a);
        start = comma + 1;
    } while (start <= text.size());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

}  // namespace vor3::model
