// vor3-cli: the configuration window's behaviour without a window, for
// scripts and batch commissioning. It drives the same model the window uses,
// on Linux and on Windows alike: what differs is the host (app/cli_host.h).
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/bus_run.h"
#include "app/cli_bus.h"
#include "app/cli_host.h"
#include "app/cli_monitor.h"
#include "app/cli_options.h"
#include "app/cli_read.h"
#include "app/cli_registry.h"
#include "app/cli_save.h"
#include "app/cli_scan.h"
#include "app/cli_write.h"
#include "app/data_bits_port.h"
#include "app/program.h"
#include "app/read_report.h"
#include "app/simulated_line.h"
#include "app/site_file.h"
#include "app/site_run.h"
#include "model/captions.h"
#include "sim/sensor_line.h"
#include "sim/sim_port.h"
#include "ui/port_settings.h"

using namespace vor3;

namespace {

// The platform the commands run on; set once in main.
app::CliHost* host = nullptr;

// A name from the port list stands for its device ("/dev/ttyUSB0 (FT232R)",
// "COM3 (USB Serial Port)" or just the device); anything else is taken as a
// device path.
std::string device_for(const form::SerialPort& port, const std::string& name) {
    for (const auto& entry : port.port_list()) {
        const auto cut = entry.find(" (");
        std::string device = entry.substr(0, cut);
        if (entry == name || device == name) return device;
    }
    return name;
}

// The first interrupt asks the command to stop where nothing is left half
// done; a second one ends the program at once, as the signal would.
volatile std::sig_atomic_t interrupted = 0;
extern "C" void on_interrupt(int signal_number) {
    if (interrupted) {
        std::signal(signal_number, SIG_DFL);
        std::raise(signal_number);
        return;
    }
    interrupted = 1;
}

void run_until(const std::function<bool()>& done) {
    if (!done()) host->run_until(done);
}

// Milliseconds since `start` by the host's clock, for the last guards.
std::int64_t since(std::int64_t start) { return host->clock().now_ms() - start; }

void print(FILE* to, const std::string& text) {
    std::fputs(text.c_str(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

// Reads the whole device; the exit status of a failed read, or 0.
int read_device(app::Program& program, const app::CollectedMessages& messages, const app::CliOptions& options) {
    app::CliRead read(program, messages, options);
    auto outcome = read.start();
    // The status window's time limit and the give-up end every read; the
    // last guard only keeps a stuck port from waiting for ever.
    const std::int64_t start = host->clock().now_ms();
    run_until([&] {
        if (outcome == app::CliRead::Outcome::Running) outcome = read.poll();
        return outcome != app::CliRead::Outcome::Running || since(start) > 30 * 60 * 1000;
    });
    if (outcome != app::CliRead::Outcome::Done) {
        print(stderr, "vor3-cli: " + read.failure_text());
        return app::CliRead::exit_status(outcome);
    }
    return 0;
}

int run_read(app::Program& program, const app::CollectedMessages& messages, const app::CliOptions& options) {
    if (const int failed = read_device(program, messages, options)) return failed;
    const auto lines = app::read_report(program);
    const std::string out = options.json ? app::format_json(lines) : app::format_text(lines);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int run_save(app::Program& program, const app::CollectedMessages& messages, const app::CliOptions& options) {
    if (const int failed = read_device(program, messages, options)) return failed;
    if (const auto why = app::save_through_menu(program, messages, options.file)) {
        print(stderr, "vor3-cli: " + *why);
        return 1;
    }
    return 0;
}

int run_write(app::Program& program, const app::CollectedMessages& messages, const app::CliOptions& options) {
    // Every value is tried on the window's rules before anything is sent.
    const auto refused = app::CliWrite::check(options, program.g.platform);
    if (!refused.empty()) {
        for (const auto& r : refused) print(stderr, "vor3-cli: " + r);
        return 1;
    }
    app::CliWrite write(program, messages, options);
    // An interrupt lets the request in flight have its answer, then stops
    // and says which values the sensor confirmed.
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    auto outcome = write.start();
    const std::int64_t start = host->clock().now_ms();
    run_until([&] {
        if (interrupted) write.stop();
        if (outcome == app::CliWrite::Outcome::Running) outcome = write.poll();
        return outcome != app::CliWrite::Outcome::Running || since(start) > 60 * 60 * 1000;
    });
    for (const auto& change : write.changes()) print(stdout, change);
    if (outcome == app::CliWrite::Outcome::Differs) {
        for (const auto& d : write.differences()) print(stderr, "vor3-cli: " + d);
    } else if (outcome != app::CliWrite::Outcome::Done) {
        print(stderr, "vor3-cli: " + write.failure_text());
        for (const auto& s : write.write_state()) print(stderr, "vor3-cli: " + s);
    }
    return app::CliWrite::exit_status(outcome);
}

int run_monitor(app::Program& program, const app::CollectedMessages& messages, const app::CliOptions& options) {
    app::CliMonitor monitor(program, messages, options);
    auto outcome = monitor.start();
    if (outcome != app::CliMonitor::Outcome::Running) {
        print(stderr, "vor3-cli: " + (messages.texts.empty() ? std::string() : messages.texts.back()));
        return app::CliMonitor::exit_status(outcome);
    }
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    print(stdout, app::CliMonitor::header());
    run_until([&] {
        std::vector<std::string> lines, notes;
        outcome = monitor.poll(lines, notes);
        for (const auto& l : lines) print(stdout, l);
        for (const auto& n : notes) print(stderr, "vor3-cli: " + n);
        if (interrupted) outcome = monitor.stop();
        return outcome != app::CliMonitor::Outcome::Running;
    });
    return app::CliMonitor::exit_status(outcome);
}

// The window's message for a port that failed, with the reason below; the
// exit status: 3 for a connection lost during the transfer, else 2.
int port_failed(app::Program& program, app::CollectedMessages& messages, const form::PortError& e) {
    ui::show_port_error(program.ctx, e);
    print(stderr, "vor3-cli: " + messages.texts.back());
    return e.number == form::kConnectionClosed ? 3 : 2;
}

// read, save or write with --addresses: the sensors one after another. An
// interrupt stops after the sensor in progress and reports what was done.
int run_bus(app::Program& program, app::CollectedMessages& messages, const app::CliOptions& options) {
    if (options.command == "write") {
        const auto refused = app::CliWrite::check(options, program.g.platform);
        for (const auto& r : refused) print(stderr, "vor3-cli: " + r);
        if (!refused.empty()) return 1;
    }
    app::CliRead opener(program, messages, options);
    if (!opener.open()) {
        print(stderr, "vor3-cli: " + opener.failure_text());
        return 2;
    }
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    app::BusRun run(program, app::bus_plan(options, options.addresses));
    run.start();
    run_until([&] {
        if (interrupted && !run.stopping()) run.stop();
        return !run.running();
    });
    const auto& lang = program.g.lang;
    if (const auto& failed = run.scanner().error()) return port_failed(program, messages, *failed);
    if (options.addresses_found && run.results().empty()) {
        print(stderr, "vor3-cli: " + std::string(model::caption(model::Caption::scan_none, lang.language)));
        return 3;
    }
    const auto output = app::bus_output(options, run.results(), lang.language, lang.decimal_sep);
    std::fwrite(output.out.data(), 1, output.out.size(), stdout);
    std::fputs(output.err.c_str(), stderr);
    if (interrupted) {
        int last = 0;
        for (const auto& r : run.results())
            if (r.outcome != app::SensorOutcome::NotDone) last = r.target.address;
        print(stderr,
              "vor3-cli: " + model::caption(model::Caption::bus_stopped, lang.language, {std::to_string(last)}));
    }
    return run.exit_status();
}

int run_scan(app::Program& program, app::CollectedMessages& messages, const app::CliOptions& options) {
    program.Main();  // for the language in force
    if (options.echo) program.g.link.suppress_echo = true;
    ops::Scanner scanner(program.ctx.port, program.ctx.clock);
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    scanner.start(app::scan_plan(options));
    run_until([&] {
        if (interrupted) scanner.stop();
        return !scanner.running();
    });
    const auto& finds = scanner.found();
    const std::string out = options.json ? app::format_finds_json(finds) : app::format_finds(finds);
    std::fwrite(out.data(), 1, out.size(), stdout);
    for (const auto& note : app::conflict_notes(finds, program.g.lang.language)) print(stderr, "vor3-cli: " + note);
    if (scanner.error()) return port_failed(program, messages, *scanner.error());
    if (finds.empty()) {
        print(stderr, "vor3-cli: " + std::string(model::caption(model::Caption::scan_none, program.g.lang.language)));
        return 3;
    }
    return 0;
}

// read, save, write and scan with --line or --site: every line at once,
// each its own program over its own port, all on the one event loop. An
// interrupt stops every line after the sensor in progress.
int run_site(const app::CliOptions& options) {
    std::vector<app::SiteLine> lines;
    try {
        lines = app::site_lines(options, app::given_lines(options));
    } catch (const std::invalid_argument& e) {
        print(stderr, std::string("vor3-cli: ") + e.what());
        return 1;
    }
    if (options.command == "write") {
        const auto refused = app::CliWrite::check(options, host->platform_settings());
        for (const auto& r : refused) print(stderr, "vor3-cli: " + r);
        if (!refused.empty()) return 1;
    }
    std::vector<std::unique_ptr<app::SimulatedLine>> simulated;
    std::vector<std::unique_ptr<form::SerialPort>> real;
    std::vector<form::SerialPort*> ports;
    for (const auto& line : lines) {
        if (line.options.port == "sim") {
            simulated.push_back(std::make_unique<app::SimulatedLine>(host->clock(), line));
            ports.push_back(&simulated.back()->port);
        } else {
            real.push_back(host->new_port(device_for(host->real_port(), line.options.port)));
            ports.push_back(real.back().get());
        }
    }
    app::SiteRun site(
        host->clock(), lines, [&](std::size_t i) -> form::SerialPort& { return *ports[i]; },
        [&](app::Program& program, const app::SiteLine& line) {
            program.g.platform = host->platform_settings();
            program.use_wall_clock(host->wall_clock());
            program.ctx.end_program = [] { host->quit(); };
            if (options.trace)
                program.traffic.on_entry = [&program, name = line.name](const link::TrafficEntry& e) {
                    print(stderr, name + ": " + link::traffic_line(e, program.g.lang.language));
                };
        });
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    site.start();
    run_until([&] {
        if (interrupted && !site.stopping()) site.stop();
        return !site.running();
    });
    const auto results = site.results();
    const auto& lang = site.program(0).g.lang;
    if (options.command == "scan") {
        const std::string out = app::site_inventory(lines, results);
        std::fwrite(out.data(), 1, out.size(), stdout);
    } else {
        const auto output = app::bus_output(options, results, lang.language, lang.decimal_sep);
        std::fwrite(output.out.data(), 1, output.out.size(), stdout);
        std::fputs(output.err.c_str(), stderr);
    }
    for (const auto& note : site.notes()) print(stderr, "vor3-cli: " + note);
    return site.exit_status();
}

}  // namespace

int main(int argc, char** argv) {
    const auto platform_host = app::make_cli_host(argc, argv);
    host = platform_host.get();
    const std::vector<std::string> args = host->arguments();
    if (!args.empty() && args[0] == "registry") {
        std::string out, err;
        const int status = app::run_registry({args.begin() + 1, args.end()}, host->platform_settings(), out, err);
        std::fputs(out.c_str(), stdout);
        std::fputs(err.c_str(), stderr);
        return status;
    }
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

    if (options.several_lines()) return run_site(options);

    form::Clock& clock = host->clock();
    // The built-in simulated sensor is the window's: one at address 1, or
    // one at each address a line of them is asked for at, hearing its one
    // line setting only, as a real sensor does.
    app::SimulatedLine simulated(clock, options.addresses);
    form::SerialPort* port = &simulated.port;
    if (options.port != "sim") {
        host->use_device(device_for(host->real_port(), options.port));
        port = &host->real_port();
    }
    std::optional<app::DataBitsPort> fixed_bits;
    if (options.data_bits) {
        fixed_bits.emplace(*port, *options.data_bits);
        port = &*fixed_bits;
    }

    app::CollectedMessages messages;
    app::NoConfirm no_confirm;
    app::Program program(*port, messages, no_confirm, clock);
    program.g.platform = host->platform_settings();
    program.use_wall_clock(host->wall_clock());
    program.ctx.end_program = [] { host->quit(); };
    if (options.trace)
        program.traffic.on_entry = [&program](const link::TrafficEntry& e) {
            print(stderr, link::traffic_line(e, program.g.lang.language));
        };

    if (options.addresses_found || !options.addresses.empty()) return run_bus(program, messages, options);
    if (options.command == "write") return run_write(program, messages, options);
    if (options.command == "monitor") return run_monitor(program, messages, options);
    if (options.command == "save") return run_save(program, messages, options);
    if (options.command == "scan") return run_scan(program, messages, options);
    return run_read(program, messages, options);
}
