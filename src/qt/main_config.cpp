// vor3-config: the configuration window for the room sensor.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QStyleFactory>
#include <QTranslator>

#include "app/bus_window.h"
#include "app/program.h"
#include "model/captions.h"
#include "qt/config_view.h"
#include "qt/message_box.h"
#include "qt/platform_services.h"
#include "qt/qt_clock.h"
#include "qt/switching_port.h"

namespace {

// The window takes no arguments; --help says what it is and where its
// settings live (the manual page is made from this text).
const char* const kHelp =
    "usage: vor3-config [--help]\n"
    "\n"
    "The configuration window for the VOR3-UZ485-Uvarod-OR2 room sensor\n"
    "(temperature, humidity, CO2), a Modbus slave on RS-485. Choose the port, baud\n"
    "rate, parity, framing and address, open the port and press \"Gerät auslesen\"\n"
    "(\"Read device\"): the whole sensor is read into a two-page window. Edited values\n"
    "turn red; \"Werte übernehmen\" (\"Apply\") writes them and reads the sensor\n"
    "again. \"Ausgaberegister lesen\" polls the measured values. The last entry of the\n"
    "port list is a simulated sensor, for trying the program without hardware.\n"
    "\n"
    "The language (German 1031, English 1033) is a setting of the installation:\n"
    "vor3-cli registry set Language 1033 switches to English from the next start,\n"
    "and vor3-cli registry list names the files the settings live in.\n"
    "\n"
    "  --help   show this text\n";

// Without a display Qt would abort with a message about platform plugins
// that tells a user nothing; say what to do instead.
bool display_available() {
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!display_available()) {
        std::fprintf(stderr,
                     "vor3-config: no display found; run it on a desktop, or try "
                     "QT_QPA_PLATFORM=offscreen / xvfb-run ./run.sh\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("vor3-config");
    // One look everywhere, and one that honours the change-mark colours.
    if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);

    using namespace vor3;
    qt::QtClock clock;
    qt::WindowPorts ports(clock);
    qt::QtMessageBox messages;
    qt::QtConfirmDialog confirm;
    qt::QtFileDialog files;
    qt::QtDesktop desktop;
    qt::QtScreen screen;
    qt::QtWallClock wall_clock;
    qt::QtClipboard clipboard;
    app::Program program(ports.port(), messages, confirm, clock);
    program.g.platform = qt::platform_settings();
    program.use_file_dialog(files);
    program.ask_before_dropping_edits();
    program.use_desktop(desktop);
    program.use_screen(screen);
    program.use_wall_clock(wall_clock);
    program.use_clipboard(clipboard);
    program.ctx.end_program = [] { QCoreApplication::quit(); };
    ports.port().set_simulator_entry(
        [&program] { return model::caption(model::Caption::simulator_entry, program.g.lang.language); });
    program.bus_window().set_simulated_addresses = [&ports](const std::vector<int>& a) {
        ports.line().set_addresses(a);
    };

    qt::ConfigView view(program);
    messages.set_parent(&view);
    confirm.set_parent(&view);
    files.set_parent(&view);
    program.Main();
    QTranslator qt_texts;
    qt::use_qt_texts(qt_texts, program.g.lang.language);
    view.show_centered();
    return QApplication::exec();
}
