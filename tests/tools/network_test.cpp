// The window on the real network port adapter: a connection the server
// closes under a read is told, and the next read connects again. (The
// command line over the network: cli_process_test.cpp.)
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "app/program.h"
#include "processes.h"
#include "qt/qt_clock.h"
#include "qt/qt_serial_port.h"
#include "support/fakes.h"

namespace vor3::test {
namespace {

// The window's read over a connection the server closes: told, the port
// stays open, and the next read connects again.
TEST(NetworkPort, TheNextReadConnectsAgainAfterTheConnectionWasClosed) {
    SensorProcess sensor({"--tcp", "0", "--close-mid-reply"});
    ASSERT_FALSE(sensor.device().empty());
    qt::QtClock clock;
    qt::QtSerialPort port;
    FakeMessageBox msg;
    FakeConfirm confirm;
    app::Program prog{port, msg, confirm, clock};
    port.set_device_path(sensor.device());
    prog.Main();
    auto& f = prog.frm_config;
    f.Combo_Port(6).set_list_index(1);
    ASSERT_TRUE(port.is_open()) << (msg.shown.empty() ? "" : msg.shown[0]);
    // Presses "read device" and runs the event loop until the read has
    // ended or a message shows (20 s at most); whether it ever ran.
    const auto read_device = [&] {
        f.cmd_read_device.press();
        bool seen = false;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20000 && msg.shown.empty()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            seen |= prog.frmState.loaded();
            if (seen && !prog.frmState.loaded()) break;
        }
        return seen;
    };
    read_device();
    ASSERT_EQ(msg.details.size(), 1u);
    EXPECT_EQ(msg.details[0], sensor.device() +
                                  " hat die Verbindung während der Übertragung geschlossen. Die nächste Anfrage "
                                  "verbindet neu.");
    EXPECT_TRUE(port.is_open());
    EXPECT_TRUE(f.cmd_read_device.enabled());

    ASSERT_TRUE(sensor.set_faults(""));
    msg.shown.clear();
    EXPECT_TRUE(read_device());
    EXPECT_TRUE(msg.shown.empty()) << msg.shown[0];
    EXPECT_FALSE(f.warning_line().visible());
    EXPECT_EQ(f.txt_data_cfg(0).text(), "4660");
}

}  // namespace
}  // namespace vor3::test
