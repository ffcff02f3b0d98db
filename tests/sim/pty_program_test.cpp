// Runs the built vor3-sensor-sim and talks to it through its pseudo-terminal
// the way a Modbus master on a serial adapter would.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim_test_support.h"

extern char** environ;

namespace vor3::sim {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBound = std::chrono::seconds(5);

int ms_left(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// Reads from fd until `done` holds for what was read, or the bound passes.
std::string read_until(int fd, const std::function<bool(const std::string&)>& done) {
    const auto deadline = Clock::now() + kBound;
    std::string got;
    while (!done(got)) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, ms_left(deadline)) <= 0) break;
        char buf[256];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

class SimProgram {
public:
    explicit SimProgram(std::vector<std::string> args) {
        args.insert(args.begin(), VOR3_SENSOR_SIM_PATH);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        stdout_ = out[0];
        if (failed != 0) throw std::runtime_error("cannot start " + args[0]);
    }
    ~SimProgram() {
        if (pid_ > 0) stop();
        close(stdout_);
    }

    std::string first_line() {
        const std::string text = read_until(stdout_, [](const std::string& s) { return s.find('\n') != s.npos; });
        return text.substr(0, text.find('\n'));
    }
    // Exit status, or -1 when the program did not exit normally.
    int stop() {
        kill(pid_, SIGTERM);
        return wait();
    }
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
};

int open_raw_9600(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return fd;
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | CSTOPB)) | CS8 | CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

std::string exchange(const std::string& path, const std::string& request, std::size_t reply_size) {
    const int fd = open_raw_9600(path);
    EXPECT_GE(fd, 0) << path;
    if (fd < 0) return {};
    EXPECT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    std::string reply = read_until(fd, [&](const std::string& s) { return s.size() >= reply_size; });
    close(fd);
    return reply;
}

const char kRegisters[] = "0103161234006900000001032004B0000A0014000000000000";

TEST(SensorSimProgram, AnswersRtuOnItsTerminal) {
    SimProgram program({});
    const std::string path = program.first_line();
    ASSERT_FALSE(path.empty());
    const std::string expected = test::rtu(kRegisters);
    EXPECT_EQ(link::bytes_to_hex(exchange(path, test::rtu("01030000000B"), expected.size())),
              link::bytes_to_hex(expected));
    EXPECT_EQ(program.stop(), 0);
}

TEST(SensorSimProgram, AnswersAsciiThroughItsLink) {
    char dir_template[] = "/tmp/vor3-sim-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    const std::string link_path = std::string(dir_template) + "/sensor";
    ASSERT_EQ(symlink("/nonexistent", link_path.c_str()), 0);  // a stale link is replaced
    {
        SimProgram program({"--mode", "ascii", "--address", "3", "--link", link_path});
        ASSERT_FALSE(program.first_line().empty());
        const std::string expected = test::ascii(std::string("03") + (kRegisters + 2));
        EXPECT_EQ(exchange(link_path, test::ascii("03030000000B"), expected.size()), expected);
        EXPECT_EQ(program.stop(), 0);
    }
    struct stat st {};
    EXPECT_NE(lstat(link_path.c_str(), &st), 0) << "link left behind";
    rmdir(dir_template);
}

TEST(SensorSimProgram, RefusesBadArguments) {
    SimProgram program({"--address", "300"});
    EXPECT_EQ(program.first_line(), "");
    EXPECT_EQ(program.wait(), 2);
}

}  // namespace
}  // namespace vor3::sim
