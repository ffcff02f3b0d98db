// vor3-config.exe: the configuration window for the room sensor, the
// native Win32 view of the same model the Linux window mirrors.
#include "win32/windows_api.h"

#include "app/bus_window.h"
#include "app/program.h"
#include "app/window_ports.h"
#include "model/captions.h"
#include "win32/config_view.h"
#include "win32/dialogs.h"
#include "win32/platform_settings_win32.h"
#include "win32/wall_clock.h"
#include "win32/win32_clock.h"
#include "win32/win32_serial_port.h"
#include "win32/window_loop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace vor3;
    win32::Win32Clock clock;
    win32::set_modal_clock(&clock);
    app::WindowPorts<win32::Win32SerialPort> ports(clock);
    win32::Win32MessageBox messages;
    win32::Win32ConfirmDialog confirm;
    win32::Win32FileDialog files;
    win32::Win32Desktop desktop;
    win32::Win32Screen screen;
    win32::Win32WallClock wall_clock;
    win32::Win32Clipboard clipboard;
    app::Program program(ports.port(), messages, confirm, clock);
    program.g.platform = win32::platform_settings();
    program.use_file_dialog(files);
    program.ask_before_dropping_edits();
    program.use_desktop(desktop);
    program.use_screen(screen);
    program.use_wall_clock(wall_clock);
    program.use_clipboard(clipboard);
    program.ctx.end_program = [] { PostQuitMessage(0); };
    ports.port().set_simulator_entry(
        [&program] { return model::caption(model::Caption::simulator_entry, program.g.lang.language); });
    program.bus_window().set_simulated_addresses = [&ports](const std::vector<int>& a) {
        ports.line().set_addresses(a);
    };

    win32::ConfigView view(program);
    messages.set_owner(view.window());
    confirm.set_owner(view.window());
    files.set_owner(view.window());
    clipboard.set_owner(view.window());
    view.show_waiting_messages = [&messages] { messages.show_waiting(); };
    program.Main();
    view.show_centered();

    win32::WindowLoop loop(clock);
    loop.set_accelerators(view.window(), view.accelerators());
    const int code = loop.run();
    program.frm_config.stop_all_timers();
    return code;
}
