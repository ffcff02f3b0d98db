#include "win32/win32_network_port.h"

// SIO_TCP_INFO is Windows 10 1703's; before it the call fails, and the
// round trip is measured as the connection was seen made.
#ifndef NTDDI_VERSION
#define NTDDI_VERSION 0x0A000003
#endif
// winsock2.h must come before windows.h, which would bring the old winsock.
#include <winsock2.h>

#include <mstcpip.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "win32/port_text.h"

namespace vor3::win32 {

namespace {

struct Address {
    int family = 0;
    int type = 0;
    int protocol = 0;
    sockaddr_storage address{};
    int length = 0;
};

// getaddrinfo's answer, or its error number (0 = found).
int resolve(const std::string& host, int port, int flags, std::vector<Address>& found) {
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = flags;
    ADDRINFOW* list = nullptr;
    const std::wstring service = std::to_wstring(port);
    const int error = GetAddrInfoW(port_text::wide(host).c_str(), service.c_str(), &hints, &list);
    if (error != 0) return error;
    for (const ADDRINFOW* a = list; a; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
        Address address;
        address.family = a->ai_family;
        address.type = a->ai_socktype;
        address.protocol = a->ai_protocol;
        address.length = static_cast<int>(a->ai_addrlen);
        std::memcpy(&address.address, a->ai_addr, a->ai_addrlen);
        found.push_back(address);
    }
    FreeAddrInfoW(list);
    return found.empty() ? WSAHOST_NOT_FOUND : 0;
}

int connect_failure(int error) {
    switch (error) {
    case WSAECONNREFUSED: return form::kConnectionRefused;
    case WSAETIMEDOUT: return form::kConnectTimedOut;
    default: return form::kHostUnreachable;
    }
}

std::int64_t whole_ms_since(std::chrono::steady_clock::time_point start) {
    const auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
    return static_cast<std::int64_t>(std::ceil(elapsed.count()));
}

}  // namespace

// Looked up on a thread of its own, as a name server may take seconds to
// answer; the port polls for the answer. The thread keeps the lookup alive,
// so a port closed or gone in the meantime simply drops its share.
struct Win32NetworkPort::Lookup {
    std::mutex mutex;
    bool done = false;
    int error = 0;
    std::vector<Address> addresses;  // complete once done
};

Win32NetworkPort::Win32NetworkPort() : socket_(INVALID_SOCKET) {
    WSADATA data;
    winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

Win32NetworkPort::~Win32NetworkPort() {
    close_socket();
    if (winsock_) WSACleanup();
}

void Win32NetworkPort::set_name(const std::string& name) {
    const auto address = link::parse_network_port(name);
    if (!address) throw form::PortError(form::kPortInvalid, "no network port: " + name, false, name);
    set_open(false);
    name_ = name;
    address_ = *address;
}

void Win32NetworkPort::close_socket() {
    if (socket_ == INVALID_SOCKET) return;
    closesocket(static_cast<SOCKET>(socket_));
    socket_ = INVALID_SOCKET;
}

void Win32NetworkPort::set_open(bool open) {
    if (!open) {
        state_ = State::Closed;
        close_socket();
        lookup_.reset();
        unsent_.clear();
        received_.clear();
        pending_.reset();
        return;
    }
    if (is_open()) return;
    if (name_.empty()) throw form::PortError(form::kPortInvalid, "no network port named");
    connect_to_host();
}

void Win32NetworkPort::connect_to_host() {
    close_socket();
    pending_.reset();
    unsent_.clear();
    received_.clear();
    round_trip_ms_ = -1;
    last_error_ = 0;
    next_address_ = 0;
    started_ = std::chrono::steady_clock::now();
    state_ = State::LookingUp;
    if (!winsock_) {
        failed(form::kHostUnreachable, "Winsock is not available");
        return;
    }
    lookup_ = std::make_shared<Lookup>();
    // An address in figures needs no name server.
    if (resolve(address_.host, address_.port, AI_NUMERICHOST, lookup_->addresses) == 0) {
        lookup_->done = true;
    } else {
        auto lookup = lookup_;
        const auto host = address_.host;
        const int port = address_.port;
        try {
            std::thread([lookup, host, port] {
                WSADATA data;
                const bool winsock = WSAStartup(MAKEWORD(2, 2), &data) == 0;
                std::vector<Address> found;
                const int error = winsock ? resolve(host, port, 0, found) : WSANOTINITIALISED;
                if (winsock) WSACleanup();
                const std::lock_guard<std::mutex> hold(lookup->mutex);
                lookup->error = error;
                lookup->addresses = std::move(found);
                lookup->done = true;
            }).detach();
        } catch (const std::system_error&) {
            // No thread to be had: the lookup holds this caller instead.
            lookup_->error = resolve(address_.host, address_.port, 0, lookup_->addresses);
            lookup_->done = true;
        }
    }
    progress();
}

void Win32NetworkPort::connect_next_address() {
    const auto& addresses = lookup_->addresses;
    while (next_address_ < addresses.size()) {
        const Address& a = addresses[next_address_++];
        const SOCKET s = socket(a.family, a.type, a.protocol);
        if (s == INVALID_SOCKET) {
            last_error_ = WSAGetLastError();
            continue;
        }
        u_long non_blocking = 1;
        ioctlsocket(s, FIONBIO, &non_blocking);
        // Requests are small and each waits for its answer: none is held
        // back to go out with the next.
        const BOOL no_delay = TRUE;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay), sizeof no_delay);
        connecting_ = std::chrono::steady_clock::now();
        socket_ = s;
        if (connect(s, reinterpret_cast<const sockaddr*>(&a.address), a.length) == 0) {
            connected();
            return;
        }
        const int error = WSAGetLastError();
        if (error == WSAEWOULDBLOCK) return;
        close_socket();
        last_error_ = error;
    }
    failed(connect_failure(last_error_), "cannot connect to " + name_ + ": " + port_text::system_message(last_error_));
}

void Win32NetworkPort::connected() {
    state_ = State::Connected;
    // The handshake took one round trip. Where Windows measured it, that
    // figure counts; elsewhere the time until this call saw the connection
    // made, which the caller's polling can only lengthen.
    DWORD version = 0;
    TCP_INFO_v0 info{};
    DWORD bytes = 0;
    if (WSAIoctl(static_cast<SOCKET>(socket_), SIO_TCP_INFO, &version, sizeof version, &info, sizeof info, &bytes,
                 nullptr, nullptr) == 0 &&
        info.RttUs > 0)
        round_trip_ms_ = static_cast<std::int64_t>(std::ceil(info.RttUs / 1000.0));
    else
        round_trip_ms_ = whole_ms_since(connecting_);
    flush();
}

void Win32NetworkPort::progress() {
    if (state_ == State::LookingUp) {
        {
            const std::lock_guard<std::mutex> hold(lookup_->mutex);
            if (lookup_->done && lookup_->error != 0) {
                failed(form::kHostNotFound, "host not found: " + address_.host);
                return;
            }
            if (lookup_->done) state_ = State::Connecting;
        }
        if (state_ == State::Connecting) connect_next_address();
    }
    if (state_ == State::Connecting && socket_ != INVALID_SOCKET) {
        // Winsock tells a connection made as writable, one refused as an
        // exception.
        const SOCKET s = static_cast<SOCKET>(socket_);
        fd_set writable;
        fd_set failed_set;
        FD_ZERO(&writable);
        FD_ZERO(&failed_set);
        FD_SET(s, &writable);
        FD_SET(s, &failed_set);
        timeval now{0, 0};
        if (select(0, nullptr, &writable, &failed_set, &now) == SOCKET_ERROR) {
            last_error_ = WSAGetLastError();
            close_socket();
            connect_next_address();
        } else if (FD_ISSET(s, &failed_set)) {
            int error = 0;
            int length = sizeof error;
            getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
            last_error_ = error;
            close_socket();
            connect_next_address();  // the next address, or the failure
        } else if (FD_ISSET(s, &writable)) {
            connected();
        }
    }
    if ((state_ == State::LookingUp || state_ == State::Connecting) &&
        whole_ms_since(started_) >= link::kConnectTimeoutMs)
        failed(form::kConnectTimedOut, "no answer to the connection request");
    if (state_ == State::Connected) {
        flush();
        receive();
    }
}

void Win32NetworkPort::flush() {
    while (state_ == State::Connected && !unsent_.empty()) {
        const int size = static_cast<int>(std::min<std::size_t>(unsent_.size(), INT_MAX));
        const int sent = send(static_cast<SOCKET>(socket_), unsent_.data(), size, 0);
        if (sent == SOCKET_ERROR) {
            const int error = WSAGetLastError();
            if (error == WSAEWOULDBLOCK) return;  // the rest goes on the next call
            failed(form::kConnectionClosed, "connection lost: " + port_text::system_message(error));
            return;
        }
        unsent_.erase(0, static_cast<std::size_t>(sent));
    }
}

void Win32NetworkPort::receive() {
    char buffer[4096];
    while (state_ == State::Connected) {
        const int got = recv(static_cast<SOCKET>(socket_), buffer, sizeof buffer, 0);
        if (got > 0) {
            received_.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got == 0) {
            failed(form::kConnectionClosed, "the remote host closed the connection");
            return;
        }
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            failed(form::kConnectionClosed, "connection lost: " + port_text::system_message(error));
        return;
    }
}

void Win32NetworkPort::failed(int number, const std::string& why) {
    if (state_ == State::Failed || state_ == State::Lost || state_ == State::Closed) return;
    state_ = number == form::kConnectionClosed ? State::Lost : State::Failed;
    // What came before the end stays to be read (half a reply shows in the
    // traffic), then the failure is told.
    pending_ = form::PortError(number, why, false, name_);
    unsent_.clear();
    close_socket();
}

void Win32NetworkPort::throw_pending() {
    if (!pending_) return;
    const form::PortError e = *pending_;
    pending_.reset();
    throw e;
}

void Win32NetworkPort::write(std::string_view bytes) {
    if (!is_open()) throw form::PortError(form::kPortNotOpen, "port not open");
    progress();
    throw_pending();
    // A connection lost and told: this request connects again. One that
    // could not be made is not tried again until the port is opened anew.
    if (state_ == State::Lost) {
        connect_to_host();
        throw_pending();
    }
    if (state_ == State::Failed) throw form::PortError(form::kHostUnreachable, "no connection", false, name_);
    unsent_.append(bytes);
    flush();
    throw_pending();
}

int Win32NetworkPort::waiting_count() {
    if (!is_open()) return 0;
    progress();
    if (!received_.empty()) return static_cast<int>(received_.size());
    throw_pending();
    return 0;
}

std::string Win32NetworkPort::read_all() {
    if (!is_open()) return {};
    progress();
    if (!received_.empty()) return std::exchange(received_, {});
    throw_pending();
    return {};
}

}  // namespace vor3::win32
