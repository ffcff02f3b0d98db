#include "qt/network_port.h"

#include <cmath>
#include <utility>

namespace vor3::qt {

namespace {

int connect_failure(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::HostNotFoundError: return form::kHostNotFound;
    case QAbstractSocket::ConnectionRefusedError: return form::kConnectionRefused;
    case QAbstractSocket::SocketTimeoutError: return form::kConnectTimedOut;
    default: return form::kHostUnreachable;
    }
}

}  // namespace

NetworkPort::NetworkPort() {
    connect_limit_.setSingleShot(true);
    connect_limit_.setInterval(link::kConnectTimeoutMs);
    QObject::connect(&connect_limit_, &QTimer::timeout, &socket_, [this] { failed(form::kConnectTimedOut); });
    QObject::connect(&socket_, &QAbstractSocket::stateChanged, &socket_, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::ConnectingState) connecting_.start();
    });
    QObject::connect(&socket_, &QAbstractSocket::connected, &socket_, [this] {
        connect_limit_.stop();
        state_ = State::Connected;
        // The handshake took one round trip.
        round_trip_ms_ = static_cast<std::int64_t>(std::ceil(static_cast<double>(connecting_.nsecsElapsed()) / 1e6));
        // Requests are small and each waits for its answer: none is held
        // back to go out with the next.
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const std::string out = std::exchange(unsent_, {});
        if (!out.empty()) socket_.write(out.data(), static_cast<qint64>(out.size()));
    });
    QObject::connect(&socket_, &QAbstractSocket::errorOccurred, &socket_, [this](QAbstractSocket::SocketError error) {
        if (state_ == State::Connecting)
            failed(connect_failure(error));
        else if (state_ == State::Connected)
            failed(form::kConnectionClosed);
    });
}

NetworkPort::~NetworkPort() {
    // The socket's signals must not reach a port half torn down.
    QObject::disconnect(&socket_, nullptr, nullptr, nullptr);
    socket_.abort();
}

void NetworkPort::set_name(const std::string& name) {
    const auto address = link::parse_network_port(name);
    if (!address) throw form::PortError(form::kPortInvalid, "no network port: " + name, false, name);
    set_open(false);
    name_ = name;
    address_ = *address;
}

void NetworkPort::set_open(bool open) {
    if (!open) {
        state_ = State::Closed;
        connect_limit_.stop();
        socket_.abort();
        unsent_.clear();
        received_.clear();
        pending_.reset();
        return;
    }
    if (is_open()) return;
    if (name_.empty()) throw form::PortError(form::kPortInvalid, "no network port named");
    connect_to_host();
}

void NetworkPort::connect_to_host() {
    pending_.reset();
    unsent_.clear();
    received_.clear();
    round_trip_ms_ = -1;
    socket_.abort();
    state_ = State::Connecting;
    connect_limit_.start();
    socket_.connectToHost(QString::fromStdString(address_.host), static_cast<quint16>(address_.port));
}

void NetworkPort::failed(int number) {
    if (state_ == State::Failed || state_ == State::Lost || state_ == State::Closed) return;
    connect_limit_.stop();
    const std::string why =
        number == form::kConnectTimedOut ? "no answer to the connection request" : socket_.errorString().toStdString();
    state_ = number == form::kConnectionClosed ? State::Lost : State::Failed;
    pending_ = form::PortError(number, why, false, name_);
    unsent_.clear();
    // What came before the end is still read (half a reply shows in the
    // traffic), then the failure is told.
    received_ += socket_.readAll().toStdString();
    socket_.abort();
}

void NetworkPort::throw_pending() {
    if (!pending_) return;
    const form::PortError e = *pending_;
    pending_.reset();
    throw e;
}

void NetworkPort::write(std::string_view bytes) {
    if (!is_open()) throw form::PortError(form::kPortNotOpen, "port not open");
    throw_pending();
    // A connection lost and told: this request connects again. One that
    // could not be made is not tried again until the port is opened anew.
    if (state_ == State::Lost) connect_to_host();
    if (state_ == State::Failed) throw form::PortError(form::kHostUnreachable, "no connection", false, name_);
    if (state_ == State::Connecting) {
        unsent_.append(bytes);
        return;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (socket_.write(bytes.data(), size) != size) {
        failed(form::kConnectionClosed);
        throw_pending();
    }
}

int NetworkPort::waiting_count() {
    if (!is_open()) return 0;
    if (!received_.empty()) return static_cast<int>(received_.size());
    throw_pending();
    return static_cast<int>(socket_.bytesAvailable());
}

std::string NetworkPort::read_all() {
    if (!is_open()) return {};
    if (!received_.empty()) return std::exchange(received_, {});
    throw_pending();
    return socket_.readAll().toStdString();
}

}  // namespace vor3::qt
