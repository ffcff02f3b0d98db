#include "ops/write_parameters.h"

#include <algorithm>

#include "link/hex.h"
#include "link/transfer_reset.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "model/numbers.h"
#include "ops/builders.h"
#include "ui/change_marking.h"
#include "ui/status_window.h"

namespace vor3::ops {

std::string register_hex(const std::string& text, int scale, const std::string& decimal_sep) {
    const auto v = model::locale_number(text, decimal_sep);
    if (!v) return {};
    const long long rounded = model::round_half_even(*v * scale);
    return link::LongToHexStr(static_cast<std::int32_t>(static_cast<std::uint16_t>(rounded & 0xFFFF)), 2);
}

namespace {

// A register as the write sends it. A field the user did not change goes
// back exactly as the sensor holds it, bit for bit, also where that lies
// outside the field's range; only a value entered (or loaded from a file)
// is converted from the field's text.
std::string register_to_write(const Context& c, model::FieldArray array, int index) {
    const bool config = array == model::FieldArray::txt_data_cfg;
    const auto& box = config ? c.frm.txt_data_cfg(index) : c.frm.txt_data_in(index);
    const auto& image = c.g.image;
    const auto raw = config ? image.cfg_raw[static_cast<std::size_t>(index)] : image.in_raw[static_cast<std::size_t>(index)];
    if (raw && !ui::is_marked(box)) return link::LongToHexStr(*raw, 2);
    const std::string& sep = c.g.lang.decimal_sep;
    const int scale = model::scale_of(model::field(array, index).encoding);
    std::string value = register_hex(box.text(), scale, sep);
    // A field that holds no number cannot be written: the block would be
    // short and the sensor would refuse it. Keep the register's last known
    // value instead.
    if (value.empty()) {
        if (raw) return link::LongToHexStr(*raw, 2);
        const double known = config ? image.cfg_value[static_cast<std::size_t>(index)]
                                    : image.in_value[static_cast<std::size_t>(index)];
        value = register_hex(model::format_number(known, sep), scale, sep);
    }
    return value;
}

void arm_config_write(Context& c) {
    auto& t = c.g.transfer;
    t.bus_ready = true;
    t.request_kind = model::kWriteConfigBlock;
    t.reg_address = 2;
    c.frm.alreadyWrite = 2;
    c.frm.Timer1.start();
    ui::ShowMsgWindow(c);
}

// A value typed but not yet left is corrected as leaving the field would
// (the minimum response time to at least 5, each field to its range), so
// the sensor gets exactly what the fields then show. Only values the user
// changed: what the sensor holds is never corrected behind the user's back.
void apply_entry_rules(Context& c) {
    auto& f = c.frm;
    for (int i = 2; i <= 10; ++i)
        if (ui::is_marked(f.txt_data_cfg(i))) f.txt_data_cfg(i).lose_focus();
    for (int i = 0; i <= 2; ++i)
        if (ui::is_marked(f.txt_data_in(i))) f.txt_data_in(i).lose_focus();
}

}  // namespace

void start_external_write(Context& c) {
    auto& t = c.g.transfer;
    t.bus_ready = true;
    t.request_kind = model::kWriteExternalBlock;
    t.reg_address = static_cast<std::int16_t>(model::kExternalFirst);
    link::clear_write_progress(c);
    c.frm.Timer1.start();
}

void set_parameter_Click(Context& c) {
    auto& f = c.frm;
    apply_entry_rules(c);
    bool config_marked = false;
    for (int i = 0; i <= 10; ++i) config_marked |= ui::is_marked(f.txt_data_cfg(i));
    for (int i = 0; i <= 7; ++i) config_marked |= ui::is_marked(f.chk_cfg(i));
    f.external_changed = false;
    for (int i = 0; i <= 2; ++i) f.external_changed |= ui::is_marked(f.txt_data_in(i));
    for (int i = 0; i <= 4; ++i) f.external_changed |= ui::is_marked(f.chk_inp_bit(i));
    c.g.write_anyway = false;
    if (!config_marked && !f.external_changed) {
        using model::Caption;
        const std::string& l = c.g.lang.language;
        c.g.write_anyway = c.confirm.confirm(model::caption(Caption::confirm_identical_title, l),
                                             model::caption(Caption::confirm_identical_text, l),
                                             model::caption(Caption::confirm_ok, l),
                                             model::caption(Caption::confirm_cancel, l));
        if (!c.g.write_anyway) return;
        // Transferring anyway means all of it.
        config_marked = f.external_changed = true;
    }
    const auto& image = c.g.image;
    if (image.address_lent || (config_marked && !image.config_known) || (f.external_changed && !image.external_known)) {
        c.msg.show(model::caption(model::Caption::msg_not_read, c.g.lang.language));
        return;
    }
    // Both parts in turn: the configuration registers and coils, then the
    // external values and LED coils, then one read-back.
    if (config_marked) {
        arm_config_write(c);
    } else {
        start_external_write(c);
        ui::ShowMsgWindow(c);
    }
}

void Timer1_Timer(Context& c) {
    auto& f = c.frm;
    auto& t = c.g.transfer;
    const auto addr = address_part(c);
    if (!addr || !t.bus_ready) return;
    if (t.request_kind != model::kWriteConfigBlock && t.request_kind != model::kWriteExternalBlock) {
        f.Timer1.stop();
        t.reg_address = 0;
        link::clear_write_progress(c);
        return;
    }
    const bool config = t.request_kind == model::kWriteConfigBlock;
    if (!config && t.reg_address == 0) t.reg_address = static_cast<std::int16_t>(model::kExternalFirst);
    if (config && t.reg_address <= 10)
        f.countWriteRegister = static_cast<std::int16_t>(11 - f.alreadyWrite);
    else if (!config)
        f.countWriteRegister = static_cast<std::int16_t>(3 - f.alreadyWrite);
    f.countWriteRegister = std::min<std::int16_t>(f.countWriteRegister, model::kMaxWriteBlock);
    // A block that would be empty or negative cannot be sent as a valid
    // request; the write is over.
    if (f.countWriteRegister <= 0) {
        f.Timer1.stop();
        return;
    }
    f.alreadyWrite = static_cast<std::int16_t>(f.alreadyWrite + f.countWriteRegister);
    std::string request = *addr + "10" + link::LongToHexStr(static_cast<std::uint16_t>(t.reg_address), 2) +
                          link::LongToHexStr(f.countWriteRegister, 2) + link::LongToHexStr(2 * f.countWriteRegister, 1);
    const std::string& sep = c.g.lang.decimal_sep;
    const bool in_range = config ? t.reg_address <= 10 : t.reg_address <= 0x202;
    if (in_range) {
        for (int i = 0; i < f.countWriteRegister; ++i) {
            const int reg = t.reg_address + i;
            const auto array = config ? model::FieldArray::txt_data_cfg : model::FieldArray::txt_data_in;
            const int index = config ? reg : reg - model::kExternalFirst;
            if (index < 0 || index > (config ? 10 : 2)) continue;
            request += register_to_write(c, array, index);
        }
    }
    // While a new minimum response time is on its way, the sensor may
    // already answer at the new pace.
    if (config && t.reg_address <= 7 && t.reg_address + f.countWriteRegister > 7) {
        const auto v = model::locale_number(f.txt_data_cfg(7).text(), sep);
        // (Unknown, the slowest sensor is allowed for anyway.)
        if (v && t.min_response_ms >= 0 && *v > t.min_response_ms)
            t.min_response_ms = static_cast<std::int32_t>(std::min(*v, 65535.0));
    }
    t.request_frame = request;
    link::send(c);
    t.bus_ready = false;
}

}  // namespace vor3::ops
