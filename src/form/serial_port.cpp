#include "form/serial_port.h"

#include <sstream>

namespace vor3::form {

SerialSettings parse_settings(const std::string& settings) {
    std::vector<std::string> parts;
    std::stringstream in(settings);
    for (std::string p; std::getline(in, p, ',');) parts.push_back(p);
    auto refuse = [&] { return PortError(kPortSettingsRefused, "invalid settings " + settings); };
    if (parts.size() != 4 || parts[1].size() != 1) throw refuse();
    SerialSettings s;
    try {
        std::size_t used = 0;
        s.baud = std::stoi(parts[0], &used);
        if (used != parts[0].size() || s.baud <= 0) throw refuse();
        s.data_bits = std::stoi(parts[2]);
        s.stop_bits = std::stoi(parts[3]);
    } catch (const std::logic_error&) {
        throw refuse();
    }
    s.parity = parts[1][0];
    if (s.parity != 'N' && s.parity != 'E' && s.parity != 'O') throw refuse();
    if (s.data_bits < 5 || s.data_bits > 8 || (s.stop_bits != 1 && s.stop_bits != 2)) throw refuse();
    return s;
}

}  // namespace vor3::form
