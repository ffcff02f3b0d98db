#include "sim/pty_options.h"

#include <charconv>
#include <stdexcept>

namespace vor3::sim {

namespace {

int whole_number(const std::string& name, const std::string& text, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < lowest || value > highest)
        throw std::invalid_argument(name + " needs a whole number from " + std::to_string(lowest) + " to " +
                                    std::to_string(highest) + ", not '" + text + "'");
    return value;
}

Framing framing_named(const std::string& text) {
    if (text == "rtu") return Framing::Rtu;
    if (text == "ascii") return Framing::Ascii;
    throw std::invalid_argument("--mode needs rtu or ascii, not '" + text + "'");
}

}  // namespace

PtyOptions parse_pty_options(const std::vector<std::string>& args) {
    PtyOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool has_value = false;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            has_value = true;
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name != "--mode" && name != "--address" && name != "--baud" && name != "--link")
            throw std::invalid_argument("unknown argument '" + args[i] + "'");
        if (!has_value) {
            if (i + 1 == args.size()) throw std::invalid_argument(name + " needs a value");
            value = args[++i];
        }
        if (name == "--mode") options.framing = framing_named(value);
        else if (name == "--address") options.address = whole_number(name, value, 1, 247);
        else if (name == "--baud") options.baud = whole_number(name, value, 50, 4'000'000);
        else if (value.empty()) throw std::invalid_argument("--link needs a path");
        else options.link = value;
    }
    return options;
}

std::string pty_usage() {
    return "usage: vor3-sensor-sim [--mode rtu|ascii] [--address N] [--baud B] [--link PATH]\n"
           "\n"
           "Simulates the VOR3-UZ485-Uvarod-OR2 room sensor as a Modbus slave on a\n"
           "pseudo-terminal and prints the terminal's path as the first line.\n"
           "\n"
           "  --mode rtu|ascii  framing (default rtu)\n"
           "  --address N       slave address 1..247 (default 1)\n"
           "  --baud B          line speed the replies are paced at (default 9600)\n"
           "  --link PATH       also make PATH a symbolic link to the terminal\n"
           "  --help            show this text\n"
           "\n"
           "Runs until interrupted (SIGINT or SIGTERM).\n";
}

}  // namespace vor3::sim
