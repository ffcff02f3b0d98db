#include "reply/decoder.h"

#include <algorithm>
#include <stdexcept>

#include "form/change_marks.h"
#include "link/hex.h"
#include "link/transfer_reset.h"
#include "link/transmit.h"
#include "model/numbers.h"
#include "model/transfer_order.h"
#include "ops/requests.h"
#include "ops/write_parameters.h"

namespace vor3::reply {

namespace {

using model::Encoding;
using model::TransferPart;

constexpr int kDisplayIntervalRegister = 6;
constexpr int kMinResponseRegister = 7;

std::uint16_t hex_value(const std::string& text, std::size_t pos, std::size_t digits) {
    if (pos + digits > text.size()) throw std::runtime_error("reply too short");
    const auto v = link::hex_number(std::string_view(text).substr(pos, digits));
    if (!v) throw std::runtime_error("reply is not hex text");
    return static_cast<std::uint16_t>(*v);
}

std::uint16_t reply_register(const std::string& rx, int j) {
    return hex_value(rx, 6 + 4 * static_cast<std::size_t>(j), 4);
}
std::uint8_t reply_byte(const std::string& rx, int k) {
    return static_cast<std::uint8_t>(hex_value(rx, 6 + 2 * static_cast<std::size_t>(k), 2));
}

int reply_byte_count(const std::string& rx) { return hex_value(rx, 4, 2); }

double field_number(const Context& c, const form::TextBox& field) {
    const auto v = model::locale_number(field.text(), c.g.lang.decimal_sep);
    if (!v) throw std::runtime_error("field does not hold a number");
    return *v;
}

// The pace taken from register `reg` holding `held`: at most its bound,
// which is told where it applies.
std::int32_t bounded_pace(Context& c, int reg, double held) {
    const std::int32_t bound = model::pace_bound(reg);
    const auto value = static_cast<std::int32_t>(std::clamp(held, -32768.0, 65535.0));
    (reg == kMinResponseRegister ? c.g.transfer.response_held : c.g.transfer.display_held) = value > bound ? value : -1;
    if (value <= bound) return value;
    if (c.pace_bounded) c.pace_bounded(reg, value);
    return bound;
}

void set_block_timer_periods(Context& c) {
    const auto period = model::block_timer_period(c.g.link.baud_rate, c.g.transfer.reply_delay);
    c.frm.Timer1.set_interval(period);
    c.frm.Timer6.set_interval(period);
}

// Sends the first request of `part`; a paced part's blocks go out at its
// block timer's ticks instead.
void begin(Context& c, const TransferPart& part) {
    switch (part.request_kind) {
    case model::kReadConfigCoils: ops::ReadConfigCoils(c); break;
    case model::kReadExternalValues: ops::ReadExternalValues(c); break;
    case model::kReadLedCoils: ops::ReadLedCoils(c); break;
    case model::kWriteConfigCoils: ops::WriteConfigCoils(c); break;
    case model::kWriteExternalBlock: ops::start_external_write(c); break;
    case model::kWriteLedCoils: ops::WriteLedCoils(c); break;
    default: break;
    }
}

// The part this transfer goes on with after `part`: the next in its
// order, but a write's external part only where it is to be written.
const TransferPart* next_part(const Context& c, const TransferPart& part) {
    const TransferPart* next = model::part_after(part);
    if (next && model::is_write(*next) && next->block == model::Block::ExternalValues && !c.frm.external_changed)
        return nullptr;
    return next;
}

// The next part begins, or after the last the status window closes.
void go_on_after(Context& c, const TransferPart& part) {
    if (const TransferPart* next = next_part(c, part))
        begin(c, *next);
    else
        c.events->steps_done();
}

// The range of the block on its way ends here.
bool part_done(const Context& c, const TransferPart& part) { return c.g.transfer.reg_address >= part.end; }

void config_block(Context& c, const std::string& rx, const TransferPart& part) {
    auto& f = c.frm;
    auto& t = c.g.transfer;
    const std::string& sep = c.g.lang.decimal_sep;
    for (int j = 0; j < f.countReadRegister; ++j) {
        const int i = t.reg_address + j;
        if (i < part.first || i >= part.end) continue;
        const Encoding enc = model::field(model::FieldArray::txt_data_cfg, i).encoding;
        auto& field = f.txt_data_cfg(i);
        const std::uint16_t raw = reply_register(rx, j);
        field.set_text(model::register_text(raw, enc, sep));
        c.g.image.cfg_value[static_cast<std::size_t>(i)] = field_number(c, field);
        c.g.image.cfg_raw[static_cast<std::size_t>(i)] = raw;
        c.events->field_taken(model::FieldArray::txt_data_cfg, i);
        if (i == kMinResponseRegister)
            t.min_response_ms = std::max(0, bounded_pace(c, kMinResponseRegister, c.g.image.cfg_value[7]));
    }
    t.reg_address = static_cast<std::int16_t>(t.reg_address + f.countReadRegister);
    if (!part_done(c, part)) return;
    t.reg_address = static_cast<std::int16_t>(next_part(c, part)->first);
    link::restart_block_read(c);
}

// The measured value j as the window shows it, or would show it for the
// sensor the address is lent to.
const std::string& measured_shown(const Context& c, int j) {
    if (c.g.image.lent_address != 0) return c.g.image.lent_values[static_cast<std::size_t>(j)];
    return c.frm.txt_data_out(j).text();
}

// The measured values as the window shows them now, stamped once.
model::MeasuredReading shown_reading(const Context& c) {
    const form::WallTime now = c.wall_clock->now();
    model::MeasuredReading reading{now.epoch_ms, now.iso, {}};
    for (int j = 0; j < model::kMeasuredEnd - model::kMeasuredFirst; ++j)
        reading.values[static_cast<std::size_t>(j)] = model::locale_number(measured_shown(c, j), c.g.lang.decimal_sep);
    return reading;
}

void measured_block(Context& c, const std::string& rx, const TransferPart& part) {
    auto& f = c.frm;
    auto& t = c.g.transfer;
    // The values go by what the reply carries: a reply still in flight when
    // the read-out was cleared (its counters reset) is shown all the same.
    const int carried = reply_byte_count(rx) / 2;
    for (int j = 0; j < carried; ++j) {
        const int i = t.reg_address + j - part.first;
        if (i < 0 || i >= part.end - part.first) continue;
        const Encoding enc = model::field(model::FieldArray::txt_data_out, i).encoding;
        std::string text = model::measured_text(reply_register(rx, j), enc, c.g.lang.decimal_sep);
        // Another sensor's values never show under the main window's address.
        if (c.g.image.lent_address != 0) {
            c.g.image.lent_values[static_cast<std::size_t>(i)] = std::move(text);
        } else {
            f.txt_data_out(i).set_text(text);
            c.g.image.out_raw[static_cast<std::size_t>(i)] = reply_register(rx, j);
        }
    }
    ++t.block_count;
    t.reg_address = static_cast<std::int16_t>(t.reg_address + f.countReadRegister);
    if (!part_done(c, part)) return;
    if (!c.measured_values_read.empty()) {
        const model::MeasuredReading reading = shown_reading(c);
        for (const auto& tell : c.measured_values_read) tell(reading);
    }
    if (f.chk_read_out.value() == 1) {
        t.reg_address = static_cast<std::int16_t>(part.first);
    } else {
        t.reg_address = 0;
        go_on_after(c, part);
        f.Timer6.stop();
    }
    f.Timer1.stop();
    link::restart_block_read(c);
}

void register_block(Context& c, const std::string& rx, const TransferPart& part) {
    if (rx.substr(2, 2) != "03") return;
    if (part.block == model::Block::ConfigRegisters)
        config_block(c, rx, part);
    else
        measured_block(c, rx, part);
}

void register6(Context& c, const std::string& rx, const TransferPart& part) {
    auto& t = c.g.transfer;
    const TransferPart& next = *next_part(c, part);
    t.request_kind = next.request_kind;
    t.reply_delay = static_cast<std::int16_t>(
        bounded_pace(c, kDisplayIntervalRegister, static_cast<std::int16_t>(reply_register(rx, 0))));
    t.bus_ready = true;
    t.reg_address = static_cast<std::int16_t>(next.first);
    set_block_timer_periods(c);
    c.frm.Timer6.start();
    c.events->show_status_window();
}

// Register j of a write request as it went out.
std::uint16_t written_register(const std::string& request, int j) {
    return hex_value(request, 14 + 4 * static_cast<std::size_t>(j), 4);
}

// The coil byte of a write-coils request (function 0F, one byte) as it went out.
std::uint8_t written_coils(const Context& c) {
    return static_cast<std::uint8_t>(hex_value(c.g.line.now.request, 14, 2));
}

// The sensor confirmed a block: its fields now hold the sensor's values.
// Marks go only here, so whatever a failed write leaves unconfirmed stays
// marked for the next try.
void confirm_config_block(Context& c, const TransferPart& part) {
    auto& f = c.frm;
    auto& t = c.g.transfer;
    const std::string& request = c.g.line.now.request;
    for (int i = t.reg_address; i < t.reg_address + f.countWriteRegister; ++i) {
        if (i < part.first || i >= part.end) continue;
        c.g.sent.cfg_raw[static_cast<std::size_t>(i)] = written_register(request, i - t.reg_address);
        auto& field = f.txt_data_cfg(i);
        const auto v = model::locale_number(field.text(), c.g.lang.decimal_sep);
        if (!v) continue;
        c.g.image.cfg_value[static_cast<std::size_t>(i)] = *v;
        c.g.image.cfg_raw[static_cast<std::size_t>(i)] = written_register(request, i - t.reg_address);
        c.events->field_taken(model::FieldArray::txt_data_cfg, i);
        if (i == kMinResponseRegister) t.min_response_ms = std::max(0, bounded_pace(c, kMinResponseRegister, *v));
    }
}

void config_written(Context& c, const TransferPart& part) {
    auto& f = c.frm;
    auto& t = c.g.transfer;
    t.bus_ready = true;
    confirm_config_block(c, part);
    t.reg_address = static_cast<std::int16_t>(t.reg_address + f.countWriteRegister);
    if (!part_done(c, part)) return;
    link::clear_write_progress(c);
    if (f.reply_delay_changed) {
        const auto v = model::locale_number(f.txt_data_cfg(7).text(), c.g.lang.decimal_sep);
        const long long delay = v ? model::round_half_even(*v) : -1;
        if (!v || delay < -32768 || delay > 32767)
            throw std::runtime_error("minimum response time is no 16-bit number");
        t.reply_delay = static_cast<std::int16_t>(std::min<long long>(delay, model::pace_bound(kMinResponseRegister)));
        t.display_held = -1;
        // The blocks that follow (the read-back) go at the pace the line and
        // the sensor need; 15 ms a unit fits register 6, not milliseconds.
        const auto period = link::paced_block_period_ms(c, t.reply_delay);
        f.Timer1.set_interval(period);
        f.Timer6.set_interval(period);
        f.reply_delay_changed = false;
    }
    f.Timer1.stop();
    f.alreadyWriteCoils = 0;
    f.alreadyWriteBytes = 0;
    go_on_after(c, part);
}

void external_written(Context& c, const TransferPart& part) {
    auto& f = c.frm;
    auto& t = c.g.transfer;
    t.bus_ready = true;
    const std::string& request = c.g.line.now.request;  // the block confirmed
    for (int j = 0; j < f.countWriteRegister; ++j) {
        const int i = t.reg_address + j - part.first;
        if (i < 0 || i >= part.end - part.first) continue;
        c.g.image.in_value[static_cast<std::size_t>(i)] = field_number(c, f.txt_data_in(i));
        c.g.image.in_raw[static_cast<std::size_t>(i)] = written_register(request, j);
        c.g.sent.in_raw[static_cast<std::size_t>(i)] = written_register(request, j);
        c.events->field_taken(model::FieldArray::txt_data_in, i);
    }
    t.reg_address = static_cast<std::int16_t>(t.reg_address + f.countWriteRegister);
    if (!part_done(c, part)) return;
    f.Timer1.stop();
    go_on_after(c, part);
    link::restart_block_read(c);
}

void config_coils(Context& c, const std::string& rx, const TransferPart& part) {
    const int v = reply_byte(rx, 0);
    c.g.image.cfg_coils_raw = static_cast<std::uint8_t>(v);
    for (int n = model::kConfigCoilCount - 1; n >= 0; --n) {
        const int bit = (v >> n) & 1;
        // The stored copy first, so the box's click finds them equal.
        c.g.image.cfg_bit[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(bit);
        c.frm.chk_cfg(n).set_value(bit);
    }
    c.g.image.config_known = true;
    go_on_after(c, part);
    c.g.transfer.bus_ready = true;
}

void external_values(Context& c, const std::string& rx, const TransferPart& part) {
    auto& f = c.frm;
    for (int i = 0; i < model::kExternalEnd - model::kExternalFirst; ++i) {
        const Encoding enc = model::field(model::FieldArray::txt_data_in, i).encoding;
        auto& field = f.txt_data_in(i);
        const std::uint16_t raw = reply_register(rx, i);
        field.set_text(model::register_text(raw, enc, c.g.lang.decimal_sep));
        c.g.image.in_value[static_cast<std::size_t>(i)] = field_number(c, field);
        c.g.image.in_raw[static_cast<std::size_t>(i)] = raw;
        c.events->field_taken(model::FieldArray::txt_data_in, i);
    }
    f.lbl_unit(0).set_caption(f.chk_cfg(3).value() == 1 ? "°C" : "°F");
    c.g.reader.rx_text.clear();
    go_on_after(c, part);
    c.g.transfer.bus_ready = true;
}

void led_coils(Context& c, const std::string& rx, const TransferPart& part) {
    auto& f = c.frm;
    const int v = reply_byte(rx, 0);
    c.g.image.led_coils_raw = static_cast<std::uint8_t>(v);
    for (int n = model::kLedCoilCount - 1; n >= 0; --n) {
        auto& ref = c.g.image.inp_bit[static_cast<std::size_t>(n)];
        ref = static_cast<std::int16_t>((v >> n) & 1);
        f.chk_inp_bit(n).set_value(ref);
        form::clear_mark(f.chk_inp_bit(n));
        ref = static_cast<std::int16_t>(f.chk_inp_bit(n).value());
    }
    c.g.image.external_known = true;
    go_on_after(c, part);
    c.g.transfer.bus_ready = true;
}

void config_coils_written(Context& c, const TransferPart& part) {
    auto& f = c.frm;
    c.g.sent.cfg_coils = written_coils(c);
    c.g.image.cfg_coils_raw = c.g.sent.cfg_coils;
    for (int i = 0; i < model::kConfigCoilCount; ++i) {
        form::clear_mark(f.chk_cfg(i));
        c.g.image.cfg_bit[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(f.chk_cfg(i).value());
    }
    form::clear_mark(f.cmb_bit_cfg(3));
    f.lbl_unit(0).set_caption(f.chk_cfg(3).value() == 1 ? "°C" : "°F");
    c.g.transfer.bus_ready = true;
    // The configuration part is written: the external part follows when it
    // is to be written too, else the status window closes now and the
    // read-back starts.
    go_on_after(c, part);
}

void led_coils_written(Context& c, const TransferPart& part) {
    c.g.sent.led_coils = written_coils(c);
    c.g.image.led_coils_raw = c.g.sent.led_coils;
    for (int i = 0; i < model::kLedCoilCount; ++i) {
        form::clear_mark(c.frm.chk_inp_bit(i));
        c.g.image.inp_bit[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(c.frm.chk_inp_bit(i).value());
    }
    go_on_after(c, part);
    c.g.transfer.bus_ready = true;
}

}  // namespace

void decode(Context& c, const std::string& rx) {
    const auto& t = c.g.transfer;
    const TransferPart* part = model::part_of(t.request_kind, t.reg_address);
    switch (part ? part->request_kind : model::kIdle) {
    case model::kReadRegisterBlock: register_block(c, rx, *part); break;
    case model::kWriteConfigBlock: config_written(c, *part); break;
    case model::kReadConfigCoils: config_coils(c, rx, *part); break;
    case model::kWriteConfigCoils: config_coils_written(c, *part); break;
    case model::kWriteExternalBlock: external_written(c, *part); break;
    case model::kReadRegister6: register6(c, rx, *part); break;
    case model::kReadExternalValues: external_values(c, rx, *part); break;
    case model::kWriteLedCoils: led_coils_written(c, *part); break;
    case model::kReadLedCoils: led_coils(c, rx, *part); break;
    default:
        c.frm.Timer1.stop();
        c.frm.Timer6.stop();
        c.g.transfer.bus_ready = true;
        return;
    }
    for (const auto& tell : c.image_changed) tell();
}

}  // namespace vor3::reply
