// vor3-sensor-sim: the simulated room sensor on a pseudo-terminal, so the
// configuration program (or any Modbus master) can talk to it like to a
// sensor on a serial adapter.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#if __has_include(<pty.h>)
#include <pty.h>
#else
#include <util.h>
#endif

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/pty_options.h"
#include "sim/sensor_line.h"

namespace {

using namespace vor3::sim;

constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

struct Failure : std::runtime_error {
    Failure(const std::string& what, int status = kFailed)
        : std::runtime_error(what), status(status) {}
    int status;
};

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
            if (!S_ISLNK(st.st_mode)) throw Failure("--link: " + path_ + " exists and is not a symbolic link", kBadArguments);
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

double monotonic_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

class Server {
public:
    Server(int master, const PtyOptions& options)
        : master_(master), sensor_(options.framing, options.addresses) {
        sensor_.set_faults(options.faults);
        // The sensor's usual line settings: 8E1 for RTU, 7E1 for ASCII.
        const int data_bits = options.framing == Framing::Ascii ? 7 : 8;
        char_ms_ = char_time_ms({options.baud, 'E', data_bits, 1});
    }

    // Serves requests until a stop signal arrives.
    void run(const sigset_t& waiting_mask) {
        for (;;) {
            pollfd fds[2] = {{master_, POLLIN, 0}, {control_, POLLIN, 0}};
            pollfd& fd = fds[0];
            timespec timeout{};
            timespec* bound = nullptr;
            if (!outgoing_.empty()) {
                const double wait = std::max(0.0, outgoing_.front().due_ms - monotonic_ms());
                const auto whole = static_cast<long long>(std::ceil(wait));
                timeout = {static_cast<time_t>(whole / 1000), static_cast<long>(whole % 1000) * 1'000'000};
                bound = &timeout;
            }
            if (ppoll(fds, control_ >= 0 ? 2 : 1, bound, &waiting_mask) < 0) {
                if (errno == EINTR) return;
                throw system_failure("poll failed");
            }
            if (fds[1].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) take_control();
            if (fd.revents & POLLIN) take_in();
            else if (fd.revents & (POLLERR | POLLHUP)) throw Failure("the pseudo-terminal failed");
            send_due();
        }
    }

private:
    struct Outgoing {
        double due_ms;
        char byte;
    };

    void take_in() {
        char buf[512];
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0) return;
        const double now = monotonic_ms();
        for (const Reply& reply : sensor_.receive({buf, static_cast<std::size_t>(n)}, std::llround(now))) {
            const double begin = std::max(now + reply.delay_ms, sensor_free_ms_);
            const std::vector<double> times = byte_arrivals(reply, begin, char_ms_);
            for (std::size_t i = 0; i < times.size(); ++i) outgoing_.push_back({times[i], reply.bytes[i]});
            if (!times.empty()) sensor_free_ms_ = times.back();
        }
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
        control_text_.append(buf, static_cast<std::size_t>(n));
        for (auto end = control_text_.find('\n'); end != std::string::npos; end = control_text_.find('\n')) {
            std::istringstream line(control_text_.substr(0, end));
            control_text_.erase(0, end + 1);
            std::vector<std::string> words{std::istream_iterator<std::string>(line), {}};
            try {
                const FaultLine set = parse_fault_line(words);
                if (set.addresses.empty()) sensor_.set_faults(set.faults);
                for (int a : set.addresses) sensor_.sensor(a).faults() = set.faults;
                std::cout << "faults set" << std::endl;
            } catch (const std::exception& e) {
                std::cout << "faults refused: " << e.what() << std::endl;
            }
        }
        // A line without an end that grows without bound is no command.
        if (control_text_.size() > 4096) control_text_.clear();
    }

    void send_due() {
        const double now = monotonic_ms();
        std::string due;
        while (!outgoing_.empty() && outgoing_.front().due_ms <= now) {
            due.push_back(outgoing_.front().byte);
            outgoing_.pop_front();
        }
        // When the client's input queue is full nobody is listening: like
        // on a line without a receiver, the bytes are lost.
        if (!due.empty() && write(master_, due.data(), due.size()) < 0 && errno != EAGAIN)
            throw system_failure("write failed");
    }

    int master_;
    int control_ = STDIN_FILENO;
    std::string control_text_;
    SensorLine sensor_;
    double char_ms_ = 1;
    double sensor_free_ms_ = 0;
    std::deque<Outgoing> outgoing_;
};

int run(const PtyOptions& options) {
    const sigset_t waiting_mask = stop_signals_while_waiting();
    Terminal terminal;
    Link link(options.link, terminal.path());
    Server server(terminal.master(), options);
    std::cout << terminal.path() << std::endl;
    server.run(waiting_mask);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    PtyOptions options;
    try {
        options = parse_pty_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "vor3-sensor-sim: " << e.what() << " (see --help)\n";
        return kBadArguments;
    }
    if (options.help) {
        std::cout << pty_usage();
        return 0;
    }
    try {
        return run(options);
    } catch (const Failure& e) {
        std::cerr << "vor3-sensor-sim: " << e.what() << '\n';
        return e.status;
    }
}
