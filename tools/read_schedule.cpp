#include "tools/read_schedule.h"

#include "app/cli_read.h"
#include "app/cli_write.h"
#include "app/program.h"

namespace vor3::bench {

namespace {

// Runs one of vor3-cli's drivers until it has ended; true when it is done.
template <class Driver>
bool run_to_end(form::VirtualClock& clock, Driver& driver) {
    auto outcome = driver.start();
    clock.run_until(
        [&] {
            if (outcome == Driver::Outcome::Running) outcome = driver.poll();
            return outcome != Driver::Outcome::Running;
        },
        3600000);
    return outcome == Driver::Outcome::Done;
}

}  // namespace

std::optional<std::int64_t> schedule_ms(form::VirtualClock& clock, form::SerialPort& port,
                                        const app::CliOptions& options) {
    app::CollectedMessages msg;
    app::NoConfirm no;
    app::Program p(port, msg, no, clock);
    const std::int64_t start = clock.now_ms();
    bool done = false;
    if (options.command == "write") {
        app::CliWrite write(p, msg, options);
        done = run_to_end(clock, write);
    } else {
        app::CliRead read(p, msg, options);
        done = run_to_end(clock, read);
    }
    const std::int64_t end = clock.now_ms();
    // The clock outlives this program: none of its timers may stay armed.
    p.frm_config.stop_all_timers();
    if (!done) return std::nullopt;
    return end - start;
}

}  // namespace vor3::bench
