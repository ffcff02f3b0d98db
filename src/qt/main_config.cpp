// vor3-config: the configuration window for the room sensor.
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QTranslator>
#include <QStyleFactory>

#include "app/program.h"
#include "model/captions.h"
#include "qt/config_view.h"
#include "qt/message_box.h"
#include "qt/platform_services.h"
#include "qt/qt_clock.h"
#include "qt/switching_port.h"

namespace {

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
    app::Program program(ports.port(), messages, confirm, clock);
    program.g.platform = qt::platform_settings();
    program.use_file_dialog(files);
    program.use_desktop(desktop);
    program.use_screen(screen);
    program.use_wall_clock(wall_clock);
    program.ctx.end_program = [] { QCoreApplication::quit(); };
    ports.port().set_simulator_entry(
        [&program] { return model::caption(model::Caption::simulator_entry, program.g.lang.language); });

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
