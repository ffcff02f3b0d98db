#include "ui/transfer_steps.h"

#include <algorithm>

#include "link/hex.h"
#include "link/pace.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "model/numbers.h"
#include "model/register_map.h"
#include "model/transfer_order.h"

namespace vor3::ui {

namespace {

using form::TransferStep;

// The requests of a part: a paced part's blocks, at most a read or a write
// block each, or its one request.
void add_part(Steps& steps, const model::TransferPart& p, const model::TransferState& t) {
    if (!p.paced) {
        steps.push_back({p.request_kind, p.first, p.end, false});
        return;
    }
    const int most = std::max(1, model::is_write(p) ? t.write_block : t.read_block);
    for (int r = p.first; r < p.end; r += most) steps.push_back({p.request_kind, r, std::min(r + most, p.end), true});
}

// A request of the step's size, for the time its exchange takes on the line.
std::string step_request(const TransferStep& s) {
    using link::LongToHexStr;
    const int count = s.end - s.first;
    const auto head = [&](const char* function) {
        return "01" + std::string(function) + LongToHexStr(s.first, 2) + LongToHexStr(count, 2);
    };
    switch (s.request_kind) {
    case model::kWriteConfigBlock:
    case model::kWriteExternalBlock:
        return head("10") + LongToHexStr(2 * count, 1) + std::string(4 * static_cast<std::size_t>(count), '0');
    case model::kWriteConfigCoils:
    case model::kWriteLedCoils: return head("0F") + "0100";
    case model::kReadConfigCoils:
    case model::kReadLedCoils: return head("01");
    default: return head("03");
    }
}

bool matches(const TransferStep& s, const model::TransferState& t) {
    if (s.request_kind != t.request_kind) return false;
    // A paced block is told from its neighbours by the register its block
    // timer sends next; every other step is a request kind of its own.
    return !s.paced || (t.reg_address >= s.first && t.reg_address < s.end);
}

}  // namespace

Steps read_chain_steps(const model::TransferState& t) {
    Steps steps;
    for (const auto& p : model::read_chain()) add_part(steps, p, t);
    return steps;
}

Steps read_device_steps(const model::TransferState& t) {
    Steps steps;
    for (const auto& p : model::kReadOrder) add_part(steps, p, t);
    return steps;
}

Steps write_steps(const model::TransferState& t, bool config, bool external) {
    Steps steps;
    for (const auto& p : model::kWriteOrder)
        if (p.block == model::Block::ConfigRegisters || p.block == model::Block::ConfigCoils ? config : external)
            add_part(steps, p, t);
    const Steps read_back = read_chain_steps(t);
    steps.insert(steps.end(), read_back.begin(), read_back.end());
    return steps;
}

int step_named_by(const Steps& steps, const model::TransferState& t, int from) {
    for (int i = std::max(0, from); i < static_cast<int>(steps.size()); ++i)
        if (matches(steps[static_cast<std::size_t>(i)], t)) return i;
    return -1;
}

bool is_read_step(const TransferStep& step) {
    switch (step.request_kind) {
    case model::kReadRegister6:
    case model::kReadRegisterBlock:
    case model::kReadConfigCoils:
    case model::kReadExternalValues:
    case model::kReadLedCoils: return true;
    default: return false;
    }
}

std::string step_text(const TransferStep& s, const std::string& language) {
    using model::Caption;
    const auto range = [&](Caption id) {
        return model::caption(id, language, {std::to_string(s.first), std::to_string(s.end - 1)});
    };
    switch (s.request_kind) {
    case model::kReadRegister6: return model::caption(Caption::step_read_register_6, language);
    case model::kReadRegisterBlock:
        return s.first < model::kMeasuredFirst ? range(Caption::step_read_config)
                                               : model::caption(Caption::step_read_measured, language);
    case model::kReadConfigCoils: return model::caption(Caption::step_read_config_coils, language);
    case model::kReadExternalValues: return model::caption(Caption::step_read_external, language);
    case model::kReadLedCoils: return model::caption(Caption::step_read_led_coils, language);
    case model::kWriteConfigBlock: return range(Caption::step_write_config);
    case model::kWriteConfigCoils: return model::caption(Caption::step_write_config_coils, language);
    case model::kWriteExternalBlock: return model::caption(Caption::step_write_external, language);
    case model::kWriteLedCoils: return model::caption(Caption::step_write_led_coils, language);
    default: return {};
    }
}

namespace {

// The step's answer (both frames, the minimum response time, a poll) and,
// for a block a timer paces, the wait for the tick after that answer.
// After a write of the configuration the blocks go at the pace of the
// minimum response time written.
std::int64_t step_duration_ms(const Context& c, const TransferStep& step, bool after_write) {
    // Until register 7 is read, a sensor that answers at once.
    std::int32_t min_response = std::max(0, c.g.transfer.min_response_ms);
    std::int64_t period =
        (step.request_kind == model::kWriteConfigBlock || step.request_kind == model::kWriteExternalBlock
             ? c.frm.Timer1
             : c.frm.Timer6)
            .interval();
    if (after_write) {
        if (const auto v = model::locale_number(c.frm.txt_data_cfg(7).text(), c.g.lang.decimal_sep))
            min_response = static_cast<std::int32_t>(std::clamp<double>(*v, 0, model::pace_bound(7)));
        period = link::paced_block_period_ms(c, min_response);
    }
    // Answer-paced, each request follows the answer before.
    if (link::answer_paced(c)) return link::paced_exchange_ms(c, step_request(step), min_response);
    const std::int64_t answer = link::reply_allowance_ms(c, step_request(step), min_response);
    if (!step.paced) return answer;
    period = std::max<std::int64_t>(1, period);
    return (answer + period - 1) / period * period;
}

}  // namespace

std::int64_t time_left_ms(const Context& c, const Steps& steps, int from, std::int64_t elapsed_ms) {
    std::int64_t left = 0;
    bool after_write = false;
    for (int i = std::max(0, from); i < static_cast<int>(steps.size()); ++i) {
        const auto& step = steps[static_cast<std::size_t>(i)];
        const std::int64_t takes = step_duration_ms(c, step, after_write);
        left += i == from ? std::max<std::int64_t>(0, takes - elapsed_ms) : takes;
        // The last block of a configuration write sets the block timers to
        // the minimum response time written, when the field was changed or
        // read since.
        if (step.request_kind == model::kWriteConfigBlock && step.end >= model::kConfigEnd && c.frm.reply_delay_changed)
            after_write = true;
    }
    return left;
}

}  // namespace vor3::ui
