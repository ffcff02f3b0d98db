#include "ui/status_line.h"

#include <functional>
#include <vector>

#include "link/hex.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "ui/transfer_steps.h"

namespace vor3::ui {

namespace {

using model::Caption;

constexpr const char* kSeparator = " · ";

// The time of day by the wall clock, as the status line shows it.
std::string time_of_day(const Context& c) {
    if (!c.wall_clock) return {};
    const std::string iso = c.wall_clock->now().iso;  // 2024-12-07T14:03:05.123
    return iso.size() >= 19 ? iso.substr(11, 8) : std::string();
}

std::string port_text(const Context& c) {
    const auto& link = c.g.link;
    const std::string name = c.port.port_name(link.com_port);
    return name.empty() ? "COM" + std::to_string(link.com_port) : name;
}

// "9600 8E1 RTU": the settings as a technician writes them.
std::string settings_text(const model::LinkSettings& link) {
    std::string text = link.baud_rate + " " + link.data_bits + link.parity + link.stop_bits;
    if (link.protocol_mode) text += std::string(" ") + model::framing_name(*link.protocol_mode);
    return text;
}

std::string state_text(const Context& c, const std::string& l) {
    const auto& n = c.g.counts;
    if (!c.port.is_open()) return model::caption(Caption::status_port_closed, l);
    std::string text;
    if (n.silent)
        text = model::caption(Caption::status_silent, l, {n.unanswered_since});
    else if (!n.last_answer.empty())
        text = model::caption(Caption::status_answers, l);
    if (!n.last_answer.empty())
        text += (text.empty() ? "" : kSeparator) + model::caption(Caption::status_last_answer, l, {n.last_answer});
    return text;
}

// A field's caption without the colon that ends it before the field.
std::string field_caption(model::FieldArray array, int index, const std::string& l) {
    const auto& f = model::field(array, index);
    std::string text = l == model::kEnglish ? f.caption_en : f.caption_de;
    while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
    return text;
}

std::string part_text(const form::TransferStep& s, const std::string& l) {
    switch (s.request_kind) {
    case model::kWriteConfigBlock:
        return model::caption(Caption::part_config, l, {std::to_string(s.first), std::to_string(s.end - 1)});
    case model::kWriteConfigCoils: return model::caption(Caption::part_config_coils, l);
    case model::kWriteExternalBlock: return model::caption(Caption::part_external, l);
    default: return model::caption(Caption::part_led_coils, l);
    }
}

// The request of this write step is the one on the line: it went out and
// has had no answer that moved the write on.
bool went_out(const Context& c, const form::TransferStep& s) {
    const auto& now = c.g.line.now;
    std::string bytes;
    if (now.copies == 0 || !link::hex_to_bytes(now.request, bytes) || bytes.size() < 4) return false;
    const bool coils = s.request_kind == model::kWriteConfigCoils || s.request_kind == model::kWriteLedCoils;
    const int function = static_cast<unsigned char>(bytes[1]);
    const int first = (static_cast<unsigned char>(bytes[2]) << 8) | static_cast<unsigned char>(bytes[3]);
    return function == (coils ? 0x0F : 0x10) && first == s.first;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

int values_sent(const model::SentValues& sent) {
    int n = 0;
    for (const auto& r : sent.cfg_raw) n += r ? 1 : 0;
    for (const auto& r : sent.in_raw) n += r ? 1 : 0;
    if (sent.cfg_coils) n += model::kConfigCoilCount;
    if (sent.led_coils) n += model::kLedCoilCount;
    return n;
}

void note(Context& c, std::function<std::string(const std::string&)> what) {
    c.g.status_note = std::move(what);
    show_status_line(c);
}

}  // namespace

std::string status_line_text(const Context& c, const std::string& l) {
    const auto& n = c.g.counts;
    std::string first = port_text(c) + kSeparator + settings_text(c.g.link) + kSeparator +
                        model::caption(Caption::status_address, l, {c.frm.txt_Modbus_adress.text()});
    if (const std::string state = state_text(c, l); !state.empty()) first += kSeparator + state;
    const auto count = [](std::uint64_t v) { return std::to_string(v); };
    std::string text = first + "\n" +
                       model::caption(Caption::status_counts, l,
                                      {count(n.requests), count(n.answers), count(n.repeats), count(n.give_ups),
                                       count(n.bad_checksums), count(n.noise)});
    if (c.g.status_note) text += "\n" + c.g.status_note(l);
    return text;
}

void show_status_line(Context& c) { c.frm.status_line.set_caption(status_line_text(c, c.g.lang.language)); }

void count_on_line(Context& c, LineEvent event) {
    auto& n = c.g.counts;
    switch (event) {
    case LineEvent::Request:
        ++n.requests;
        if (n.unanswered_since.empty()) n.unanswered_since = time_of_day(c);
        break;
    case LineEvent::Repeat: ++n.repeats; break;
    case LineEvent::Answer:
        ++n.answers;
        n.last_answer = time_of_day(c);
        n.unanswered_since.clear();
        n.silent = false;
        break;
    case LineEvent::GiveUp:
        ++n.give_ups;
        n.silent = true;
        break;
    case LineEvent::BadChecksum: ++n.bad_checksums; break;
    case LineEvent::Noise: ++n.noise; break;
    }
    show_status_line(c);
}

void clear_line_counts(Context& c) {
    c.g.counts = {};
    c.g.status_note = nullptr;
    show_status_line(c);
}

void name_correction(Context& c, model::FieldArray array, int index, const std::string& typed,
                     const std::string& became, Correction why, const std::string& bound) {
    note(c, [=](const std::string& l) {
        static constexpr Caption kWhy[] = {Caption::correction_at_most,   Caption::correction_at_least,
                                           Caption::correction_above,     Caption::correction_below,
                                           Caption::correction_empty,     Caption::correction_not_number,
                                           Caption::correction_resolution};
        const std::string reason = model::caption(kWhy[static_cast<int>(why)], l, {bound});
        // An empty field is shown as empty quotes, not as nothing between two spaces.
        const std::string shown = !typed.empty() ? typed : l == model::kGerman ? "„“" : "\"\"";
        return model::caption(Caption::status_corrected, l, {field_caption(array, index, l), shown, became, reason});
    });
}

void tell_write_checked(Context& c) {
    const int written = values_sent(c.g.sent);
    const std::vector<model::ReadBackDifference> differences = c.g.sent.differences;
    note(c, [=](const std::string& l) {
        if (differences.empty()) return model::caption(Caption::status_write_confirmed, l, {std::to_string(written)});
        std::vector<std::string> items;
        for (const auto& d : differences)
            items.push_back(field_caption(d.array, d.index, l) + " " + d.sent + " → " + d.read);
        return model::caption(Caption::status_write_differs, l, {std::to_string(written), joined(items)});
    });
}

void tell_write_ended(Context& c, bool cancelled) {
    const auto& s = c.state;
    if (!s.loaded() || s.step < 0 || s.step >= static_cast<int>(s.steps.size())) return;
    const form::TransferStep in_flight = s.steps[static_cast<std::size_t>(s.step)];
    if (is_read_step(in_flight)) return;
    std::vector<form::TransferStep> confirmed;
    for (int i = 0; i < s.step; ++i) {
        const form::TransferStep& step = s.steps[static_cast<std::size_t>(i)];
        if (is_read_step(step)) continue;
        // The blocks of one part are one part to the user.
        if (!confirmed.empty() && confirmed.back().request_kind == step.request_kind &&
            confirmed.back().end == step.first)
            confirmed.back().end = step.end;
        else
            confirmed.push_back(step);
    }
    const bool unconfirmed = went_out(c, in_flight);
    note(c, [=](const std::string& l) {
        std::vector<std::string> parts;
        for (const auto& step : confirmed) parts.push_back(part_text(step, l));
        std::string text =
            std::string(model::caption(cancelled ? Caption::status_write_cancelled : Caption::status_write_ended, l)) +
            " – " +
            model::caption(Caption::status_confirmed, l,
                           {parts.empty() ? model::caption(Caption::status_nothing, l) : joined(parts)});
        if (unconfirmed) text += "; " + model::caption(Caption::status_unconfirmed, l, {part_text(in_flight, l)});
        return text;
    });
}

}  // namespace vor3::ui
