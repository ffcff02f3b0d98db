#include "ui/parameter_file.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "model/captions.h"
#include "model/line_settings.h"
#include "model/numbers.h"
#include "model/register_map.h"
#include "store/code_page.h"
#include "store/file_error.h"
#include "store/registry.h"
#include "store/whole_file.h"
#include "ui/config_window.h"
#include "ui/keep_edits.h"

namespace vor3::ui {

namespace {

using model::Caption;

constexpr int kLines = 33;
constexpr int kAddressLine = 11;
constexpr int kFirstRegisterLine = 15;  // register 0; registers 0 and 1 are never loaded
constexpr int kFirstBitLine = 26;
// The sensor needs at least this reply delay; the field corrects less.
constexpr double kMinResponseTime = 5;
// Far more than any parameter file; a larger file is not one.
constexpr std::size_t kFileLimit = 1u << 20;

// A number the way the print statement writes it: a blank in front unless
// negative, and a blank after.
std::string printed(double v, const std::string& sep) {
    return (v < 0 ? "" : " ") + model::format_number(v, sep) + " ";
}

std::vector<std::string> split(const std::string& s, char at) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = s.find(at, start);
        pieces.push_back(s.substr(start, end - start));
        if (end == std::string::npos) return pieces;
        start = end + 1;
    }
}

std::string without_blanks(std::string s) {
    std::erase(s, ' ');
    return s;
}

// A number written with either decimal separator: files move between
// users whose separators differ.
std::optional<double> file_number(const std::string& text, const std::string& sep) {
    if (auto v = model::locale_number(text, sep)) return v;
    return model::locale_number(text, sep == "." ? "," : ".");
}

// The line's label: what comes before its first ";" (register and bit
// lines) or its first blank (the address line), without blanks around it.
std::string label_of(const std::string& line, char at) {
    const std::string head = line.substr(0, line.find(at));
    const auto first = head.find_first_not_of(' ');
    return first == std::string::npos ? "" : head.substr(first, head.find_last_not_of(' ') + 1 - first);
}

// The labels a line may carry, as either language's save writes them.
std::vector<std::string> labels_for(int line) {
    using model::caption_de;
    using model::caption_en;
    if (line == kAddressLine)
        return {label_of(caption_de(Caption::file_text_12), ' '), label_of(caption_en(Caption::file_text_12), ' ')};
    if (line < kFirstBitLine) return {"Register " + std::to_string(line - kFirstRegisterLine + 1)};
    const std::string k = " " + std::to_string(line - kFirstBitLine + 1);
    return {caption_de(Caption::file_text_8) + k, caption_en(Caption::file_text_8) + k};
}

// The first line whose label does not match its place, or nothing. The
// loader takes values by position, so a line inserted, lost or doubled
// would put every value after it into the wrong field.
std::optional<int> misplaced_line(const std::vector<std::string>& lines) {
    const int present = static_cast<int>(std::min<std::size_t>(lines.size(), kLines));
    for (int n = kAddressLine; n <= present; ++n) {
        if (n > kAddressLine && n < kFirstRegisterLine) continue;
        const auto label = label_of(lines[static_cast<std::size_t>(n - 1)], n == kAddressLine ? ' ' : ';');
        const auto allowed = labels_for(n);
        if (std::find(allowed.begin(), allowed.end(), label) == allowed.end()) return n;
    }
    return std::nullopt;
}

// A line of the file as a message shows it: escaped, and not more than
// a message can hold.
std::string shown(const std::string& text) {
    constexpr std::size_t kMost = 80;
    const std::string cut = text.size() > kMost ? text.substr(0, kMost) : text;
    return store::printable(cut) + (cut.size() < text.size() ? "…" : "");
}

// Why a line's value is not loaded.
struct Refusal {
    int line;
    std::string reason;
};

class Loader {
public:
    Loader(Context& c, bool take_address)
        : c_(c), lang_(c.g.lang.language), sep_(c.g.lang.decimal_sep), take_address_(take_address) {}

    void address(int line, const std::string& text) {
        const auto blank = text.find(' ');
        if (blank == std::string::npos) return refuse(line, model::caption(Caption::reason_no_value, lang_));
        const std::string value = text.substr(blank + 1);
        const bool digits =
            !value.empty() && value.size() <= 9 && value.find_first_not_of("0123456789") == std::string::npos;
        if (!digits) return refuse(line, model::caption(Caption::reason_not_a_number, lang_, {shown(value)}));
        const int v = std::stoi(value);
        if (v < model::kFirstAddress || v > model::kLastAddress)
            return refuse(line, model::caption(Caption::reason_out_of_range, lang_,
                                               {value, std::to_string(model::kFirstAddress),
                                                std::to_string(model::kLastAddress)}));
        if (take_address_) c_.frm.txt_Modbus_adress.set_text(std::to_string(v));
    }

    void config_register(int line, int index, const std::string& text) {
        const auto value = value_of(text);
        if (!value) return refuse(line, model::caption(Caption::reason_no_value, lang_));
        const auto v = file_number(*value, sep_);
        if (!v) return refuse(line, model::caption(Caption::reason_not_a_number, lang_, {shown(*value)}));
        const auto& entry = model::field(model::FieldArray::txt_data_cfg, index);
        // A field of whole units takes no separator, so none is in a file
        // the program wrote: "1,000" or "1.000" is a thousand grouped, and
        // read as 1 it would set a threshold of 1 ppm.
        if (model::scale_of(entry.encoding) == 1 && value->find_first_of(".,") != std::string::npos)
            return refuse(line, model::caption(Caption::reason_too_fine, lang_, {shown(*value)}));
        const double lo = index == 7 ? kMinResponseTime : entry.min;
        if (*v < lo || *v > entry.max)
            return refuse(
                line, model::caption(Caption::reason_out_of_range, lang_, {number(*v), number(lo), number(entry.max)}));
        const double scaled = *v * model::scale_of(entry.encoding);
        if (std::abs(scaled - std::round(scaled)) > 1e-6)
            return refuse(line, model::caption(Caption::reason_too_fine, lang_, {number(*v)}));
        c_.frm.txt_data_cfg(index).set_text(number(*v));
    }

    void config_bit(int line, int index, const std::string& text) {
        const auto value = value_of(text);
        if (!value) return refuse(line, model::caption(Caption::reason_no_value, lang_));
        const std::string bit = without_blanks(*value);
        if (bit != "0" && bit != "1")
            return refuse(line, model::caption(Caption::reason_not_a_bit, lang_, {shown(*value)}));
        c_.frm.chk_cfg(index).set_value(bit == "1" ? 1 : 0);
    }

    const std::vector<Refusal>& refused() const { return refused_; }

private:
    // All of a register or bit line after its label and caption: the
    // program writes nothing after the value, so text there ("801;junk")
    // makes the value no number rather than being dropped.
    static std::optional<std::string> value_of(const std::string& line) {
        const auto first = line.find(';');
        const auto second = first == std::string::npos ? first : line.find(';', first + 1);
        if (second == std::string::npos) return std::nullopt;
        return line.substr(second + 1);
    }

    std::string number(double v) const { return model::format_number(v, sep_); }
    void refuse(int line, std::string reason) { refused_.push_back({line, std::move(reason)}); }

    Context& c_;
    std::string lang_, sep_;
    bool take_address_;
    std::vector<Refusal> refused_;
};

// Line 6: the date and time as the user's locale writes them, where the
// file's code page holds them. Arabic or Persian digits and direction
// marks it does not: the file would hold stray bytes, so the stamp is then
// written as a German system writes it.
std::string file_stamp(const form::WallClock& clock) {
    std::string local = clock.date_text() + clock.time_text();
    if (store::cp1252_to_utf8(store::utf8_to_cp1252(local)) == local) return local;
    const form::WallTime now = clock.now();
    const std::string_view iso = now.iso;  // 2024-12-07T14:03:05.123
    if (iso.size() < 19) return {};
    std::string stamp;
    for (const auto piece : {iso.substr(8, 2), std::string_view("."), iso.substr(5, 2), std::string_view("."),
                             iso.substr(0, 4), iso.substr(11, 8)})
        stamp += piece;
    return stamp;
}

}  // namespace

void ParMenueMain_Click(Context& c, int index) {
    if (index == 1) load_parameters(c);
    if (index == 2) save_parameters(c);
    if (index == 4) Exit_Click(c);
}

std::vector<std::string> parameter_file_lines(Context& c) {
    auto& f = c.frm;
    const auto& l = c.g.lang;
    const std::string& sep = l.decimal_sep;
    auto text = [&](Caption id) { return std::string(model::caption(id, l.language)); };

    const store::CRegistry registry = store::platform_registry(c.g.platform);
    const auto version = file_number(registry.MachineSetting(store::kProductKey, "Version"), sep);

    std::vector<std::string> lines = {
        text(Caption::maker_name),
        "",
        text(Caption::file_product),
        "",
        text(Caption::file_version) + printed(version.value_or(0), sep),
        file_stamp(*c.wall_clock),
        "",
        l.FileTexts[9] + c.g.link.baud_rate,
        l.FileTexts[10] + model::framing_name(c.g.link.protocol_mode),
        l.FileTexts[11] + model::parity_name(c.g.link.parity.size() == 1 ? c.g.link.parity[0] : 'E'),
        l.FileTexts[12] + f.txt_Modbus_adress.text(),
        "",
        l.FileTexts[7],
        "",
    };
    for (int k = 1; k <= 11; ++k)
        lines.push_back(text(Caption::file_register) + printed(k, sep) + ";" + f.lbl_cfg(k - 1).caption() + ";" +
                        f.txt_data_cfg(k - 1).text());
    for (int k = 1; k <= 8; ++k)
        lines.push_back(l.FileTexts[8] + printed(k, sep) + ";" + f.lbl_read_cfg_bit(k - 1).caption() + ";" +
                        printed(f.chk_cfg(k - 1).value(), sep));
    return lines;
}

bool save_parameter_file(Context& c, const std::string& path) {
    const std::string& language = c.g.lang.language;
    std::string bytes;
    for (const auto& line : parameter_file_lines(c)) bytes += store::utf8_to_cp1252(line) + "\r\n";
    bool replace_read_only = false;
    if (store::is_read_only(path)) {
        auto text = [&](Caption id) { return std::string(model::caption(id, language)); };
        if (!c.confirm.confirm(text(Caption::confirm_read_only_title),
                               model::caption(Caption::confirm_read_only_text, language, {store::printable(path)}),
                               text(Caption::confirm_replace), text(Caption::confirm_cancel)))
            return false;
        replace_read_only = true;
    }
    const auto error = store::write_whole_file(path, bytes, replace_read_only);
    if (!error) return true;
    c.msg.show(model::caption(Caption::msg_save_failed, language,
                              {store::printable(path), store::file_error_text(error, language)}));
    return false;
}

bool load_parameter_file(Context& c, const std::string& path, bool take_address) {
    const std::string& language = c.g.lang.language;
    const auto file = store::read_whole_file(path, kFileLimit);
    if (!file.bytes) {
        c.msg.show(model::caption(Caption::msg_open_failed, language,
                                  {store::printable(path), store::file_error_text(file.error, language)}));
        return false;
    }
    std::vector<std::string> lines = split(store::cp1252_to_utf8(*file.bytes), '\n');
    if (!lines.empty() && lines.back().empty()) lines.pop_back();  // the last line's end
    for (auto& line : lines)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    if (const auto n = misplaced_line(lines)) {
        const std::string& line = lines[static_cast<std::size_t>(*n - 1)];
        const auto labels = labels_for(*n);
        const std::string& expected = labels[labels.size() > 1 && language == model::kEnglish ? 1 : 0];
        c.msg.show(
            model::caption(Caption::msg_load_refused, language, {store::printable(path), std::to_string(*n), expected}),
            model::caption(Caption::msg_load_line_reads, language, {std::to_string(*n), shown(line)}));
        return false;
    }

    Loader load(c, take_address);
    const int present = static_cast<int>(std::min<std::size_t>(lines.size(), kLines));
    for (int n = 1; n <= present; ++n) {
        const std::string& line = lines[static_cast<std::size_t>(n - 1)];
        if (n == kAddressLine) load.address(n, line);
        if (n >= kFirstRegisterLine + 2 && n < kFirstBitLine) load.config_register(n, n - kFirstRegisterLine, line);
        if (n >= kFirstBitLine) load.config_bit(n, n - kFirstBitLine, line);
    }

    auto& f = c.frm;
    if (c.g.link.port_open) {
        // Loaded values are there to be written; a cyclic read-out must not
        // run over them.
        f.set_parameter.set_enabled(true);
        f.chk_read_out.set_enabled(false);
    } else {
        f.set_parameter.set_enabled(false);
    }

    // Text after the last line is no value of the file's; it is named, as a
    // line out of place would be.
    int extra = 0;
    for (std::size_t n = kLines; n < lines.size() && !extra; ++n)
        if (lines[n].find_first_not_of(" \t") != std::string::npos) extra = static_cast<int>(n) + 1;

    if (load.refused().empty() && present == kLines && !extra) {
        // Every value of the configuration part now comes from the file: it
        // may be written whole, even to a sensor not read before.
        c.g.image.config_known = true;
        return true;
    }
    std::string detail;
    for (const auto& r : load.refused())
        detail += (detail.empty() ? "" : "\n") +
                  model::caption(Caption::msg_load_line, language, {std::to_string(r.line), r.reason});
    if (present < kLines)
        detail += (detail.empty() ? "" : "\n") + model::caption(Caption::msg_load_incomplete, language,
                                                                {std::to_string(present), std::to_string(present + 1)});
    if (extra)
        detail +=
            (detail.empty() ? "" : "\n") + model::caption(Caption::msg_load_extra, language, {std::to_string(extra)});
    c.msg.show(model::caption(Caption::msg_load_partial, language, {store::printable(path)}), detail);
    return false;
}

void save_parameters(Context& c) {
    const auto path = c.files->save_file(model::caption(Caption::file_filter, c.g.lang.language));
    if (!path || path->empty()) return;
    save_parameter_file(c, *path);
}

void load_parameters(Context& c) {
    const auto path = c.files->open_file(model::caption(Caption::file_filter, c.g.lang.language));
    if (!path || path->empty()) return;
    if (!may_replace_edits(c, Replacing::File)) return;
    // The address the file names is part of what the user agreed to.
    const EditsAnswered once(c);
    load_parameter_file(c, *path);
}

}  // namespace vor3::ui
