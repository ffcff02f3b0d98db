// vor3-cli: the configuration window's behaviour without a window, for
// scripts and batch commissioning. It drives the same model the window uses.
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/cli_options.h"
#include "app/cli_read.h"
#include "app/data_bits_port.h"
#include "app/program.h"
#include "app/read_report.h"
#include "qt/qt_clock.h"
#include "qt/qt_serial_port.h"
#include "sim/sim_port.h"
#include "sim/simulated_sensor.h"

using namespace vor3;

namespace {

// A name from the port list stands for its device ("/dev/ttyUSB0 (FT232R)"
// or just "/dev/ttyUSB0"); anything else is taken as a device path.
std::string device_for(const qt::QtSerialPort& port, const std::string& name) {
    for (const auto& entry : port.port_list()) {
        const auto cut = entry.find(" (");
        const std::string device = entry.substr(0, cut);
        if (entry == name || device == name) return device;
    }
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    app::CliOptions options;
    try {
        options = app::parse_cli(args);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "vor3-cli: %s\n%s", e.what(), app::kCliUsage);
        return 1;
    }
    if (options.help) {
        std::fputs(app::kCliUsage, stdout);
        return 0;
    }

    QCoreApplication application(argc, argv);
    qt::QtClock clock;
    sim::SimulatedSensor sensor(sim::Framing::Auto, options.address);
    sim::SimPort simulated(clock, sensor);
    qt::QtSerialPort real;
    link::SerialPort* port = &simulated;
    if (options.port != "sim") {
        real.set_device_path(device_for(real, options.port));
        port = &real;
    }
    std::optional<app::DataBitsPort> fixed_bits;
    if (options.data_bits) {
        fixed_bits.emplace(*port, *options.data_bits);
        port = &*fixed_bits;
    }

    app::CollectedMessages messages;
    app::NoConfirm no_confirm;
    app::Program program(*port, messages, no_confirm, clock);
    program.ctx.end_program = [] { QCoreApplication::quit(); };
    app::CliRead read(program, messages, options);

    auto outcome = read.start();
    if (outcome == app::CliRead::Outcome::Running) {
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            outcome = read.poll();
            if (outcome != app::CliRead::Outcome::Running) QCoreApplication::quit();
        });
        watch.start(10);
        // The status window's time limit and the give-up end every read; this
        // is only a last guard against waiting for ever.
        QTimer::singleShot(30 * 60 * 1000, [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
    }
    if (outcome != app::CliRead::Outcome::Done) {
        std::fprintf(stderr, "vor3-cli: %s\n", read.failure_text().c_str());
        return app::CliRead::exit_status(outcome);
    }
    const auto lines = app::read_report(program);
    const std::string out = options.json ? app::format_json(lines) : app::format_text(lines);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
