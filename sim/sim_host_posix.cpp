// vor3-sensor-sim on POSIX: a pseudo-terminal, or a TCP port of the
// loopback address, waited on with ppoll.
#ifndef _WIN32
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#if __has_include(<pty.h>)
#include <pty.h>
#else
#include <util.h>
#endif

#include <cerrno>
#include <cmath>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "sim/line_service.h"
#include "sim/sim_host.h"

namespace vor3::sim {

namespace {

using Failure = HostFailure;

Failure system_failure(const std::string& what) { return Failure(what + ": " + std::strerror(errno)); }

// The signal only has to interrupt ppoll(); that it arrived is all we need.
void on_stop_signal(int) {}

// SIGINT and SIGTERM stay blocked except while waiting in ppoll(), so they
// end the program only between two steps, never in the middle of one.
sigset_t stop_signals_while_waiting() {
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigset_t stop, waiting;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    sigprocmask(SIG_BLOCK, &stop, &waiting);
    sigdelset(&waiting, SIGINT);
    sigdelset(&waiting, SIGTERM);
    return waiting;
}

class Terminal {
public:
    Terminal() {
        if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) throw system_failure("openpty failed");
        // Holding the slave side ourselves keeps the master usable (no EIO,
        // no hang-up) while no client has the device open.
        termios raw{};
        if (tcgetattr(slave_, &raw) != 0) throw system_failure("tcgetattr failed");
        cfmakeraw(&raw);
        if (tcsetattr(slave_, TCSANOW, &raw) != 0) throw system_failure("tcsetattr failed");
        // A reply nobody reads must not stall the simulator.
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        const char* name = ttyname(slave_);
        if (name == nullptr) throw system_failure("ttyname failed");
        path_ = name;
    }
    ~Terminal() {
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    int master() const { return master_; }
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// A symbolic link to the terminal for as long as the program runs.
class Link {
public:
    Link(std::string path, std::string target) : path_(std::move(path)), target_(std::move(target)) {
        if (path_.empty()) return;
        struct stat st {};
        if (lstat(path_.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode))
                throw Failure("--link: " + path_ + " exists and is not a symbolic link", kBadArguments);
            if (unlink(path_.c_str()) != 0) throw system_failure("cannot replace " + path_);
        }
        if (symlink(target_.c_str(), path_.c_str()) != 0) throw system_failure("cannot create link " + path_);
    }
    ~Link() {
        if (path_.empty()) return;
        std::vector<char> buf(target_.size() + 2);
        const ssize_t n = readlink(path_.c_str(), buf.data(), buf.size());
        // Someone may have pointed the link elsewhere meanwhile; leave theirs.
        if (n >= 0 && std::string(buf.data(), static_cast<std::size_t>(n)) == target_) unlink(path_.c_str());
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

private:
    std::string path_;
    std::string target_;
};

// A TCP port on the loopback address only: nothing beyond this machine can
// reach the simulated sensor.
class Listener {
public:
    explicit Listener(int port) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0) throw system_failure("socket failed");
        const int on = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw system_failure("cannot take TCP port " + std::to_string(port));
        if (listen(fd_, 8) != 0) throw system_failure("listen failed");
        socklen_t size = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { close(fd_); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    int fd() const { return fd_; }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

class Server {
public:
    explicit Server(const PtyOptions& options) : line_(options) {}

    // Serves the pseudo-terminal until a stop signal arrives.
    void serve_terminal(int master, const sigset_t& waiting_mask) { serve(master, false, waiting_mask); }

    // Serves the connections that come, one after the other (a serial
    // device server has one line), until a stop signal arrives.
    void serve_connections(const Listener& listener, const sigset_t& waiting_mask) {
        for (;;) {
            if (!wait_for(listener.fd(), nullptr, waiting_mask)) return;
            const int connection = accept4(listener.fd(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (connection < 0) continue;
            // Each byte goes out at its time on the line: without this the
            // kernel holds the rest of a reply until the client acknowledges
            // its first byte, up to 40 ms later.
            const int on = 1;
            setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            const bool go_on = serve(connection, true, waiting_mask);
            close(connection);
            line_.end_connection();
            if (!go_on) return;
        }
    }

private:
    // Waits for input on `fd` (or the control channel) until `bound`;
    // false when a stop signal came.
    bool wait_for(int fd, const timespec* bound, const sigset_t& waiting_mask) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {control_, POLLIN, 0}};
        if (ppoll(fds, control_ >= 0 ? 2 : 1, bound, &waiting_mask) < 0) {
            if (errno == EINTR) return false;
            throw system_failure("poll failed");
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) take_control();
        revents_ = fds[0].revents;
        return true;
    }

    // Serves one line; true when a network connection ended (closed by the
    // far end, or by the fault that closes it), false on a stop signal.
    bool serve(int fd, bool network, const sigset_t& waiting_mask) {
        for (;;) {
            timespec timeout{};
            timespec* bound = nullptr;
            const double wait = line_.wait_ms(monotonic_ms());
            if (wait >= 0) {
                const auto whole = static_cast<long long>(std::ceil(wait));
                timeout = {static_cast<time_t>(whole / 1000), static_cast<long>(whole % 1000) * 1'000'000};
                bound = &timeout;
            }
            if (!wait_for(fd, bound, waiting_mask)) return false;
            if (revents_ & POLLIN) {
                if (!take_in(fd, network)) return true;
            } else if (revents_ & (POLLERR | POLLHUP)) {
                if (network) return true;
                throw Failure("the pseudo-terminal failed");
            }
            if (!send_due(fd, network)) return true;
        }
    }

    // False when the far end of a connection has closed it.
    bool take_in(int fd, bool network) {
        char buf[512];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) return !network || (n < 0 && errno == EAGAIN);
        line_.take_in(std::string_view(buf, static_cast<std::size_t>(n)), monotonic_ms(), network);
        return true;
    }

    // Lines of fault switches on standard input replace the faults in force,
    // so a long run can switch them without restarting the sensor.
    void take_control() {
        char buf[512];
        const ssize_t n = read(control_, buf, sizeof buf);
        if (n <= 0) {
            control_ = -1;  // nobody will tell us more
            return;
        }
        for (const auto& said : line_.take_control(std::string_view(buf, static_cast<std::size_t>(n))))
            std::cout << said << std::endl;
    }

    // False when the connection is to close (a fault) or has gone.
    bool send_due(int fd, bool network) {
        const auto due = line_.take_due(monotonic_ms());
        // When the client's input queue is full nobody is listening: like
        // on a line without a receiver, the bytes are lost.
        if (!due.bytes.empty() && write(fd, due.bytes.data(), due.bytes.size()) < 0 && errno != EAGAIN) {
            if (network) return false;
            throw system_failure("write failed");
        }
        return !due.close;
    }

    int control_ = STDIN_FILENO;
    LineService line_;
    short revents_ = 0;
};

}  // namespace

int serve(const PtyOptions& options) {
    const sigset_t waiting_mask = stop_signals_while_waiting();
    Server server(options);
    if (options.tcp_port >= 0) {
        // A client gone in the middle of a reply must not end the program.
        signal(SIGPIPE, SIG_IGN);
        Listener listener(options.tcp_port);
        std::cout << (options.modbus_tcp ? "modbus-tcp" : "tcp") << "://127.0.0.1:" << listener.port() << std::endl;
        server.serve_connections(listener, waiting_mask);
        return 0;
    }
    Terminal terminal;
    Link link(options.link, terminal.path());
    std::cout << terminal.path() << std::endl;
    server.serve_terminal(terminal.master(), waiting_mask);
    return 0;
}

}  // namespace vor3::sim
#endif
