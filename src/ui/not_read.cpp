#include "ui/not_read.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "model/numbers.h"
#include "model/register_map.h"
#include "ui/change_marking.h"
#include "ui/field_rules.h"

namespace vor3::ui {

namespace {

// Number fields first..first+count-1 and the sensor's values behind them;
// their tips name the range alone again.
template <class Fields, std::size_t N>
void empty_fields(const Context& c, model::FieldArray array, Fields& fields,
                  std::array<std::optional<std::uint16_t>, N>& raw, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        auto& field = fields(i);
        field.set_text("");
        clear_mark(field);
        field.set_tool_tip(range_tip(c, array, i));
        raw[static_cast<std::size_t>(i)].reset();
    }
}

template <class Boxes, std::size_t N>
void grey_boxes(Boxes& boxes, std::array<std::int16_t, N>& image_bits, int count) {
    for (int n = 0; n < count; ++n) {
        // The stored copy first, so the box's click finds them equal and
        // marks nothing.
        image_bits[static_cast<std::size_t>(n)] = form::kGrayed;
        boxes(n).set_value(form::kGrayed);
    }
}

}  // namespace

void show_not_read(Context& c, const Steps& steps) {
    auto& f = c.frm;
    auto& image = c.g.image;
    for (const auto& s : steps) {
        const int count = s.end - s.first;
        switch (s.request_kind) {
        case model::kReadRegisterBlock:
            if (s.first >= model::kMeasuredFirst) {
                for (int j = 0; j < count; ++j) {
                    f.txt_data_out(j).set_text("");
                    image.out_raw[static_cast<std::size_t>(j)].reset();
                }
                break;
            }
            empty_fields(c, model::FieldArray::txt_data_cfg, f.txt_data_cfg, image.cfg_raw, s.first, count);
            image.config_known = false;
            break;
        case model::kReadConfigCoils:
            grey_boxes(f.chk_cfg, image.cfg_bit, count);
            image.cfg_coils_raw.reset();
            image.config_known = false;
            break;
        case model::kReadExternalValues:
            empty_fields(c, model::FieldArray::txt_data_in, f.txt_data_in, image.in_raw, 0, count);
            image.external_known = false;
            break;
        case model::kReadLedCoils:
            grey_boxes(f.chk_inp_bit, image.inp_bit, count);
            image.led_coils_raw.reset();
            image.external_known = false;
            break;
        default: break;
        }
    }
    UpdateApplyButton(c, MarkGroup::All);
    for (const auto& tell : c.image_changed) tell();
}

std::string sensor_line(const Context& c) {
    const auto& f = c.frm;
    const auto& link = c.g.link;
    const auto address = static_cast<int>(model::leading_number(f.txt_Modbus_adress.text()));
    return f.Combo_Port(0).text() + " " + link.settings_string() + " " + model::framing_name(link.protocol_mode) + " " +
           std::to_string(address);
}

Steps sensor_line_drops(const Context& c) {
    const auto& image = c.g.image;
    if (sensor_line(c) == image.line) return {};
    const auto from_sensor = [](const auto& raw) {
        return std::any_of(raw.begin(), raw.end(), [](const auto& r) { return r.has_value(); });
    };
    const bool config = from_sensor(image.cfg_raw), external = from_sensor(image.in_raw);
    bool measured = false;
    for (int j = 0; j <= 2; ++j) measured |= !c.frm.txt_data_out(j).text().empty();
    Steps shown;
    for (const auto& s : read_chain_steps(c.g.transfer)) {
        const bool part = s.request_kind == model::kReadRegisterBlock
                              ? (s.first >= model::kMeasuredFirst ? measured : config)
                          : s.request_kind == model::kReadConfigCoils ? config
                                                                      : external;
        if (part) shown.push_back(s);
    }
    return shown;
}

void note_sensor_line(Context& c) {
    std::string line = sensor_line(c);
    if (line == c.g.image.line) return;
    const Steps shown = sensor_line_drops(c);
    c.g.image.line = std::move(line);
    c.g.image.line_address = c.frm.txt_Modbus_adress.text();
    // Until register 7 is read, the reply time-out allows for the slowest.
    c.g.transfer.min_response_ms = -1;
    if (!shown.empty()) show_not_read(c, shown);
}

}  // namespace vor3::ui
