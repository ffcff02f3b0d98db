#include "app/cli_options.h"

#include <cctype>
#include <stdexcept>

#include "link/network_address.h"
#include "model/address_list.h"
#include "model/line_settings.h"
#include "model/register_map.h"

namespace vor3::app {

const char* const kCliUsage =
    "usage: vor3-cli read    LINK [--json | --csv]\n"
    "       vor3-cli write   LINK [--file FILE] [NAME=VALUE...] [--csv]\n"
    "       vor3-cli monitor LINK [--count N] [--give-up SECONDS]\n"
    "       vor3-cli save    LINK FILE|FOLDER\n"
    "       vor3-cli scan    --port PORT [--mode M] [--baud B] [--parity P] [--first]\n"
    "                        [--response-ms MS] [--json]\n"
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
    "  --trace on any command writes every frame over the line to standard error;\n"
    "  --echo drops the echo of each request, for adapters that hear themselves.\n"
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

int whole_number(const std::string& flag, const std::string& text, int lo, int hi) {
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::logic_error&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || v < lo || v > hi)
        throw std::invalid_argument(flag + " takes a whole number from " + std::to_string(lo) + " to " +
                                    std::to_string(hi) + ", not '" + text + "'");
    return v;
}

}  // namespace

CliOptions parse_cli(const std::vector<std::string>& args) {
    CliOptions o;
    bool address_given = false;
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
        } else if (a == "--port") {
            o.port = value();
            if (link::names_network_port(o.port) && !link::parse_network_port(o.port))
                throw std::invalid_argument("--port takes tcp://HOST:PORT or modbus-tcp://HOST[:PORT], not '" + o.port +
                                            "'");
        } else if (a == "--baud") {
            o.baud = value();
            o.baud_given = true;
            if (model::baud_index(o.baud) < 0)
                throw std::invalid_argument("--baud takes 9600, 19200, 38400 or 57600, not '" + o.baud + "'");
        } else if (a == "--parity") {
            const std::string& p = value();
            const char letter = p.size() == 1 ? static_cast<char>(std::toupper(static_cast<unsigned char>(p[0]))) : 0;
            if (model::parity_index(letter) < 0)
                throw std::invalid_argument("--parity takes N, E or O, not '" + p + "'");
            o.parity = letter;
            o.parity_given = true;
        } else if (a == "--mode") {
            const std::string& m = value();
            if (m != "rtu" && m != "RTU" && m != "ascii" && m != "ASCII")
                throw std::invalid_argument("--mode takes rtu or ascii, not '" + m + "'");
            o.mode = *model::framing_named(m);
            o.mode_given = true;
        } else if (a == "--data-bits") {
            o.data_bits = whole_number(a, value(), 7, 8);
        } else if (a == "--address") {
            o.address = whole_number(a, value(), model::kFirstAddress, model::kLastAddress);
            address_given = true;
        } else if (a == "--addresses") {
            const std::string& list = value();
            try {
                if (list == "found")
                    o.addresses_found = true;
                else
                    o.addresses = model::parse_address_list(list, model::kFirstAddress, model::kLastAddress);
            } catch (const std::invalid_argument& e) {
                throw std::invalid_argument(a + " " + e.what());
            }
        } else if (a == "--csv") {
            o.csv = true;
        } else if (a == "--file") {
            o.file = value();
            if (o.file.empty()) throw std::invalid_argument("--file needs a file name");
        } else if (a == "--echo") {
            o.echo = true;
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
    if (line && address_given) throw std::invalid_argument("--address or --addresses, not both");
    if ((o.first || o.response_ms != 50) && o.command != "scan")
        throw std::invalid_argument("--first and --response-ms are for scan");
    if ((o.count || o.give_up_s) && o.command != "monitor")
        throw std::invalid_argument("--count and --give-up are for monitor");
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
