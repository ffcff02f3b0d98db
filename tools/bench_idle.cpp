// The window idle with the port open: builds the real program (widgets,
// clock, ports), opens the simulated sensor, lets the event loop run for a
// while and prints the share of one core it used.
#include <QApplication>
#include <QTimer>

#include <sys/resource.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/program.h"
#include "qt/config_view.h"
#include "qt/message_box.h"
#include "qt/qt_clock.h"
#include "qt/switching_port.h"

using namespace vor3;

namespace {
double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// With a point: printf would take the separator of the locale Qt has set.
std::string fixed(double value, int digits) {
    char buf[32];
    return {buf, std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, digits).ptr};
}
}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::stoi(argv[1]) : 10;
    QApplication application(argc, argv);
    qt::QtClock clock;
    qt::WindowPorts ports(clock);
    qt::QtMessageBox messages;
    qt::QtConfirmDialog confirm;
    app::Program program(ports.port(), messages, confirm, clock);
    qt::ConfigView view(program);
    program.Main();
    view.show_centered();
    auto& f = program.frm_config;
    f.Combo_Port(0).set_list_index(ports.port().simulator_number() - 1);
    f.Combo_Port(6).set_list_index(1);
    if (!ports.port().is_open()) {
        std::fprintf(stderr, "vor3-bench-idle: the port did not open\n");
        return 1;
    }
    // Let start-up settle before measuring.
    double cpu0 = 0;
    auto wall0 = std::chrono::steady_clock::now();
    QTimer::singleShot(1000, [&] {
        cpu0 = cpu_seconds();
        wall0 = std::chrono::steady_clock::now();
    });
    QTimer::singleShot(1000 + seconds * 1000, [] { QApplication::quit(); });
    QApplication::exec();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double cpu = cpu_seconds() - cpu0;
    std::printf("idle with the port open: %s s CPU in %s s = %s%% of one core\n", fixed(cpu, 3).c_str(),
                fixed(wall, 1).c_str(), fixed(100 * cpu / wall, 2).c_str());
    return 0;
}
