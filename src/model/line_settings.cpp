#include "model/line_settings.h"

#include <algorithm>

namespace vor3::model {

namespace {

template <class Table, class Key>
int index_in(const Table& table, Key key) {
    const auto at = std::find_if(table.begin(), table.end(), key);
    return at == table.end() ? -1 : static_cast<int>(at - table.begin());
}

}  // namespace

int baud_index(std::string_view baud) {
    return index_in(kBaudRates, [&](const char* b) { return baud == b; });
}

int parity_index(char letter) {
    return index_in(kParities, [&](const ParityRow& p) { return p.letter == letter; });
}

int mode_index(Framing framing) {
    return index_in(kModes, [&](const ModeRow& m) { return m.framing == framing; });
}

const char* parity_name(char letter) {
    const int i = parity_index(letter);
    return kParities[static_cast<std::size_t>(i < 0 ? parity_index('E') : i)].name;
}

std::vector<char> parity_letters() {
    std::vector<char> letters;
    for (const auto& p : kParities) letters.push_back(p.letter);
    return letters;
}

}  // namespace vor3::model
