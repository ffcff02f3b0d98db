#pragma once
#include <functional>
#include <string>

#include "app/cli_options.h"
#include "app/cli_read.h"
#include "app/data_bits_port.h"
#include "app/program.h"
#include "form/virtual_clock.h"
#include "sim/sim_port.h"
#include "sim/simulated_sensor.h"

namespace vor3::test {

// Stamps readings T0, T1, ... in the order they are taken.
struct CountingWallClock : form::WallClock {
    mutable int taken = 0;
    std::string date_text() const override { return {}; }
    std::string time_text() const override { return {}; }
    form::WallTime now() const override { return {taken, "T" + std::to_string(taken++)}; }
};

// The command line's program on the simulated sensor under the virtual
// clock, with 8 data bits forced as vor3-cli forces them.
struct Cli {
    Cli() { prog.use_wall_clock(stamps); }
    form::VirtualClock clock;
    sim::SimulatedSensor sensor{sim::Framing::Auto, 1};
    sim::SimPort sim_port{clock, sensor};
    app::DataBitsPort port{sim_port, 8};
    app::CollectedMessages msg;
    app::NoConfirm confirm;
    app::Program prog{port, msg, confirm, clock};
    CountingWallClock stamps;

    // Runs a job of the tool (CliRead, CliWrite) to its end, or for two
    // minutes; `each_tick` may act in between, as the sensor or a user would.
    template <class Job>
    auto run(Job& job, const std::function<void()>& each_tick = {}) {
        auto outcome = job.start();
        while (outcome == Job::Outcome::Running && clock.now_ms() < 120000) {
            clock.advance(10);
            if (each_tick) each_tick();
            outcome = job.poll();
        }
        return outcome;
    }

    // `vor3-cli read` with `o`; the failure's text, if any, in `failure`.
    app::CliRead::Outcome read(const app::CliOptions& o) {
        app::CliRead job(prog, msg, o);
        const auto outcome = run(job);
        failure = job.failure_text();
        return outcome;
    }
    std::string failure;
};

}  // namespace vor3::test
