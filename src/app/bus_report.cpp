#include "app/bus_report.h"

#include <algorithm>

#include "model/captions.h"
#include "model/numbers.h"

namespace vor3::app {

namespace {

// The fields every report lists, in the order a read gives them: those of
// a sensor that was read, else the window's own names.
std::vector<std::string> field_names(const std::vector<SensorResult>& results) {
    for (const auto& r : results)
        if (!r.before.empty()) {
            std::vector<std::string> names;
            for (const auto& l : r.before) names.push_back(l.control);
            return names;
        }
    return {};
}

bool is_measured(const std::string& control) { return control.rfind("txt_data_out", 0) == 0; }

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

// A field's value for a spreadsheet: numbers with ".".
std::string csv_value(const std::string& value, const std::string& decimal_sep) {
    if (const auto v = model::locale_number(value, decimal_sep)) return model::format_number(*v, ".");
    return csv_field(value);
}

// The value of `control` in `lines`, or "" where the sensor gave none.
std::string value_of(const std::vector<ReportLine>& lines, const std::string& control) {
    for (const auto& l : lines)
        if (l.control == control) return l.value;
    return {};
}

// Rows of a run over several lines lead with the line's port.
bool with_ports(const std::vector<SensorResult>& results) {
    return std::any_of(results.begin(), results.end(), [](const SensorResult& r) { return !r.port.empty(); });
}

// A sensor's lead in a text report: its line's port (where known) and its
// address, each followed by a tab.
std::string text_lead(const SensorResult& r) {
    return (r.port.empty() ? "" : r.port + "\t") + std::to_string(r.target.address) + "\t";
}

// The same in a CSV row, without the tab.
std::string csv_lead(const SensorResult& r, bool ports) {
    return (ports ? csv_field(r.port) + "," : "") + std::to_string(r.target.address);
}

}  // namespace

std::string bus_summary(const std::vector<SensorResult>& results, const std::string& language) {
    using model::Caption;
    std::string out;
    for (const auto& r : results) {
        const std::string address = std::to_string(r.target.address);
        const std::string outcome = outcome_text(r.outcome, language);
        const std::string location = r.location_id();
        if (!r.port.empty()) out += r.port + ": ";
        out += location.empty() ? model::caption(Caption::bus_summary, language, {address, outcome})
                                : model::caption(Caption::bus_summary_location, language, {address, location, outcome});
        if (!r.detail.empty()) out += " (" + r.detail + ")";
        out += "\n";
    }
    return out;
}

std::string bus_read_text(const std::vector<SensorResult>& results) {
    std::string out;
    for (const auto& r : results)
        for (const auto& l : r.before) out += text_lead(r) + l.control + "\t" + l.caption + "\t" + l.value + "\n";
    return out;
}

std::string bus_read_json(const std::vector<SensorResult>& results) {
    std::string out = "[";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const auto& r = results[i];
        out += i ? ",\n  " : "\n  ";
        out += "{" + (r.port.empty() ? "" : "\"port\": " + json_string(r.port) + ", ") +
               "\"address\": " + std::to_string(r.target.address) +
               ", \"outcome\": " + json_string(outcome_name(r.outcome));
        if (!r.detail.empty()) out += ", \"detail\": " + json_string(r.detail);
        if (!r.before.empty()) {
            std::string fields = format_json(r.before);
            fields.pop_back();  // its line end
            for (auto at = fields.find('\n'); at != std::string::npos; at = fields.find('\n', at + 1))
                fields.insert(at + 1, "  ");
            out += ", \"fields\": " + fields;
        }
        out += "}";
    }
    return out + (results.empty() ? "]\n" : "\n]\n");
}

std::string bus_read_csv(const std::vector<SensorResult>& results, const std::string& decimal_sep) {
    const auto names = field_names(results);
    const bool ports = with_ports(results);
    std::string out = ports ? "port,address,outcome" : "address,outcome";
    for (const auto& n : names) out += "," + n;
    out += "\n";
    for (const auto& r : results) {
        out += csv_lead(r, ports) + "," + outcome_name(r.outcome);
        for (const auto& n : names) out += "," + csv_value(value_of(r.before, n), decimal_sep);
        out += "\n";
    }
    return out;
}

std::string bus_changes_text(const std::vector<SensorResult>& results) {
    std::string out;
    for (const auto& r : results)
        for (const auto& c : r.changes) out += text_lead(r) + c + "\n";
    return out;
}

std::string bus_report_csv(const std::vector<SensorResult>& results, const std::string& decimal_sep) {
    std::vector<std::string> names;
    for (const auto& n : field_names(results))
        if (!is_measured(n)) names.push_back(n);
    const bool ports = with_ports(results);
    std::string out = ports ? "port,address,location_id,outcome,detail" : "address,location_id,outcome,detail";
    for (const auto& n : names) out += "," + n + " before," + n + " after";
    out += "\n";
    for (const auto& r : results) {
        out += csv_lead(r, ports) + "," + csv_value(r.location_id(), decimal_sep) + "," + outcome_name(r.outcome) +
               "," + csv_field(r.detail);
        for (const auto& n : names)
            out += "," + csv_value(value_of(r.before, n), decimal_sep) + "," +
                   csv_value(value_of(r.after, n), decimal_sep);
        out += "\n";
    }
    return out;
}

}  // namespace vor3::app
