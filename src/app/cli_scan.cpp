#include "app/cli_scan.h"

#include "ui/scan_window.h"

namespace vor3::app {

namespace {

std::string lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    return s;
}

}  // namespace

ops::ScanPlan scan_plan(const CliOptions& o) {
    ops::ScanPlan plan;
    if (o.mode_given) plan.modes = {model::framing_name(o.mode)};
    if (o.baud_given) plan.bauds = {o.baud};
    if (o.parity_given) plan.parities = {o.parity};
    plan.stop_at_first = o.first;
    plan.min_response_ms = o.response_ms;
    plan.data_bits = o.data_bits;
    return plan;
}

std::string format_finds(const std::vector<ops::ScanFind>& finds) {
    std::string out;
    for (const auto& f : finds) {
        // Over the network only what the scan tried is named.
        if (!f.line.mode.empty()) out += "--mode " + lower(f.line.mode) + " ";
        if (!f.line.baud.empty()) out += "--baud " + f.line.baud + " --parity " + std::string(1, f.line.parity) + " ";
        out += "--address " + std::to_string(f.address) + "\n";
    }
    return out;
}

std::string format_finds_json(const std::vector<ops::ScanFind>& finds) {
    std::string out = "[";
    for (std::size_t i = 0; i < finds.size(); ++i) {
        const auto& f = finds[i];
        out += (i ? ",\n  {" : "\n  {");
        if (!f.line.mode.empty()) out += "\"mode\": \"" + lower(f.line.mode) + "\", ";
        if (!f.line.baud.empty())
            out += "\"baud\": " + f.line.baud + ", \"parity\": \"" + std::string(1, f.line.parity) + "\", ";
        out += "\"address\": " + std::to_string(f.address) + (f.conflict ? ", \"conflict\": true}" : "}");
    }
    return out + (finds.empty() ? "]\n" : "\n]\n");
}

std::vector<std::string> conflict_notes(const std::vector<ops::ScanFind>& finds, const std::string& language) {
    std::vector<std::string> notes;
    for (const auto& f : finds)
        if (f.conflict) notes.push_back(ui::scan_entry(f, language));
    return notes;
}

}  // namespace vor3::app
