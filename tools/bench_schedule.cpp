// Prints the time a whole read takes by the program's own timers alone:
// the block-timer ticks, the reply polls and the sensor's replies at line
// speed, with no time spent computing. It runs the program's behaviour
// under the virtual clock against a sensor that answers like
// vor3-sensor-sim: after its minimum response time, one character time per
// byte (8E1 in RTU, 7E1 in ASCII).
#include <cstdio>
#include <deque>
#include <string>

#include "app/program.h"
#include "form/virtual_clock.h"
#include "sim/line_timing.h"
#include "sim/simulated_sensor.h"

using namespace vor3;

namespace {

class PtyLikePort : public link::SerialPort {
public:
    PtyLikePort(form::Clock& clock, sim::SimulatedSensor& sensor, double char_ms)
        : clock_(clock), sensor_(sensor), char_ms_(char_ms) {}
    std::vector<std::string> port_list() const override { return {"bench"}; }
    int port_number() const override { return number_; }
    void set_port_number(int n) override { number_ = n; }
    void set_settings(const std::string&) override {}
    bool is_open() const override { return open_; }
    void set_open(bool on) override { open_ = on; }
    void set_input_mode(int) override {}
    void write(std::string_view bytes) override {
        const double now = static_cast<double>(clock_.now_ms());
        for (const auto& reply : sensor_.receive(bytes, clock_.now_ms())) {
            const double begin = now + reply.delay_ms;
            for (std::size_t i = 0; i < reply.bytes.size(); ++i)
                arriving_.push_back({begin + static_cast<double>(i + 1) * char_ms_, reply.bytes[i]});
        }
    }
    int waiting_count() override {
        int n = 0;
        for (const auto& a : arriving_)
            if (a.at <= static_cast<double>(clock_.now_ms())) ++n;
        return n;
    }
    std::string read_all() override {
        std::string out;
        while (!arriving_.empty() && arriving_.front().at <= static_cast<double>(clock_.now_ms())) {
            out.push_back(arriving_.front().byte);
            arriving_.pop_front();
        }
        return out;
    }

private:
    struct Arrival {
        double at;
        char byte;
    };
    form::Clock& clock_;
    sim::SimulatedSensor& sensor_;
    double char_ms_;
    int number_ = 1;
    bool open_ = false;
    std::deque<Arrival> arriving_;
};

struct Quiet : form::MessageBox {
    int count = 0;
    void show(const std::string&, const std::string&) override { ++count; }
};
struct No : form::ConfirmDialog {
    bool confirm(const std::string&, const std::string&, const std::string&, const std::string&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    int baud = 9600;
    bool ascii = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--baud") baud = std::stoi(argv[i + 1]);
        if (a == "--mode") ascii = std::string(argv[i + 1]) == "ascii";
    }
    form::VirtualClock clock;
    sim::SimulatedSensor sensor(ascii ? sim::Framing::Ascii : sim::Framing::Rtu, 1);
    PtyLikePort port(clock, sensor, sim::char_time_ms({baud, 'E', ascii ? 7 : 8, 1}));
    Quiet msg;
    No no;
    app::Program p(port, msg, no, clock);
    p.Main();
    auto& f = p.frm_config;
    const int bauds[] = {9600, 19200, 38400, 57600};
    for (int i = 0; i < 4; ++i)
        if (bauds[i] == baud) f.Combo_Port(1).set_list_index(i);
    f.Combo_Port(5).set_list_index(ascii ? 0 : 1);
    f.Combo_Port(6).set_list_index(1);
    const auto start = clock.now_ms();
    f.cmd_read_device.press();
    bool seen = false;
    clock.run_until([&] {
        seen |= p.frmState.loaded();
        return seen && !p.frmState.loaded();
    }, 600000);
    if (msg.count || f.lbl_desc(16).visible()) {
        std::fprintf(stderr, "vor3-bench-schedule: the read did not finish\n");
        return 3;
    }
    std::printf("%lld\n", static_cast<long long>(clock.now_ms() - start));
    return 0;
}
