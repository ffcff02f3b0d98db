#include "qt/qt_serial_port.h"

#include <algorithm>

#include <QFileInfo>
#include <QSerialPortInfo>

#include "link/network_address.h"
#include "qt/line_errors.h"

namespace vor3::qt {

namespace {

QSerialPort::Parity to_parity(char p) {
    switch (p) {
    case 'E': return QSerialPort::EvenParity;
    case 'O': return QSerialPort::OddParity;
    default: return QSerialPort::NoParity;
    }
}

std::vector<QSerialPortInfo> sorted_ports() {
    auto ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return a.systemLocation() < b.systemLocation();
    });
    return {ports.begin(), ports.end()};
}

}  // namespace

form::PortError open_failure(QSerialPort::SerialPortError error, bool accessible, const std::string& device) {
    using form::PortError;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return PortError(form::kPortInvalid, "no such port: " + device, false, device);
    case QSerialPort::PermissionError:
        // Qt reports a port locked by another program as a permission
        // error too; only a device we may not touch is about rights.
        if (accessible) return PortError(form::kPortInUse, "port in use: " + device, false, device);
        return PortError(form::kPortInUse, "no permission to open " + device, true, device);
    case QSerialPort::OpenError: return PortError(form::kPortInUse, "port already open: " + device, false, device);
    case QSerialPort::UnsupportedOperationError:
        return PortError(form::kPortSettingsRefused, "settings refused by " + device, false, device);
    case QSerialPort::ResourceError:
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
        return PortError(form::kPortIoFailed, "input/output error on " + device, false, device);
    default: return PortError(form::kPortInUse, "cannot open " + device, false, device);
    }
}

QtSerialPort::QtSerialPort() = default;

// Closing throws nothing; only opening reports a failure.
QtSerialPort::~QtSerialPort() { set_open(false); }  // NOLINT(bugprone-exception-escape)

std::vector<std::string> QtSerialPort::port_list() const {
    std::vector<std::string> names;
    listed_.clear();
    for (const auto& info : sorted_ports()) {
        const std::string path = info.systemLocation().toStdString();
        listed_.push_back(path);
        const QString description = info.description().trimmed();
        names.push_back(description.isEmpty() ? path : path + " (" + description.toStdString() + ")");
    }
    for (const auto& path : named_)
        if (std::find(listed_.begin(), listed_.end(), path) == listed_.end()) {
            listed_.push_back(path);
            names.push_back(path);
        }
    return names;
}

int QtSerialPort::name_port(const std::string& name) {
    // Numbers refer to the list as last given: a new name goes after it
    // rather than listing the system's ports again under the caller.
    if (name.empty()) return 0;
    if (std::find(named_.begin(), named_.end(), name) == named_.end()) named_.push_back(name);
    auto at = std::find(listed_.begin(), listed_.end(), name);
    if (at == listed_.end()) at = listed_.insert(listed_.end(), name);
    return static_cast<int>(at - listed_.begin()) + 1;
}

std::string QtSerialPort::port_name(int number) const {
    if (number < 1 || number > static_cast<int>(listed_.size())) return {};
    return listed_[static_cast<std::size_t>(number - 1)];
}

void QtSerialPort::set_port_number(int number) {
    if (number == number_) return;
    set_open(false);
    number_ = number;
}

void QtSerialPort::set_device_path(const std::string& path) {
    set_open(false);
    if (path.empty())
        device_path_.reset();
    else
        device_path_ = path;
}

std::string QtSerialPort::device_path() const {
    if (device_path_) return *device_path_;
    if (listed_.empty()) port_list();
    if (number_ < 1 || number_ > static_cast<int>(listed_.size())) return {};
    return listed_[static_cast<std::size_t>(number_ - 1)];
}

void QtSerialPort::set_settings(const std::string& settings) {
    settings_ = form::parse_settings(settings);
    if (port_.isOpen()) apply_settings();
}

form::Carrier QtSerialPort::carrier() const {
    if (network_.is_open()) return network_.carrier();
    if (port_.isOpen()) return form::Carrier::SerialLine;
    const auto address = link::parse_network_port(device_path());
    return address ? address->carrier : form::Carrier::SerialLine;
}

void QtSerialPort::apply_settings() {
    // A pseudo-terminal (the simulated sensor's, for one) always carries
    // eight bits without parity and refuses anything else; the program on
    // its far end reads bytes, not line signals, so that refusal is no
    // reason to keep the port shut.
    const bool pseudo_terminal =
        QFileInfo(QString::fromStdString(opened_)).canonicalFilePath().startsWith(QStringLiteral("/dev/pts/"));
    const bool framing_ok = (port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.data_bits)) &&
                             port_.setParity(to_parity(settings_.parity))) ||
                            pseudo_terminal;
    if (pseudo_terminal) port_.clearError();
    const bool ok = framing_ok && port_.setBaudRate(settings_.baud) &&
                    port_.setStopBits(settings_.stop_bits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
                    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        const std::string reason = port_.errorString().toStdString();
        port_.clearError();
        throw form::PortError(form::kPortSettingsRefused, "settings refused: " + reason, false, opened_);
    }
    // Where the driver cannot drop damaged bytes, they still fail the
    // frame's checksum; that is no reason to refuse the settings.
    drop_bytes_with_line_errors(port_.handle());
}

void QtSerialPort::set_open(bool open) {
    if (!open) {
        network_.set_open(false);
        if (port_.isOpen()) port_.close();
        port_.clearError();
        return;
    }
    if (is_open()) return;
    const std::string device = device_path();
    if (device.empty()) throw form::PortError(form::kPortInvalid, "no port number " + std::to_string(number_));
    opened_ = device;
    if (link::names_network_port(device)) {
        network_.set_name(device);
        network_.set_open(true);
        return;
    }
    // Qt names its lock after the path it opens. The device's own path
    // makes one lock of all the names it goes by (a link, /dev/serial/by-id),
    // so a second open under another name is refused as in use.
    const QString resolved = QFileInfo(QString::fromStdString(device)).canonicalFilePath();
    port_.setPortName(resolved.isEmpty() ? QString::fromStdString(device) : resolved);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QFileInfo file(QString::fromStdString(device));
        const auto error = port_.error();
        port_.clearError();
        throw open_failure(error, file.exists() && file.isReadable() && file.isWritable(), device);
    }
    try {
        apply_settings();
    } catch (const form::PortError&) {
        port_.close();
        throw;
    }
}

void QtSerialPort::fail_if_gone() {
    const auto error = port_.error();
    if (error == QSerialPort::ResourceError || error == QSerialPort::WriteError || error == QSerialPort::ReadError)
        throw form::PortError(form::kPortIoFailed, "port failed: " + port_.errorString().toStdString(), false, opened_);
}

void QtSerialPort::write(std::string_view bytes) {
    if (network_.is_open()) {
        network_.write(bytes);
        return;
    }
    if (!port_.isOpen()) throw form::PortError(form::kPortNotOpen, "port not open");
    fail_if_gone();
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(bytes.data(), size) != size)
        throw form::PortError(form::kPortIoFailed, "write failed: " + port_.errorString().toStdString(), false,
                              opened_);
}

int QtSerialPort::waiting_count() {
    if (network_.is_open()) return network_.waiting_count();
    if (!port_.isOpen()) return 0;
    fail_if_gone();
    return static_cast<int>(port_.bytesAvailable());
}

std::string QtSerialPort::read_all() {
    if (network_.is_open()) return network_.read_all();
    if (!port_.isOpen()) return {};
    fail_if_gone();
    return port_.readAll().toStdString();
}

}  // namespace vor3::qt
