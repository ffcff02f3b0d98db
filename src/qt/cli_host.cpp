// The command line's platform on Linux: Qt's event loop, serial port and
// network port.
#include <QCoreApplication>
#include <QTimer>

#include "app/cli_host.h"
#include "qt/platform_services.h"
#include "qt/qt_clock.h"
#include "qt/qt_serial_port.h"

namespace vor3::qt {

namespace {

class QtCliHost : public app::CliHost {
public:
    QtCliHost(int argc, char** argv) : argc_(argc), application_(argc_, argv), words_(argv + 1, argv + argc) {}

    std::vector<std::string> arguments() const override { return words_; }
    form::Clock& clock() override { return clock_; }
    form::WallClock& wall_clock() override { return wall_clock_; }
    form::SerialPort& real_port() override { return port_; }
    void use_device(const std::string& device) override { port_.set_device_path(device); }
    std::unique_ptr<form::SerialPort> new_port(const std::string& device) override {
        auto port = std::make_unique<QtSerialPort>();
        port->set_device_path(device);
        return port;
    }
    model::PlatformSettings platform_settings() const override { return qt::platform_settings(); }

    void run_until(const std::function<bool()>& done) override {
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (done()) QCoreApplication::quit();
        });
        watch.start(2);
        QCoreApplication::exec();
    }

    void quit() override { QCoreApplication::quit(); }

private:
    int argc_;  // QCoreApplication keeps a reference to it
    QCoreApplication application_;
    std::vector<std::string> words_;
    QtClock clock_;
    QtWallClock wall_clock_;
    QtSerialPort port_;
};

}  // namespace

}  // namespace vor3::qt

std::unique_ptr<vor3::app::CliHost> vor3::app::make_cli_host(int argc, char** argv) {
    return std::make_unique<qt::QtCliHost>(argc, argv);
}
