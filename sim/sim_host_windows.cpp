// vor3-sensor-sim on Windows: a TCP port of the loopback address only, as
// Windows has no pseudo-terminals; waited on with Winsock's select.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "sim/line_service.h"
#include "sim/sim_host.h"

namespace vor3::sim {

namespace {

HostFailure socket_failure(const std::string& what) {
    return HostFailure(what + ": Winsock error " + std::to_string(WSAGetLastError()));
}

struct Winsock {
    Winsock() {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw HostFailure("Winsock did not start");
    }
    ~Winsock() { WSACleanup(); }
};

struct Socket {
    SOCKET s = INVALID_SOCKET;
    ~Socket() {
        if (s != INVALID_SOCKET) closesocket(s);
    }
};

// Fault switches typed on standard input, read by a thread of their own
// (a console or a pipe cannot be waited on with select) and taken by the
// loop between two steps.
class Control {
public:
    Control() : reader_([this] { read(); }) { reader_.detach(); }
    std::string take() {
        std::lock_guard<std::mutex> hold(mutex_);
        return std::exchange(text_, {});
    }

private:
    void read() {
        std::string line;
        while (std::getline(std::cin, line)) {
            std::lock_guard<std::mutex> hold(mutex_);
            text_ += line + '\n';
        }
    }
    std::mutex mutex_;
    std::string text_;
    std::thread reader_;
};

// Serves one connection; returns when it ends.
void serve_connection(SOCKET connection, LineService& line, Control& control) {
    u_long non_blocking = 1;
    ioctlsocket(connection, FIONBIO, &non_blocking);
    // Each byte goes out at its time on the line.
    const BOOL on = TRUE;
    setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    for (;;) {
        for (const auto& said : line.take_control(control.take())) std::cout << said << std::endl;
        // At most 20 ms asleep, so fault switches are taken soon.
        double wait = line.wait_ms(monotonic_ms());
        if (wait < 0 || wait > 20) wait = 20;
        const auto whole = static_cast<long>(std::ceil(wait));
        timeval bound{whole / 1000, (whole % 1000) * 1000};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(connection, &readable);
        if (select(0, &readable, nullptr, nullptr, &bound) == SOCKET_ERROR) return;
        if (FD_ISSET(connection, &readable)) {
            char buf[512];
            const int n = recv(connection, buf, sizeof buf, 0);
            if (n == 0 || (n < 0 && WSAGetLastError() != WSAEWOULDBLOCK)) return;
            if (n > 0) line.take_in(std::string_view(buf, static_cast<std::size_t>(n)), monotonic_ms(), true);
        }
        const auto due = line.take_due(monotonic_ms());
        // A client whose queue is full is not listening: the bytes are lost.
        if (!due.bytes.empty() && send(connection, due.bytes.data(), static_cast<int>(due.bytes.size()), 0) < 0 &&
            WSAGetLastError() != WSAEWOULDBLOCK)
            return;
        if (due.close) return;
    }
}

}  // namespace

int serve(const PtyOptions& options) {
    if (options.tcp_port < 0)
        throw HostFailure("Windows has no pseudo-terminals: serve a TCP port with --tcp PORT (0: any free one)",
                          kBadArguments);
    if (!options.link.empty())
        throw HostFailure("--link needs a pseudo-terminal, which Windows has not", kBadArguments);
    Winsock winsock;
    Socket listener;
    listener.s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener.s == INVALID_SOCKET) throw socket_failure("socket failed");
    // Only this machine may reach the simulated sensor; no other program
    // may take the port from under it.
    const BOOL on = TRUE;
    setsockopt(listener.s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(options.tcp_port));
    if (bind(listener.s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw socket_failure("cannot take TCP port " + std::to_string(options.tcp_port));
    if (listen(listener.s, 8) != 0) throw socket_failure("listen failed");
    int size = sizeof address;
    getsockname(listener.s, reinterpret_cast<sockaddr*>(&address), &size);
    std::cout << (options.modbus_tcp ? "modbus-tcp" : "tcp") << "://127.0.0.1:" << ntohs(address.sin_port) << std::endl;
    LineService line(options);
    Control control;
    // One connection after the other: a serial device server has one line.
    for (;;) {
        Socket connection;
        connection.s = accept(listener.s, nullptr, nullptr);
        if (connection.s == INVALID_SOCKET) continue;
        serve_connection(connection.s, line, control);
        line.end_connection();
    }
}

}  // namespace vor3::sim
#endif
