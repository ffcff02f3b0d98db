// Field entry under random keys, pastes and focus changes into every field
// the user can edit; then the write. Each field must end holding a value
// its register takes, and the write must send exactly what the fields show.

#include <cmath>

#include "fuzz_check.h"
#include "model/numbers.h"
#include "ops/write_parameters.h"
#include "support/harness.h"

namespace {

using namespace vor3;

struct Editable {
    model::FieldArray array;
    int index;
};

const Editable kFields[] = {
    {model::FieldArray::txt_data_cfg, 3}, {model::FieldArray::txt_data_cfg, 4},  {model::FieldArray::txt_data_cfg, 5},
    {model::FieldArray::txt_data_cfg, 6}, {model::FieldArray::txt_data_cfg, 7},  {model::FieldArray::txt_data_cfg, 8},
    {model::FieldArray::txt_data_cfg, 9}, {model::FieldArray::txt_data_cfg, 10}, {model::FieldArray::txt_data_in, 0},
    {model::FieldArray::txt_data_in, 1},  {model::FieldArray::txt_data_in, 2},
};

const int kKeys[] = {'0', '1', '2', '5', '9', ',', '.', '-', '+', ' ', 'e', 8, 127};

form::TextBox& box(test::SimHarness& h, const Editable& e) {
    return e.array == model::FieldArray::txt_data_cfg ? h.f.txt_data_cfg(e.index) : h.f.txt_data_in(e.index);
}

std::string name_of(const Editable& e) {
    return std::string(model::array_name(e.array)) + "(" + std::to_string(e.index) + ")";
}

// The 16 bits a field's text stands for, or nothing when the register
// cannot hold it exactly. A register takes any 16-bit pattern: the location
// id may be entered up to 65535 and reads back as a signed number.
std::optional<std::uint16_t> register_value(const std::string& text, const Editable& e, const std::string& sep) {
    const auto v = model::locale_number(text, sep);
    if (!v) return std::nullopt;
    const double scaled = *v * (model::field(e.array, e.index).encoding == model::Encoding::Signed16Div10 ? 10 : 1);
    const double whole = std::round(scaled);
    if (std::fabs(scaled - whole) > 1e-6 || whole < -32768 || whole > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(static_cast<std::int32_t>(whole) & 0xFFFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    test::SimHarness h;
    FUZZ_CHECK(h.read_device(), "the read before editing did not finish");
    const std::string& sep = h.c.g.lang.decimal_sep;

    const Editable* focused = nullptr;
    for (int op = 0; op < 48 && in.remaining_bytes() > 0; ++op) {
        const Editable& e = kFields[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kFields) - 1)];
        if (focused != &e) {
            if (focused) box(h, *focused).lose_focus();
            focused = &e;
        }
        form::TextBox& field = box(h, e);
        const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, field.text().size());
        const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, field.text().size() - at);
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            field.type_key(kKeys[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kKeys) - 1)], at, length);
            break;
        case 1: field.type_key(in.ConsumeIntegral<std::uint8_t>(), at, length); break;
        case 2: field.paste(in.ConsumeRandomLengthString(10), at, length); break;
        case 3: field.lose_focus(); break;
        }
    }
    if (focused) box(h, *focused).lose_focus();

    for (const Editable& e : kFields) {
        const std::string& text = box(h, e).text();
        FUZZ_CHECK(register_value(text, e, sep), name_of(e) + " holds '" + text + "', which its register cannot take");
    }

    ops::set_parameter_Click(h.c);
    std::vector<std::string> shown;
    for (const Editable& e : kFields) shown.push_back(box(h, e).text());
    h.clock.run_until([&] { return h.c.g.transfer.request_kind == 0 && !h.prog.frmState.loaded(); }, 120000);
    if (test::warning_shown(h)) return 0;
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
        const Editable& e = kFields[i];
        const auto value = register_value(shown[i], e, sep);
        const auto address = model::field(e.array, e.index).address;
        FUZZ_CHECK(value && h.sensor.holding(address) == *value, name_of(e) + " showed '" + shown[i] +
                                                                     "' but the sensor holds " +
                                                                     std::to_string(h.sensor.holding(address)));
    }
    return 0;
}
