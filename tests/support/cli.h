#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/bus_run.h"
#include "app/cli_options.h"
#include "app/cli_read.h"
#include "app/data_bits_port.h"
#include "app/program.h"
#include "form/virtual_clock.h"
#include "sim/sensor_line.h"
#include "sim/sim_port.h"
#include "support/fake_platform.h"

namespace vor3::test {

// A link that can be cut under a transfer: the next poll fails once with
// the number given (a closed connection, a port gone).
struct CuttablePort : form::ForwardingPort {
    using ForwardingPort::ForwardingPort;
    int cut_with = 0;
    int waiting_count() override {
        if (const int n = std::exchange(cut_with, 0)) throw form::PortError(n, "cut");
        return inner_.waiting_count();
    }
};

// The command line's program on a line of simulated sensors under the
// virtual clock, with 8 data bits forced as vor3-cli forces them.
struct Cli {
    explicit Cli(const std::vector<int>& addresses = {1}) : sensors(sim::Framing::Auto, addresses) {
        prog.use_wall_clock(stamps);
    }
    form::VirtualClock clock;
    sim::SensorLine sensors;
    sim::SimPort sim_port{clock, sensors};
    CuttablePort cuttable{sim_port};
    app::DataBitsPort port{cuttable, 8};
    app::CollectedMessages msg;
    app::NoConfirm confirm;
    app::Program prog{port, msg, confirm, clock};
    FakeWallClock stamps;

    sim::SimulatedSensor& sensor(int address = 1) { return sensors.sensor(address); }

    // Runs a job of the tool (CliRead, CliWrite) to its end (two minutes at
    // most); `each_tick` may act in between, as the sensor would.
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

    // Runs `plan` over the line to its end; its exit status in `exit_status`.
    std::vector<app::SensorResult> run_line(app::BusPlan plan, const std::function<void()>& each_tick = {}) {
        EXPECT_TRUE(prog.g.link.port_open || app::CliRead(prog, msg, app::parse_cli({"read", "--port", "sim"})).open());
        app::BusRun bus(prog, std::move(plan));
        bus.start();
        while (bus.running() && clock.now_ms() < 600000) {
            clock.advance(1);
            if (each_tick) each_tick();
        }
        EXPECT_FALSE(bus.running());
        exit_status = bus.exit_status();
        return bus.results();
    }
    int exit_status = -1;
};

}  // namespace vor3::test
