#include "sim/pty_options.h"

#include <charconv>
#include <stdexcept>

#include "link/hex.h"
#include "model/address_list.h"

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
    throw std::invalid_argument("the framing is rtu or ascii (or modbus-tcp over --tcp), not '" + text + "'");
}

std::string noise_bytes(const std::string& text) {
    std::string upper, bytes;
    for (char ch : text) upper.push_back(ch >= 'a' && ch <= 'f' ? static_cast<char>(ch - 'a' + 'A') : ch);
    if (upper.empty() || !link::hex_to_bytes(upper, bytes))
        throw std::invalid_argument("--noise needs bytes as hex digit pairs, not '" + text + "'");
    return bytes;
}

bool is_switch(const std::string& name) {
    return name == "--silent" || name == "--bad-checksum" || name == "--duplicate" || name == "--echo" ||
           name == "--twin" || name == "--close-mid-reply";
}

// Takes one option (and its value) at args[i]; false when it is not one of
// the fault switches.
bool take_fault(const std::string& name, const std::string& value, Faults& f) {
    if (name == "--silent")
        f.silent = true;
    else if (name == "--bad-checksum")
        f.bad_checksum = true;
    else if (name == "--duplicate")
        f.duplicate = true;
    else if (name == "--twin")
        f.twin = true;
    else if (name == "--echo")
        f.echo = true;
    else if (name == "--close-mid-reply")
        f.close_mid_reply = true;
    else if (name == "--noise")
        f.noise_before = noise_bytes(value);
    else if (name == "--split")
        f.split_parts = whole_number(name, value, 1, 256);
    else if (name == "--split-gap")
        f.split_gap_ms = whole_number(name, value, 0, 60'000);
    else if (name == "--exception")
        f.exception_code = whole_number(name, value, 1, 255);
    else if (name == "--refuse-writes")
        f.refuse_writes = whole_number(name, value, 1, 255);
    else if (name == "--extra-delay")
        f.extra_delay_ms = whole_number(name, value, 0, 60'000);
    else if (name == "--answer-ms")
        f.answer_ms = whole_number(name, value, 0, 60'000);
    else if (name == "--answer-spread")
        f.answer_spread_ms = whole_number(name, value, 0, 60'000);
    else if (name == "--repeat-answer-ms")
        f.repeat_answer_ms = whole_number(name, value, 0, 60'000);
    else if (name == "--lose")
        f.lost_percent = whole_number(name, value, 0, 100);
    else if (name == "--seed")
        f.seed = static_cast<std::uint32_t>(whole_number(name, value, 0, 2'147'483'647));
    else
        return false;
    return true;
}

// Walks "--name value" and "--name=value" arguments; `take` returns false
// for a name it does not know.
template <class Take>
void walk(const std::vector<std::string>& args, bool (*has_no_value)(const std::string&), Take take) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        const auto eq = name.find('=');
        const bool inline_value = name.starts_with("--") && eq != std::string::npos;
        if (inline_value) {
            value = name.substr(eq + 1);
            name.resize(eq);
            if (has_no_value(name)) throw std::invalid_argument(name + " takes no value");
        } else if (!has_no_value(name)) {
            if (!name.starts_with("-")) throw std::invalid_argument("unknown argument '" + args[i] + "'");
            if (i + 1 == args.size()) throw std::invalid_argument(name + " needs a value");
            value = args[++i];
        }
        if (!take(name, value)) throw std::invalid_argument("unknown argument '" + args[i] + "'");
    }
}

std::vector<int> address_list(const std::string& name, const std::string& value) {
    try {
        return model::parse_address_list(value, 1, 247);
    } catch (const std::invalid_argument& e) {
        throw std::invalid_argument(name + " " + e.what());
    }
}

bool plain_switch(const std::string& name) { return is_switch(name) || name == "--help" || name == "-h"; }

}  // namespace

Faults parse_fault_options(const std::vector<std::string>& args) {
    Faults faults;
    walk(args, is_switch,
         [&](const std::string& name, const std::string& value) { return take_fault(name, value, faults); });
    return faults;
}

FaultLine parse_fault_line(std::vector<std::string> words) {
    FaultLine line;
    if (words.size() >= 2 && words[0] == "--address") {
        line.addresses = address_list(words[0], words[1]);
        words.erase(words.begin(), words.begin() + 2);
    }
    line.faults = parse_fault_options(words);
    return line;
}

PtyOptions parse_pty_options(const std::vector<std::string>& args) {
    PtyOptions options;
    walk(args, plain_switch, [&](const std::string& name, const std::string& value) {
        if (name == "--help" || name == "-h")
            options.help = true;
        else if (name == "--mode")
            options.framing = framing_named(value);
        else if (name == "--framing") {
            options.modbus_tcp = value == "modbus-tcp";
            if (!options.modbus_tcp) options.framing = framing_named(value);
        } else if (name == "--tcp")
            options.tcp_port = whole_number(name, value, 0, 65535);
        else if (name == "--address")
            options.addresses = address_list(name, value);
        else if (name == "--baud")
            options.baud = whole_number(name, value, 50, 4'000'000);
        else if (name == "--link") {
            if (value.empty()) throw std::invalid_argument("--link needs a path");
            options.link = value;
        } else
            return take_fault(name, value, options.faults);
        return true;
    });
    if (options.tcp_port < 0 && options.modbus_tcp) throw std::invalid_argument("--framing modbus-tcp needs --tcp");
    if (options.tcp_port >= 0 && !options.link.empty()) throw std::invalid_argument("--link needs a pseudo-terminal");
    // The gateway hands the sensor RTU frames.
    if (options.modbus_tcp) options.framing = Framing::Rtu;
    return options;
}

std::string pty_usage() {
    return "usage: vor3-sensor-sim [--mode rtu|ascii] [--address LIST] [--baud B] [--link PATH] [FAULTS]\n"
           "       vor3-sensor-sim --tcp PORT [--framing rtu|ascii|modbus-tcp] [--address LIST] [--baud B] [FAULTS]\n"
           "\n"
           "Simulates the VOR3-UZ485-Uvarod-OR2 room sensor as a Modbus slave on a\n"
           "pseudo-terminal and prints the terminal's path as the first line.\n"
           "\n"
           "  --mode rtu|ascii  framing (default rtu)\n"
           "  --address LIST    slave address 1..247 (default 1), or several sensors on\n"
           "                    the one line, each with its own memory and its address\n"
           "                    as location id: 1,5,37 or 1-30\n"
           "  --baud B          line speed the replies are paced at (default 9600)\n"
           "  --link PATH       also make PATH a symbolic link to the terminal\n"
           "  --tcp PORT        serve TCP connections on the loopback address instead,\n"
           "                    one after the other, as a serial device server does (0:\n"
           "                    any free port); the first line is the port to name, such\n"
           "                    as tcp://127.0.0.1:5020\n"
           "  --framing F       rtu or ascii as --mode, or modbus-tcp: the sensor behind\n"
           "                    a Modbus TCP gateway (MBAP headers, the address as unit)\n"
           "  --help            show this text\n"
           "\n"
           "Faults, for trying how a master copes:\n"
           "  --silent          hear requests but never answer\n"
           "  --bad-checksum    answer with a wrong CRC or LRC\n"
           "  --noise HEX       send these bytes ahead of each reply (e.g. FF0103)\n"
           "  --split N         send each reply in N pieces...\n"
           "  --split-gap MS    ...with this pause between them\n"
           "  --exception CODE  refuse every request with this Modbus exception\n"
           "  --refuse-writes CODE  refuse only writes with this exception\n"
           "  --extra-delay MS  answer this much later than the minimum response time\n"
           "  --answer-ms MS    answer after MS instead of the minimum response time...\n"
           "  --answer-spread MS  ...plus a random part of up to MS, drawn for each answer\n"
           "  --repeat-answer-ms MS  answer a request heard twice in a row (a master's\n"
           "                    repeat) after MS instead (plus the spread)\n"
           "  --lose PERCENT    leave this share of the answers unsent, at random\n"
           "  --seed N          the random answer times and losses follow N (default 1)\n"
           "  --duplicate       send every reply twice\n"
           "  --twin            a second device at the address answers too, differently\n"
           "  --echo            send the request back ahead of the reply\n"
           "  --close-mid-reply over TCP: close the connection when half a reply has gone\n"
           "  Over modbus-tcp, --bad-checksum sends the reply under a wrong transaction.\n"
           "\n"
           "A line of fault switches on standard input replaces the faults in force\n"
           "(an empty line clears them); each line is answered with \"faults set\".\n"
           "A line that starts with --address LIST sets the faults of those sensors only.\n"
           "Runs until interrupted (SIGINT or SIGTERM).\n";
}

}  // namespace vor3::sim
