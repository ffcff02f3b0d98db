#pragma once
#include <string>
#include <vector>

#include "app/program.h"

namespace vor3::app {

// One field of a read as the window shows it.
struct ReportLine {
    std::string control;  // "txt_data_cfg(3)"
    std::string caption;  // the label beside it, "Standortkennung:"
    std::string value;    // the field's text, or the check value 0/1
    bool is_check = false;
};

// Every device field of the window: configuration registers, output
// values, external values, configuration coils and LED coils.
std::vector<ReportLine> read_report(const Program& p);

// One line per field: control, tab, caption, tab, value.
std::string format_text(const std::vector<ReportLine>& lines);
// The same as one JSON object keyed by control.
std::string format_json(const std::vector<ReportLine>& lines);
// Text as a JSON string, quotes included.
std::string json_string(const std::string& s);

}  // namespace vor3::app
