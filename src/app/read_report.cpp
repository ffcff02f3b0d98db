#include "app/read_report.h"

#include <cstdio>

namespace vor3::app {

std::vector<ReportLine> read_report(const Program& p) {
    const auto& f = p.frm_config;
    std::vector<ReportLine> lines;
    auto name = [](const char* array, int i) { return std::string(array) + "(" + std::to_string(i) + ")"; };
    for (int i = 0; i <= 10; ++i)
        lines.push_back({name("txt_data_cfg", i), f.lbl_cfg(i).caption(), f.txt_data_cfg(i).text()});
    for (int i = 0; i <= 2; ++i)
        lines.push_back({name("txt_data_out", i), f.lbl_read_out(i).caption(), f.txt_data_out(i).text()});
    for (int i = 0; i <= 2; ++i)
        lines.push_back({name("txt_data_in", i), f.lbl_data_in(i).caption(), f.txt_data_in(i).text()});
    for (int i = 0; i <= 7; ++i)
        lines.push_back(
            {name("chk_cfg", i), f.lbl_read_cfg_bit(i).caption(), std::to_string(f.chk_cfg(i).value()), true});
    for (int i = 0; i <= 4; ++i)
        lines.push_back(
            {name("chk_inp_bit", i), f.lbl_read_bit(i).caption(), std::to_string(f.chk_inp_bit(i).value()), true});
    return lines;
}

std::string format_text(const std::vector<ReportLine>& lines) {
    std::string out;
    for (const auto& l : lines) out += l.control + "\t" + l.caption + "\t" + l.value + "\n";
    return out;
}

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (unsigned char ch : s) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", ch);
            out += buf;
        } else {
            out += static_cast<char>(ch);  // UTF-8 passes unchanged
        }
    }
    return out + "\"";
}

std::string format_json(const std::vector<ReportLine>& lines) {
    std::string out = "{";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& l = lines[i];
        out += i ? ",\n  " : "\n  ";
        out += json_string(l.control) + ": {\"caption\": " + json_string(l.caption) +
               ", \"value\": " + (l.is_check ? l.value : json_string(l.value)) + "}";
    }
    return out + "\n}\n";
}

}  // namespace vor3::app
