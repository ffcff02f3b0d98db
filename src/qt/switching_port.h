#pragma once
#include "app/window_ports.h"
#include "qt/qt_serial_port.h"

namespace vor3::qt {

// The window's port on Linux: Qt's serial ports and the simulated sensor.
using app::SwitchingPort;
using WindowPorts = app::WindowPorts<QtSerialPort>;

}  // namespace vor3::qt
