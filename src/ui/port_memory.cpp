#include "ui/port_memory.h"

#include <vector>

#include "model/captions.h"
#include "model/line_settings.h"
#include "store/registry.h"
#include "ui/keep_edits.h"

namespace vor3::ui {

namespace {

struct Entry {
    std::string port, line;
};

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(sep, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::vector<Entry> entries(const Context& c) {
    std::vector<Entry> all;
    const std::string text = store::platform_registry(c.g.platform).Werte(store::kProductKey, kPortSettingsValue);
    if (text.empty()) return all;
    for (const auto& item : split(text, ';')) {
        const auto bar = item.find('|');
        if (bar != std::string::npos && bar > 0) all.push_back({item.substr(0, bar), item.substr(bar + 1)});
    }
    return all;
}

std::string line_of(const Context& c) {
    const auto& link = c.g.link;
    return link.baud_rate + "," + link.parity + "," + model::framing_name(link.protocol_mode) + "," +
           c.frm.txt_Modbus_adress.text();
}

// The mode list's index of a stored framing name; -1 for none.
int mode_named(const std::string& name) {
    const auto framing = model::framing_named(name);
    return framing ? model::mode_index(*framing) : -1;
}

}  // namespace

std::optional<RememberedLine> parse_remembered_line(const std::string& text) {
    const auto parts = split(text, ',');
    if (parts.size() != 4 || parts[1].size() != 1) return std::nullopt;
    const std::string& address = parts[3];
    if (address.empty() || address.size() > 2 || address.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const RememberedLine line{model::baud_index(parts[0]), model::parity_index(parts[1][0]), mode_named(parts[2]),
                              std::stoi(address)};
    if (line.baud < 0 || line.parity < 0 || line.mode < 0 || line.address < model::kFirstAddress ||
        line.address > model::kLastAddress)
        return std::nullopt;
    return line;
}

void remember_port_settings(Context& c) {
    // Without a place for the user's settings (a program run for a test, a
    // tool) nothing is kept.
    if (c.g.platform.user_hive.empty() && c.g.platform.user_key.empty()) return;
    const std::string port = c.port.port_name(c.g.link.com_port);
    // One text holds them all; a name holding its separators is not kept.
    if (port.empty() || port.find_first_of(";|") != std::string::npos) return;
    const std::string line = line_of(c);
    if (!parse_remembered_line(line)) return;
    std::vector<Entry> all = entries(c);
    if (!all.empty() && all.front().port == port && all.front().line == line) return;
    std::erase_if(all, [&](const Entry& e) { return e.port == port; });
    all.insert(all.begin(), {port, line});
    if (all.size() > kRememberedPortCount) all.resize(kRememberedPortCount);
    std::string value;
    for (const auto& e : all) value += (value.empty() ? "" : ";") + e.port + "|" + e.line;
    store::CRegistry hive = store::platform_registry(c.g.platform);
    hive.Werte(store::kProductKey, kPortSettingsValue, value);
    if (hive.error_number() != 0)
        c.msg.show(model::caption(model::Caption::msg_setting_not_stored, c.g.lang.language,
                                  {hive.error_text(c.g.lang.language)}));
}

void offer_port_settings(Context& c) {
    auto& f = c.frm;
    auto& ports = f.Combo_Port(0);
    // The lists are locked while the port is open; a list filled afresh
    // that keeps its port offers nothing anew.
    const std::string port = c.port.port_name(ports.list_index() + 1);
    if (c.port.is_open() || port == c.g.link.settings_port) return;
    const std::string before = c.g.link.settings_port;
    c.g.link.settings_port = port;
    std::optional<RememberedLine> line;
    for (const auto& e : entries(c))
        if (e.port == port) line = parse_remembered_line(e.line);
    if (!line) return;
    const std::string address = std::to_string(line->address);
    if (address != f.txt_Modbus_adress.text() && !may_replace_edits(c, Replacing::SensorLine)) {
        c.g.link.settings_port = before;
        for (int i = 0; i < ports.list_count(); ++i)
            if (!before.empty() && c.port.port_name(i + 1) == before) return ports.set_list_index(i);
        return;
    }
    const EditsAnswered once(c);
    f.Combo_Port(1).set_list_index(line->baud);
    f.Combo_Port(2).set_list_index(line->parity);
    f.Combo_Port(5).set_list_index(line->mode);
    f.txt_Modbus_adress.set_text(address);
}

}  // namespace vor3::ui
