#include "ops/write_parameters.h"

#include <algorithm>

#include "form/change_marks.h"
#include "link/hex.h"
#include "link/pace.h"
#include "link/transfer_reset.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "model/numbers.h"
#include "model/transfer_order.h"
#include "ops/requests.h"

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
// A field that holds no number cannot be written: the block would be short
// and the sensor would refuse it. The register's last known value goes
// instead.
std::string last_known_register(const Context& c, model::FieldArray array, int index) {
    const bool config = array == model::FieldArray::txt_data_cfg;
    const auto& image = c.g.image;
    const auto i = static_cast<std::size_t>(index);
    if (const auto raw = config ? image.cfg_raw[i] : image.in_raw[i]) return link::LongToHexStr(*raw, 2);
    const std::string& sep = c.g.lang.decimal_sep;
    const double known = config ? image.cfg_value[i] : image.in_value[i];
    return register_hex(model::format_number(known, sep), model::scale_of(model::field(array, index).encoding), sep);
}

std::string register_to_write(const Context& c, model::FieldArray array, int index) {
    const bool config = array == model::FieldArray::txt_data_cfg;
    const auto& box = config ? c.frm.txt_data_cfg(index) : c.frm.txt_data_in(index);
    const auto& image = c.g.image;
    const auto raw =
        config ? image.cfg_raw[static_cast<std::size_t>(index)] : image.in_raw[static_cast<std::size_t>(index)];
    if (raw && !form::is_marked(c.frm, array, index)) return link::LongToHexStr(*raw, 2);
    const std::string value =
        register_hex(box.text(), model::scale_of(model::field(array, index).encoding), c.g.lang.decimal_sep);
    return value.empty() ? last_known_register(c, array, index) : value;
}

// Registers the next block of a write carries: what is left of its part
// (configuration registers 2 to 10, or the three external values), at most
// a whole write block.
std::int16_t write_block_size(const Context& c, const model::TransferPart* part) {
    const auto& f = c.frm;
    std::int16_t count = f.countWriteRegister;
    if (part) count = static_cast<std::int16_t>(part->end - c.g.transfer.reg_address);
    return static_cast<std::int16_t>(std::min<int>(count, c.g.transfer.write_block));
}

// Function 16 from reg_address over the block's registers, each as the
// write sends it; registers beyond the part's fields are left out.
std::string write_request(const Context& c, const std::string& address, const model::TransferPart* part) {
    const auto& t = c.g.transfer;
    const std::int16_t count = c.frm.countWriteRegister;
    std::string request = address + "10" + link::LongToHexStr(static_cast<std::uint16_t>(t.reg_address), 2) +
                          link::LongToHexStr(count, 2) + link::LongToHexStr(2 * count, 1);
    if (!part) return request;
    const bool config = part->block == model::Block::ConfigRegisters;
    const auto array = config ? model::FieldArray::txt_data_cfg : model::FieldArray::txt_data_in;
    // The field index is the register's place in its block of the map.
    const int first_field = config ? model::kConfigFirst : model::kExternalFirst;
    for (int reg = t.reg_address; reg < t.reg_address + count && reg < part->end; ++reg)
        request += register_to_write(c, array, reg - first_field);
    return request;
}

// While a new minimum response time is on its way, the sensor may already
// answer at the new pace: a slower one is allowed for from this block on.
void expect_new_pace(Context& c, bool config) {
    auto& t = c.g.transfer;
    if (!config || t.reg_address > 7 || t.reg_address + c.frm.countWriteRegister <= 7) return;
    const auto v = model::locale_number(c.frm.txt_data_cfg(7).text(), c.g.lang.decimal_sep);
    // (Unknown, the slowest sensor is allowed for anyway.)
    if (v && t.min_response_ms >= 0 && *v > t.min_response_ms)
        t.min_response_ms = static_cast<std::int32_t>(std::min<double>(*v, model::pace_bound(7)));
}

void arm_config_write(Context& c) {
    auto& t = c.g.transfer;
    t.bus_ready = true;
    t.request_kind = model::kWriteConfigBlock;
    t.reg_address = static_cast<std::int16_t>(model::kConfigWriteFirst);
    c.frm.alreadyWrite = static_cast<std::int16_t>(model::kConfigWriteFirst);
    c.frm.Timer1.start();
    link::block_due(c);
    c.events->show_status_window();
}

// A value typed but not yet left is corrected as leaving the field would
// (the minimum response time to at least 5, each field to its range), so
// the sensor gets exactly what the fields then show. Only values the user
// changed: what the sensor holds is never corrected behind the user's back.
void apply_entry_rules(Context& c) {
    auto& f = c.frm;
    for (int i = model::kConfigWriteFirst; i < model::kConfigEnd; ++i)
        if (form::is_marked(f, model::FieldArray::txt_data_cfg, i)) f.txt_data_cfg(i).lose_focus();
    for (int i = 0; i <= 2; ++i)
        if (form::is_marked(f, model::FieldArray::txt_data_in, i)) f.txt_data_in(i).lose_focus();
}

// The registers of one part as sent against those read back.
void compare_registers(Context& c, model::FieldArray array) {
    const bool config = array == model::FieldArray::txt_data_cfg;
    const auto& image = c.g.image;
    const std::size_t n = config ? c.g.sent.cfg_raw.size() : c.g.sent.in_raw.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto sent = config ? c.g.sent.cfg_raw[i] : c.g.sent.in_raw[i];
        const auto read = config ? image.cfg_raw[i] : image.in_raw[i];
        if (!sent || sent == read) continue;
        const int index = static_cast<int>(i);
        const auto enc = model::field(array, index).encoding;
        const std::string& sep = c.g.lang.decimal_sep;
        c.g.sent.differences.push_back({array, index, model::register_text(*sent, enc, sep),
                                        read ? model::register_text(*read, enc, sep) : std::string()});
    }
}

// The coil byte sent against the coils read back.
template <std::size_t N>
void compare_coils(Context& c, model::FieldArray array, std::optional<std::uint8_t> sent,
                   const std::array<std::int16_t, N>& read, int count) {
    if (!sent) return;
    for (int i = 0; i < count; ++i) {
        const int bit = (*sent >> i) & 1;
        const int now = read[static_cast<std::size_t>(i)];
        if (bit != now) c.g.sent.differences.push_back({array, i, std::to_string(bit), std::to_string(now)});
    }
}

}  // namespace

void check_read_back(Context& c) {
    auto& sent = c.g.sent;
    sent.reading_back = false;
    sent.checked = true;
    sent.differences.clear();
    using model::FieldArray;
    compare_registers(c, FieldArray::txt_data_cfg);
    compare_coils(c, FieldArray::chk_cfg, sent.cfg_coils, c.g.image.cfg_bit, model::kConfigCoilCount);
    compare_registers(c, FieldArray::txt_data_in);
    compare_coils(c, FieldArray::chk_inp_bit, sent.led_coils, c.g.image.inp_bit, model::kLedCoilCount);
    c.events->write_checked();
    if (sent.differences.empty()) return;
    const std::string& l = c.g.lang.language;
    std::string list;
    for (const auto& d : sent.differences) {
        const auto& f = model::field(d.array, d.index);
        list += std::string("\n") + (l == model::kEnglish ? f.caption_en : f.caption_de) + " " +
                model::caption(model::Caption::read_back_value, l, {d.sent, d.read});
    }
    c.msg.show(model::caption(model::Caption::msg_read_back_differs, l) + list);
}

void start_external_write(Context& c) {
    auto& t = c.g.transfer;
    t.bus_ready = true;
    t.request_kind = model::kWriteExternalBlock;
    t.reg_address = static_cast<std::int16_t>(model::kExternalFirst);
    link::clear_write_progress(c);
    c.frm.Timer1.start();
    link::block_due(c);
}

void set_parameter_Click(Context& c) {
    auto& f = c.frm;
    // What an earlier write sent says nothing about this one.
    c.g.sent = {};
    c.g.status_note = nullptr;
    apply_entry_rules(c);
    using form::MarkGroup;
    bool config_marked =
        form::group_marked(f, MarkGroup::ConfigRegisters) || form::group_marked(f, MarkGroup::ConfigCoils);
    f.external_changed = form::group_marked(f, MarkGroup::ExternalValues) || form::group_marked(f, MarkGroup::LedCoils);
    c.g.write_anyway = false;
    if (!config_marked && !f.external_changed) {
        using model::Caption;
        const std::string& l = c.g.lang.language;
        c.g.write_anyway = c.confirm.confirm(
            model::caption(Caption::confirm_identical_title, l), model::caption(Caption::confirm_identical_text, l),
            model::caption(Caption::confirm_ok, l), model::caption(Caption::confirm_cancel, l));
        if (!c.g.write_anyway) return;
        // Transferring anyway means all of it.
        config_marked = f.external_changed = true;
    }
    const auto& image = c.g.image;
    if (image.lent_address != 0 || (config_marked && !image.config_known) ||
        (f.external_changed && !image.external_known)) {
        c.msg.show(model::caption(model::Caption::msg_not_read, c.g.lang.language));
        return;
    }
    // Both parts in turn: the configuration registers and coils, then the
    // external values and LED coils, then one read-back.
    link::transfer_begun(c);
    if (config_marked) {
        arm_config_write(c);
    } else {
        start_external_write(c);
        c.events->show_status_window();
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
    const model::TransferPart* part = model::part_of(t.request_kind, t.reg_address);
    f.countWriteRegister = write_block_size(c, part);
    // A block that would be empty or negative cannot be sent as a valid
    // request; the write is over.
    if (f.countWriteRegister <= 0) {
        f.Timer1.stop();
        return;
    }
    f.alreadyWrite = static_cast<std::int16_t>(f.alreadyWrite + f.countWriteRegister);
    t.request_frame = write_request(c, *addr, part);
    expect_new_pace(c, config);
    link::send(c);
    t.bus_ready = false;
}

}  // namespace vor3::ops
