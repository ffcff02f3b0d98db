#include "ui/port_list.h"

#include <algorithm>
#include <vector>

#include "link/network_address.h"
#include "model/captions.h"
#include "store/registry.h"
#include "ui/port_settings.h"

namespace vor3::ui {

namespace {

store::CRegistry hive(const Context& c) { return store::platform_registry(c.g.platform); }

std::vector<std::string> recent_ports(const Context& c) {
    std::vector<std::string> names;
    const std::string all = hive(c).Werte(store::kProductKey, kRecentPortsValue);
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = std::min(all.find(';', start), all.size());
        if (end > start) names.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Fills the list as the port gives it now and chooses the entry the port
// knows by `name`, else the entry reading `entry`, else the first. Choosing
// runs the port settings, so the port number follows the entry when the
// list has moved under it.
void fill(Context& c, const std::string& name, const std::string& entry) {
    form::ComboBox& list = c.frm.Combo_Port(0);
    const std::vector<std::string> entries = c.port.port_list();
    int chosen = -1;
    for (int i = 0; chosen < 0 && !name.empty() && i < static_cast<int>(entries.size()); ++i)
        if (c.port.port_name(i + 1) == name) chosen = i;
    for (int i = 0; chosen < 0 && !entry.empty() && i < static_cast<int>(entries.size()); ++i)
        if (entries[static_cast<std::size_t>(i)] == entry) chosen = i;
    if (chosen < 0 && !entries.empty()) chosen = 0;
    if (entries == list.items() && chosen == list.list_index()) return;
    list.clear();
    for (const auto& e : entries) list.add_item(e);
    if (chosen >= 0) list.set_list_index(chosen);
}

}  // namespace

void load_port_list(Context& c) {
    const std::vector<std::string> recent = recent_ports(c);
    // Oldest first, so that the list keeps them in the order they were used.
    for (auto name = recent.rbegin(); name != recent.rend(); ++name) c.port.name_port(*name);
    fill(c, recent.empty() ? std::string() : recent.front(), {});
}

void Combo_Port_DropDown(Context& c) {
    const form::ComboBox& list = c.frm.Combo_Port(0);
    const int chosen = list.list_index();
    fill(c, chosen >= 0 ? c.port.port_name(chosen + 1) : std::string(), list.text());
}

void Combo_Port_TextEntered(Context& c, const std::string& text) {
    const std::string wanted = trimmed(text);
    if (wanted.empty()) return;
    // A name under a network scheme that gives no address could never be
    // opened: it is told at once rather than kept.
    if (link::names_network_port(wanted) && !link::parse_network_port(wanted)) {
        show_port_error(c, form::PortError(form::kPortInvalid, "no network port", false, wanted));
        return;
    }
    const auto& entries = c.frm.Combo_Port(0).items();
    if (std::find(entries.begin(), entries.end(), wanted) != entries.end()) {
        fill(c, {}, wanted);
        return;
    }
    const int number = c.port.name_port(wanted);
    if (number < 1) return;
    fill(c, c.port.port_name(number), {});
}

bool remember_open_port(Context& c) {
    // Without a place for the user's settings (a program run for a test, a
    // tool) nothing is kept.
    if (c.g.platform.user_hive.empty() && c.g.platform.user_key.empty()) return true;
    const std::string name = c.port.port_name(c.g.link.com_port);
    // The list is kept in one text; a name that holds its separator is not.
    if (name.empty() || name.find(';') != std::string::npos) return true;
    std::vector<std::string> recent = recent_ports(c);
    if (!recent.empty() && recent.front() == name) return true;
    recent.erase(std::remove(recent.begin(), recent.end(), name), recent.end());
    recent.insert(recent.begin(), name);
    if (recent.size() > kRecentPortCount) recent.resize(kRecentPortCount);
    std::string value;
    for (const auto& r : recent) value += (value.empty() ? "" : ";") + r;
    store::CRegistry settings = hive(c);
    settings.Werte(store::kProductKey, kRecentPortsValue, value);
    if (settings.error_number() == 0) return true;
    c.msg.show(model::caption(model::Caption::msg_setting_not_stored, c.g.lang.language,
                              {settings.error_text(c.g.lang.language)}));
    return false;
}

}  // namespace vor3::ui
