#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>

#include <string>

#include "app/program.h"
#include "qt/qt_clock.h"
#include "qt/qt_serial_port.h"
#include "support/fakes.h"

namespace vor3::test {

// The window's behaviour on the real port adapter, its device path typed.
struct WindowOnPort {
    explicit WindowOnPort(const std::string& device) {
        port.set_device_path(device);
        prog.Main();
    }

    // Presses "read device" and runs the event loop until the read has
    // ended or a message shows (20 s at most); whether it ever ran.
    bool read_device() {
        prog.frm_config.cmd_read_device.press();
        bool seen = false;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20000 && msg.shown.empty()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            seen |= prog.frmState.loaded();
            if (seen && !prog.frmState.loaded()) break;
        }
        return seen;
    }

    qt::QtClock clock;
    qt::QtSerialPort port;
    FakeMessageBox msg;
    FakeConfirm confirm;
    app::Program prog{port, msg, confirm, clock};
};

}  // namespace vor3::test
