// The reply path under random input: byte streams of noise, answers,
// corrupted and late answers, split at random points over several polls
// with the virtual clock moving between them, for every transfer in both
// framings. The sensor answers each copy of a request at most once and
// within the slowest answer time a sensor may take; where nothing but its
// answers came, a transfer that ends without a warning shows exactly the
// sensor's values.

#include "fuzz_check.h"
#include "link/transmit.h"
#include "ops/cyclic_readout.h"
#include "ops/requests.h"
#include "ops/write_parameters.h"
#include "sim/simulated_sensor.h"
#include "support/fake_program.h"
#include "support/harness.h"
#include "ui/status_window.h"

namespace {

using namespace vor3;

enum class Transfer { ReadDevice, CyclicReadOut, ReRead, WriteConfig, WriteExternal };

constexpr char kUnread[] = "?";
// The slowest a sensor answers, and both frames on the line.
constexpr std::int64_t kSlowestAnswerMs = 3000;
// Longer than any transfer may take once the line is quiet.
constexpr std::int64_t kQuietBoundMs = 10 * 60 * 1000;

struct Run {
    test::FakeProgram p;
    sim::SimulatedSensor sensor{sim::Framing::Auto, 1};
    Transfer transfer;
    std::uint64_t answers = 0;
    std::uint64_t last_answered = 0;
    // When each frame written went out, and whether the sensor answered it.
    std::vector<std::int64_t> sent_ms;
    std::vector<bool> answered;
    bool noise = false;  // bytes not from the sensor reached the line

    explicit Run(Transfer t, bool ascii) : transfer(t) {
        p.f.Combo_Port(5).set_list_index(ascii ? 0 : 1);
        p.f.Combo_Port(6).set_list_index(1);
    }

    bool reads() const { return transfer == Transfer::ReadDevice || transfer == Transfer::ReRead; }

    // Each accepted reply answers a later request than the one before.
    void check_step() {
        const auto& l = p.g.line;
        if (l.answers == answers) return;
        FUZZ_CHECK(l.answers == answers + 1, "two replies accepted in one step");
        FUZZ_CHECK(l.last_answered > last_answered, "a request was decoded twice");
        answers = l.answers;
        last_answered = l.last_answered;
    }

    void note_writes() {
        sent_ms.resize(p.port.written.size(), p.clock.now_ms());
        answered.resize(sent_ms.size(), false);
    }

    void advance(std::int64_t ms) {
        const std::int64_t target = p.clock.now_ms() + ms;
        note_writes();
        while (p.clock.step(target)) {
            check_step();
            note_writes();
        }
        p.clock.advance(target - p.clock.now_ms());
    }

    // The sensor's answer to copy `i`, once and only while it may still
    // come; "" otherwise.
    std::string answer_copy(std::size_t i) {
        note_writes();
        if (i >= sent_ms.size() || answered[i] || p.clock.now_ms() - sent_ms[i] > kSlowestAnswerMs) return {};
        answered[i] = true;
        std::string out;
        for (const auto& reply : sensor.receive(p.port.written[i], p.clock.now_ms())) out += reply.bytes;
        return out;
    }

    // Every field a read fills.
    template <class Each>
    void each_field(Each each) {
        for (int i = 0; i <= 10; ++i) each(p.f.txt_data_cfg(i));
        for (int i = 0; i <= 2; ++i) {
            each(p.f.txt_data_out(i));
            each(p.f.txt_data_in(i));
        }
    }

    void start() {
        auto& f = p.f;
        if (reads()) each_field([](form::TextBox& b) { b.set_text(kUnread); });
        p.g.image.config_known = p.g.image.external_known = true;
        switch (transfer) {
        case Transfer::ReadDevice: ops::cmd_read_device_Click(p.c); break;
        case Transfer::CyclicReadOut: f.chk_read_out.set_value(1); break;
        case Transfer::ReRead: ops::read_out_parameter_Click(p.c); break;
        case Transfer::WriteConfig:
            f.txt_data_cfg(4).set_text("900");
            ops::set_parameter_Click(p.c);
            break;
        case Transfer::WriteExternal:
            f.txt_data_in(0).set_text("22");
            ops::set_parameter_Click(p.c);
            break;
        }
    }

    void deliver(FuzzedDataProvider& in, const std::string& bytes) {
        const int parts = in.ConsumeIntegralInRange(1, 4);
        std::size_t from = 0;
        for (int i = 1; i <= parts; ++i) {
            const std::size_t to = i == parts ? bytes.size() : in.ConsumeIntegralInRange(from, bytes.size());
            p.port.incoming += bytes.substr(from, to - from);
            from = to;
            advance(in.ConsumeIntegralInRange(0, 120));
        }
    }

    void play(FuzzedDataProvider& in) {
        for (int op = 0; op < 64 && in.remaining_bytes() > 0; ++op) {
            const auto& written = p.port.written;
            const int what = in.ConsumeIntegralInRange(0, 6);
            switch (what) {
            case 0: {
                const std::string bytes = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, 40));
                noise |= !bytes.empty();
                deliver(in, bytes);
                break;
            }
            case 1:
            case 2:  // the latest copy answered, or its answer corrupted
                if (!written.empty()) {
                    std::string reply = answer_copy(written.size() - 1);
                    if (what == 2 && !reply.empty())
                        reply[in.ConsumeIntegralInRange<std::size_t>(0, reply.size() - 1)] ^=
                            static_cast<char>(in.ConsumeIntegralInRange(1, 255));
                    deliver(in, reply);
                }
                break;
            case 3:  // an earlier copy answered late
                if (!written.empty())
                    deliver(in, answer_copy(in.ConsumeIntegralInRange<std::size_t>(0, written.size() - 1)));
                break;
            case 4: advance(in.ConsumeIntegralInRange(0, 2500)); break;
            case 5: advance(p.f.Timer4.interval()); break;
            case 6:  // the user stops what can be stopped
                if (transfer == Transfer::CyclicReadOut)
                    p.f.chk_read_out.set_value(0);
                else if (p.prog.frmState.loaded() && p.prog.frmState.Abbruch.visible())
                    ui::Abbruch_Click(p.c);
                break;
            }
        }
    }

    // What field `index` of `array` shows when it holds the sensor's value.
    std::string shown(model::FieldArray array, int index) const {
        const auto& entry = model::field(array, index);
        return model::register_text(sensor.holding(entry.address), entry.encoding, p.g.lang.decimal_sep);
    }

    bool ended() const {
        const auto& f = p.f;
        return !p.prog.frmState.loaded() && !f.Timer1.enabled() && !f.Timer6.enabled() && !link::line_busy(p.c);
    }

    // The line goes quiet: every transfer must come to an end the user can see.
    void go_quiet() {
        auto& f = p.f;
        if (f.chk_read_out.value() == 1) {
            advance(10000);
            FUZZ_CHECK(f.warning_line().visible(), "a silent sensor under cyclic read-out shows no warning");
            f.chk_read_out.set_value(0);
        }
        for (std::int64_t waited = 0; !ended() && waited < kQuietBoundMs; waited += 1000) advance(1000);
        advance(2000);  // anything still due
        FUZZ_CHECK(ended(), "a transfer or its timers still run after the line went quiet");
        FUZZ_CHECK(f.enabled(), "the main window stays disabled");
        if (test::warning_shown(p)) return;
        bool all = true;
        each_field([&](const form::TextBox& b) { all &= b.text() != kUnread; });
        FUZZ_CHECK(all, "a read ended without a warning but left fields unread");
        // A read or a write's read-back shows what the sensor holds.
        if (!noise && transfer != Transfer::CyclicReadOut && p.g.line.answers > 0) {
            for (int i = 0; i <= 10; ++i)
                FUZZ_CHECK(f.txt_data_cfg(i).text() == shown(model::FieldArray::txt_data_cfg, i),
                           "a transfer ended without a warning with a configuration field not the sensor's");
            for (int i = 0; i <= 2; ++i)
                FUZZ_CHECK(f.txt_data_in(i).text() == shown(model::FieldArray::txt_data_in, i),
                           "a transfer ended without a warning with an external value not the sensor's");
        }
        if (!reads() && transfer != Transfer::CyclicReadOut) {
            FUZZ_CHECK(f.txt_data_cfg(4).fore_color() != form::kChangeMark &&
                           f.txt_data_in(0).fore_color() != form::kChangeMark,
                       "a write ended without a warning but left its edits unconfirmed");
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool ascii = in.ConsumeBool();
    const auto transfer = static_cast<Transfer>(in.ConsumeIntegralInRange(0, 4));
    Run run(transfer, ascii);
    run.start();
    run.play(in);
    run.go_quiet();
    return 0;
}
