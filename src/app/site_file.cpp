#include "app/site_file.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "model/framing.h"
#include "store/file_error.h"
#include "store/whole_file.h"

namespace vor3::app {

namespace {

// A site of a few hundred lines is a few kilobytes; anything far larger
// is not a site file.
constexpr std::size_t kSiteFileLimit = 1 << 20;
constexpr const char* kKeys[] = {"baud", "parity", "mode", "data-bits", "address", "addresses"};

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

CliOptions line_options(const CliOptions& command, const LineText& given) {
    CliOptions o = command;
    o.lines.clear();
    o.site.clear();
    std::istringstream words(given.text);
    std::string word;
    words >> word;
    if (word.empty() || word.find('=') != std::string::npos)
        throw std::invalid_argument("begins with the port, then its settings as key=value");
    link_option(o, "the port", "--port", word);
    while (words >> word) {
        const auto eq = word.find('=');
        const std::string key = word.substr(0, eq);
        if (eq == std::string::npos || std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys))
            throw std::invalid_argument("'" + word +
                                        "' is no setting (baud=, parity=, mode=, data-bits=, address=, addresses=)");
        link_option(o, key + "=", "--" + key, word.substr(eq + 1));
    }
    const bool several = o.addresses_found || !o.addresses.empty();
    if (several && o.address_given) throw std::invalid_argument("address= or addresses=, not both");
    if (several && o.command == "scan")
        throw std::invalid_argument("scan looks at every address, addresses= is not for it");
    return o;
}

std::vector<BusTarget> targets_of(const CliOptions& o) {
    if (o.addresses_found) return {};
    std::vector<BusTarget> targets;
    for (int a : o.addresses.empty() ? std::vector<int>{o.address} : o.addresses) targets.push_back({a, std::nullopt});
    return targets;
}

ops::LineSetting setting_of(const CliOptions& o) { return {model::framing_name(o.mode), o.baud, o.parity}; }

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char ch) { return ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch; });
    return s;
}

// "1-3,7" for 1, 2, 3 and 7, as addresses= takes them.
std::string address_list(const std::vector<int>& addresses) {
    std::string out;
    for (std::size_t i = 0; i < addresses.size();) {
        std::size_t j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1) ++j;
        out += (out.empty() ? "" : ",") + std::to_string(addresses[i]);
        if (j > i) out += (j == i + 1 ? "," : "-") + std::to_string(addresses[j]);
        i = j + 1;
    }
    return out;
}

std::string value_of(const SensorResult& r, const std::string& control) {
    for (const auto& l : r.before)
        if (l.control == control) return l.value;
    return {};
}

// A row's port and settings; over the network only what the scan tried.
std::string spec_of(const CliOptions& o, const ops::LineSetting& line) {
    std::string row = o.port;
    if (!line.mode.empty()) row += " mode=" + lower(line.mode);
    if (!line.baud.empty()) row += " baud=" + line.baud + " parity=" + std::string(1, line.parity);
    if (o.data_bits) row += " data-bits=" + std::to_string(*o.data_bits);
    return row;
}

}  // namespace

std::vector<LineText> site_rows(const std::string& text, const std::string& file_name) {
    std::vector<LineText> given;
    std::istringstream in(text);
    std::string row;
    for (int number = 1; std::getline(in, row); ++number) {
        for (std::size_t at = row.find('#'); at != std::string::npos; at = row.find('#', at + 1))
            if (at == 0 || row[at - 1] == ' ' || row[at - 1] == '\t') {
                row.resize(at);
                break;
            }
        row = trimmed(row);
        if (!row.empty()) given.push_back({row, file_name + " row " + std::to_string(number)});
    }
    return given;
}

std::vector<LineText> given_lines(const CliOptions& command) {
    std::vector<LineText> given;
    for (const auto& l : command.lines) given.push_back({l, "--line '" + l + "'"});
    if (command.site.empty()) return given;
    const auto file = store::read_whole_file(command.site, kSiteFileLimit);
    if (!file.bytes)
        throw std::invalid_argument("--site " + command.site + ": " + store::file_error_text(file.error, "1033"));
    const auto rows = site_rows(*file.bytes, command.site);
    if (rows.empty()) throw std::invalid_argument("--site " + command.site + " names no line");
    given.insert(given.end(), rows.begin(), rows.end());
    return given;
}

std::vector<SiteLine> site_lines(const CliOptions& command, const std::vector<LineText>& texts) {
    std::vector<SiteLine> lines;
    std::vector<std::string> first_where;  // where each line was first named
    int simulated = 0;
    for (const auto& given : texts) {
        CliOptions o;
        try {
            o = line_options(command, given);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(given.where + ": " + e.what());
        }
        auto fail = [&](const std::string& why) { throw std::invalid_argument(given.where + ": " + why); };
        // Each "sim" is a line of its own simulated sensors; a real port is
        // one line however many rows name it.
        const auto same = o.port == "sim" ? lines.end()
                                          : std::find_if(lines.begin(), lines.end(),
                                                         [&](const SiteLine& l) { return l.options.port == o.port; });
        if (same == lines.end()) {
            if (o.port == "sim") ++simulated;
            lines.push_back({o, targets_of(o), o.port});
            first_where.push_back(given.where);
            continue;
        }
        const std::string& there = first_where[static_cast<std::size_t>(same - lines.begin())];
        if (o.addresses_found || same->options.addresses_found)
            fail(o.port + " is named on " + there + " already; addresses=found takes a line of its own");
        if (o.data_bits != same->options.data_bits) fail("the data bits of " + o.port + " are set on " + there);
        for (auto& t : same->targets)
            if (!t.line) t.line = setting_of(same->options);
        for (const auto& t : targets_of(o)) {
            for (const auto& had : same->targets)
                if (had.address == t.address)
                    fail("address " + std::to_string(t.address) + " on " + o.port + " is named already");
            same->targets.push_back({t.address, setting_of(o)});
        }
    }
    if (simulated > 1)
        for (int n = 0; auto& l : lines)
            if (l.options.port == "sim") l.name = "sim#" + std::to_string(++n);
    return lines;
}

std::string site_inventory(const std::vector<SiteLine>& lines, const std::vector<SensorResult>& results) {
    std::string out =
        "# vor3-cli scan: a row per line and setting; below it each sensor found\n"
        "# (address: location id, device coding, firmware)\n";
    for (const auto& line : lines) {
        std::vector<ops::LineSetting> settings;
        for (const auto& r : results)
            if (r.port == line.name && r.target.line &&
                std::find(settings.begin(), settings.end(), *r.target.line) == settings.end())
                settings.push_back(*r.target.line);
        for (const auto& setting : settings) {
            std::vector<int> addresses;
            std::string sensors;
            for (const auto& r : results) {
                if (r.port != line.name || r.target.line != setting) continue;
                addresses.push_back(r.target.address);
                sensors += "#   " + std::to_string(r.target.address) + ": ";
                sensors += r.before.empty()
                               ? std::string(outcome_name(r.outcome))
                               : "location id " + value_of(r, "txt_data_cfg(3)") + ", device coding " +
                                     value_of(r, "txt_data_cfg(0)") + ", firmware " + value_of(r, "txt_data_cfg(1)");
                sensors += "\n";
            }
            std::sort(addresses.begin(), addresses.end());
            out += spec_of(line.options, setting) + " addresses=" + address_list(addresses) + "\n" + sensors;
        }
    }
    return out;
}

}  // namespace vor3::app
