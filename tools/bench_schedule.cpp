// Prints the time a whole read (or, given NAME=VALUE, a write with its read
// and read-back, as vor3-cli write does) takes by the program's own timers alone:
// the block-timer ticks, the reply polls and the sensor's replies at line
// speed, with no time spent computing. It runs the program's behaviour
// under the virtual clock against a sensor that answers like
// vor3-sensor-sim: after its minimum response time, one character time per
// byte (8E1 in RTU, 7E1 in ASCII). --pace answer times the answer-paced
// transfer instead; --wire prints, after it, the time the exchanges took on
// the wire: from each request's first byte to its answer's last.
#include <cstdio>
#include <deque>
#include <string>

#include "app/cli_options.h"
#include "form/virtual_clock.h"
#include "sim/line_timing.h"
#include "sim/simulated_sensor.h"
#include "tools/read_schedule.h"

using namespace vor3;

namespace {

class PtyLikePort : public form::SerialPort {
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
            if (!reply.bytes.empty()) wire_ms += begin + static_cast<double>(reply.bytes.size()) * char_ms_ - now;
        }
    }
    double wire_ms = 0;
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

}  // namespace

int main(int argc, char** argv) {
    app::CliOptions o;
    o.port = "bench";
    o.parity = 'E';
    o.command = "read";
    int baud = 9600;
    bool wire = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--baud" && i + 1 < argc)
            baud = std::stoi(argv[++i]);
        else if (a == "--mode" && i + 1 < argc)
            o.mode = std::string(argv[++i]) == "ascii" ? model::Framing::Ascii : model::Framing::Rtu;
        else if (a == "--pace" && i + 1 < argc)
            o.answer_paced = std::string(argv[++i]) == "answer";
        else if (a == "--wire")
            wire = true;
        else if (a.find('=') != std::string::npos)
            o.command = "write", o.assignments.push_back(a);
    }
    o.baud = std::to_string(baud);
    const bool ascii = o.mode == model::Framing::Ascii;
    form::VirtualClock clock;
    sim::SimulatedSensor sensor(ascii ? sim::Framing::Ascii : sim::Framing::Rtu, 1);
    PtyLikePort port(clock, sensor, sim::char_time_ms({baud, 'E', ascii ? 7 : 8, 1}));
    const auto ms = bench::schedule_ms(clock, port, o);
    if (!ms) {
        std::fprintf(stderr, "vor3-bench-schedule: the %s did not finish\n", o.command.c_str());
        return 3;
    }
    if (wire)
        std::printf("%lld %.0f\n", static_cast<long long>(*ms), port.wire_ms);
    else
        std::printf("%lld\n", static_cast<long long>(*ms));
    return 0;
}
