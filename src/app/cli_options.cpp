#include "app/cli_options.h"

#include <cctype>
#include <stdexcept>

#include "link/network_address.h"
#include "model/address_list.h"
#include "model/line_settings.h"
#include "model/register_map.h"

namespace vor3::app {

const char* const kCliUsage =
    "usage: vor3-cli read    LINK [--json | --csv] [--pace P]\n"
    "       vor3-cli write   LINK [--file FILE] [NAME=VALUE...] [--csv] [--pace P]\n"
    "       vor3-cli monitor LINK [--count N] [--give-up SECONDS]\n"
    "       vor3-cli save    LINK FILE|FOLDER [--pace P]\n"
    "       vor3-cli scan    --port PORT [--mode M] [--baud B] [--parity P] [--first]\n"
    "                        [--response-ms MS] [--json]\n"
    "       vor3-cli read|save|write ... --line LINE [--line LINE...] | --site FILE\n"
    "       vor3-cli scan    --line LINE [--line LINE...] > FILE\n"
    "       vor3-cli registry get NAME | set NAME VALUE | list\n"
    "  LINK: --port PORT [--baud 9600|19200|38400|57600] [--parity N|E|O]\n"
    "        [--mode rtu|ascii] [--data-bits 7|8] [--address 1..63 | --addresses LIST]\n"
    "  --addresses LIST on read, save and write does the same for several sensors on\n"
    "        the line, one after another: 1,5,37 or 1-63, or 'found' for those a scan\n"
    "        at the link settings finds. read --json gives one object per sensor,\n"
    "        --csv (read, write) one row per sensor; save takes a FOLDER and writes\n"
    "        one file per sensor, named by address and location id; write keeps each\n"
    "        sensor's location id unless it is named (txt_data_cfg(3)=N). A summary\n"
    "        per address follows the data; Ctrl+C stops after the sensor in progress.\n"
    "  --line LINE works several lines at once, each line's sensors one after\n"
    "        another: LINE is the port, then its settings as the link options are\n"
    "        named: '/dev/ttyUSB0 baud=19200 parity=E addresses=1-30' or\n"
    "        'modbus-tcp://10.0.0.7 addresses=found' (mode=, data-bits=, address=\n"
    "        too); link options given outside --line hold for every line. --site\n"
    "        FILE takes one LINE per row ('#' begins a comment); rows naming one\n"
    "        port join on that line, each sensor at its row's settings. Each 'sim'\n"
    "        is a line of its own simulated sensors. The report leads each row\n"
    "        with the line's port; the exit status is the highest of all lines.\n"
    "        scan --line looks on every line at once, reads each sensor found and\n"
    "        prints a site file: a row per line and setting, a comment per sensor\n"
    "        (location id, device coding, firmware).\n"
    "  --trace on any command writes every frame over the line to standard error;\n"
    "  --echo drops the echo of each request, for adapters that hear themselves.\n"
    "  --pace answer (read, save, write) sends each request as soon as the answer\n"
    "        before is in and the line has been silent (3.5 characters in RTU), never\n"
    "        sooner than the sensor's minimum response time allows; --pace schedule,\n"
    "        the default, keeps the pace of the window's timers. The monitor polls\n"
    "        at the sensor's display interval either way.\n"
    "  PORT: a device path (/dev/ttyUSB0), a name from the port list, 'sim' for the\n"
    "        built-in simulated sensor (the window's: RTU, 9600 baud, even parity,\n"
    "        address 1, or one at each address of --addresses; no other setting\n"
    "        reaches it), or a network port: tcp://HOST:PORT for a\n"
    "        serial device server that passes the frames unchanged (--baud is then\n"
    "        the pace of its serial side), modbus-tcp://HOST[:PORT] for a Modbus TCP\n"
    "        gateway (port 502 unless given; --address is the unit identifier).\n"
    "        HOST is a name, an IPv4 address or an IPv6 address in brackets.\n"
    "  read:    prints every field of the device as the window shows it.\n"
    "  write:   reads the device, enters each VALUE into the field NAME as printed by\n"
    "           read (txt_data_cfg(4)=900, chk_cfg(2)=0, txt_data_in(0)=21.5; \",\" also\n"
    "           works as decimal point), writes as \"Werte übernehmen\" does, reads the\n"
    "           device back and prints what changed. --file FILE first loads a\n"
    "           parameter file into the fields as \"Parameter laden\" does. A write\n"
    "           cut short says of each value whether the device confirmed it.\n"
    "  monitor: polls the measured values and prints one CSV line per reading, until\n"
    "           interrupted or N readings; with no valid reading for SECONDS (default\n"
    "           10, 0 for never) it gives up with exit status 3.\n"
    "  save:    reads the device and saves it as a parameter file, as \"Parameter\n"
    "           speichern\" does.\n"
    "  scan:    looks for sensors: each framing, baud rate and parity (or only those\n"
    "           given) and each address 1 to 63; prints one line of link options per\n"
    "           sensor found (exit 3 when none answers), and warns of an address\n"
    "           that gave two different answers. Over the network: each framing\n"
    "           and address (only the unit identifiers 1 to 63 on a gateway), each\n"
    "           try as long as the connection's round trip and the sensor need.\n"
    "  registry: the installation's settings (Pfad, Language, Version); set\n"
    "           Language 1033 for English, 1031 for German.\n"
    "  Exit status: 0 done, 1 usage or a refused value or file (nothing sent), or a\n"
    "  file or setting not stored, 2 port not available or no connection made, 3 no\n"
    "  or incomplete answer or the connection closed during the transfer, 4 written\n"
    "  but the read-back differs; over several sensors, the highest.\n";

namespace {

int whole_number(const std::string& name, const std::string& text, int lo, int hi) {
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::logic_error&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || v < lo || v > hi)
        throw std::invalid_argument(name + " takes a whole number from " + std::to_string(lo) + " to " +
                                    std::to_string(hi) + ", not '" + text + "'");
    return v;
}

}  // namespace

bool link_option(CliOptions& o, const std::string& name, const std::string& flag, const std::string& value) {
    if (flag == "--port") {
        o.port = value;
        if (link::names_network_port(o.port) && !link::parse_network_port(o.port))
            throw std::invalid_argument(name + " takes tcp://HOST:PORT or modbus-tcp://HOST[:PORT], not '" + o.port +
                                        "'");
    } else if (flag == "--baud") {
        o.baud = value;
        o.baud_given = true;
        if (model::baud_index(o.baud) < 0)
            throw std::invalid_argument(name + " takes 9600, 19200, 38400 or 57600, not '" + o.baud + "'");
    } else if (flag == "--parity") {
        const char letter =
            value.size() == 1 ? static_cast<char>(std::toupper(static_cast<unsigned char>(value[0]))) : 0;
        if (model::parity_index(letter) < 0)
            throw std::invalid_argument(name + " takes N, E or O, not '" + value + "'");
        o.parity = letter;
        o.parity_given = true;
    } else if (flag == "--mode") {
        if (value != "rtu" && value != "RTU" && value != "ascii" && value != "ASCII")
            throw std::invalid_argument(name + " takes rtu or ascii, not '" + value + "'");
        o.mode = *model::framing_named(value);
        o.mode_given = true;
    } else if (flag == "--data-bits") {
        o.data_bits = whole_number(name, value, 7, 8);
    } else if (flag == "--address") {
        o.address = whole_number(name, value, model::kFirstAddress, model::kLastAddress);
        o.address_given = true;
    } else if (flag == "--addresses") {
        try {
            if (value == "found")
                o.addresses_found = true;
            else
                o.addresses = model::parse_address_list(value, model::kFirstAddress, model::kLastAddress);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(name + " " + e.what());
        }
    } else {
        return false;
    }
    return true;
}

CliOptions parse_cli(const std::vector<std::string>& args) {
    CliOptions o;
    bool pace_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--port" || a == "--baud" || a == "--parity" || a == "--mode" || a == "--data-bits" ||
                   a == "--address" || a == "--addresses") {
            link_option(o, a, a, value());
        } else if (a == "--line") {
            o.lines.push_back(value());
        } else if (a == "--site") {
            o.site = value();
            if (o.site.empty()) throw std::invalid_argument("--site needs a file name");
        } else if (a == "--csv") {
            o.csv = true;
        } else if (a == "--file") {
            o.file = value();
            if (o.file.empty()) throw std::invalid_argument("--file needs a file name");
        } else if (a == "--echo") {
            o.echo = true;
        } else if (a == "--pace") {
            const std::string& pace = value();
            if (pace != "answer" && pace != "schedule")
                throw std::invalid_argument("--pace takes schedule or answer, not '" + pace + "'");
            o.answer_paced = pace == "answer";
            pace_given = true;
        } else if (a == "--trace") {
            o.trace = true;
        } else if (a == "--first") {
            o.first = true;
        } else if (a == "--response-ms") {
            o.response_ms = whole_number(a, value(), 0, model::kSlowestResponseMs);
        } else if (a == "--give-up") {
            o.give_up_s = whole_number(a, value(), 0, 24 * 3600);
        } else if (a == "--count") {
            o.count = whole_number(a, value(), 1, 1000000000);
        } else if (!a.empty() && a[0] == '-') {
            throw std::invalid_argument("unknown option " + a);
        } else if (o.command.empty()) {
            o.command = a;
        } else if (o.command == "write" && a.find('=') != std::string::npos) {
            o.assignments.push_back(a);
        } else if (o.command == "save" && o.file.empty()) {
            o.file = a;
        } else {
            throw std::invalid_argument("unexpected argument " + a);
        }
    }
    if (o.help) return o;
    if (o.command != "read" && o.command != "write" && o.command != "monitor" && o.command != "save" &&
        o.command != "scan")
        throw std::invalid_argument(o.command.empty() ? "no command given" : "unknown command " + o.command);
    if (o.command == "write" && o.assignments.empty() && o.file.empty())
        throw std::invalid_argument("write needs NAME=VALUE or --file FILE");
    if (o.command == "save" && o.file.empty()) throw std::invalid_argument("save needs FILE");
    if (!o.file.empty() && o.command != "write" && o.command != "save")
        throw std::invalid_argument("--file is for write");
    if (o.json && o.command != "read" && o.command != "scan")
        throw std::invalid_argument("--json is for read and scan");
    if (o.csv && o.command != "read" && o.command != "write")
        throw std::invalid_argument("--csv is for read and write");
    if (o.csv && o.json) throw std::invalid_argument("--csv or --json, not both");
    const bool line = o.addresses_found || !o.addresses.empty();
    if (line && o.command != "read" && o.command != "save" && o.command != "write")
        throw std::invalid_argument("--addresses is for read, save and write");
    if (line && o.address_given) throw std::invalid_argument("--address or --addresses, not both");
    if (pace_given && o.command != "read" && o.command != "save" && o.command != "write")
        throw std::invalid_argument("--pace is for read, save and write");
    if ((o.first || o.response_ms != 50) && o.command != "scan")
        throw std::invalid_argument("--first and --response-ms are for scan");
    if ((o.count || o.give_up_s) && o.command != "monitor")
        throw std::invalid_argument("--count and --give-up are for monitor");
    if (o.several_lines()) {
        if (o.command == "monitor") throw std::invalid_argument("--line and --site are for read, save, write and scan");
        if (!o.port.empty() || line || o.address_given)
            throw std::invalid_argument("--line and --site name the port and the addresses of each line");
        if (o.command == "scan" && (o.json || o.first))
            throw std::invalid_argument("scan --line writes a site file: --json and --first are for one port");
        if (o.command == "scan" && !o.site.empty()) throw std::invalid_argument("scan takes --line, not --site");
        return o;
    }
    if (o.port.empty()) throw std::invalid_argument("--port is required");
    return o;
}

std::string with_data_bits(const std::string& settings, int data_bits) {
    const auto first = settings.find(',');
    const auto second = first == std::string::npos ? first : settings.find(',', first + 1);
    const auto third = second == std::string::npos ? second : settings.find(',', second + 1);
    if (third == std::string::npos) return settings;
    return settings.substr(0, second + 1) + std::to_string(data_bits) + settings.substr(third);
}

}  // namespace vor3::app
