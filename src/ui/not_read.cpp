#include "ui/not_read.h"

#include <array>
#include <optional>

#include "model/register_map.h"
#include "ui/change_marking.h"

namespace vor3::ui {

namespace {

// Number fields first..first+count-1 and the sensor's values behind them.
template <class Fields, std::size_t N>
void empty_fields(Fields& fields, std::array<std::optional<std::uint16_t>, N>& raw, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        auto& field = fields(i);
        field.set_text("");
        field.set_fore_color(form::kNormalText);
        field.set_tool_tip("");
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
                for (int j = 0; j < count; ++j) f.txt_data_out(j).set_text("");
                break;
            }
            empty_fields(f.txt_data_cfg, image.cfg_raw, s.first, count);
            image.config_known = false;
            break;
        case model::kReadConfigCoils:
            grey_boxes(f.chk_cfg, image.cfg_bit, count);
            image.config_known = false;
            break;
        case model::kReadExternalValues:
            empty_fields(f.txt_data_in, image.in_raw, 0, count);
            image.external_known = false;
            break;
        case model::kReadLedCoils:
            grey_boxes(f.chk_inp_bit, image.inp_bit, count);
            image.external_known = false;
            break;
        default: break;
        }
    }
    UpdateApplyButton(c, 0);
}

}  // namespace vor3::ui
