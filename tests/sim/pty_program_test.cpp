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
#include <string>
#include <vector>

#include "sim_test_support.h"

extern char** environ;

namespace vor3::sim {
namespace {

// Reads from fd until it has `size` bytes or a newline (size 0), or until a
// generous bound passes.
std::string read_from(int fd, std::size_t size) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string got;
    while (size == 0 ? got.find('\n') == std::string::npos : got.size() < size) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        char buf[256];
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
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
        int out[2], in[2];
        EXPECT_EQ(pipe(out), 0);
        EXPECT_EQ(pipe(in), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(in[0]);
        stdout_ = out[0];
        stdin_ = in[1];
    }
    ~SimProgram() {
        if (pid_ > 0) stop();
        close(stdout_);
        if (stdin_ >= 0) close(stdin_);
    }
    // Writes a line to the program's standard input.
    void tell(const std::string& line) {
        const std::string text = line + "\n";
        EXPECT_EQ(write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void close_input() {
        close(stdin_);
        stdin_ = -1;
    }
    std::string first_line() {
        const std::string text = read_from(stdout_, 0);
        return text.substr(0, text.find('\n'));
    }
    int stop() {
        kill(pid_, SIGTERM);
        return exit_status();
    }
    // -1 when the program did not exit by itself.
    int exit_status() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    int stdin_ = -1;
};

// Pseudo-terminals refuse parity and 7 data bits, so the client uses 8N1.
int open_client(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return fd;
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, B9600);
    t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | CSTOPB)) | CS8 | CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

std::string exchange(const std::string& path, const std::string& request, std::size_t reply_size) {
    const int fd = open_client(path);
    if (fd < 0) return "cannot open " + path;
    EXPECT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    std::string reply = read_from(fd, reply_size);
    close(fd);
    return reply;
}

struct ProgramRun {
    std::vector<std::string> args;
    bool through_link;
    std::string request;
    std::string reply;
};

TEST(SensorSimProgram, AnswersOnItsTerminal) {
    char dir[] = "/tmp/vor3-sim-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/sensor";
    ASSERT_EQ(symlink("/nonexistent", link.c_str()), 0);  // a stale link is replaced
    const std::string registers = "1234006900000001032004B0000A0014000000000000";
    const ProgramRun runs[] = {
        {{}, false, test::rtu("01030000000B"), test::rtu("010316" + registers)},
        {{"--mode", "ascii", "--address", "3", "--link", link}, true, test::ascii("03030000000B"),
         test::ascii("030316" + registers)},
    };
    for (const ProgramRun& run : runs) {
        SimProgram program(run.args);
        const std::string path = program.first_line();
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(link::bytes_to_hex(exchange(run.through_link ? link : path, run.request, run.reply.size())),
                  link::bytes_to_hex(run.reply));
        EXPECT_EQ(program.stop(), 0);
    }
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0) << "link left behind";
    rmdir(dir);
}

TEST(SensorSimProgram, FaultsSwitchWhileItRuns) {
    SimProgram program({"--silent"});
    const std::string path = program.first_line();
    ASSERT_FALSE(path.empty());
    const std::string request = test::rtu("010300060001");
    const std::string reply = test::rtu("010302000A");
    program.tell("--bogus");
    EXPECT_EQ(program.first_line().rfind("faults refused: ", 0), 0u);
    program.tell("--echo --split 2");  // replaces the silence
    EXPECT_EQ(program.first_line(), "faults set");
    EXPECT_EQ(link::bytes_to_hex(exchange(path, request, request.size() + reply.size())),
              link::bytes_to_hex(request + reply));
    program.tell("");
    EXPECT_EQ(program.first_line(), "faults set");
    EXPECT_EQ(link::bytes_to_hex(exchange(path, request, reply.size())), link::bytes_to_hex(reply));

    // A new request and its repeat at once: the repeat's quick answer waits
    // for the slow first one, as from a sensor with one transmitter.
    program.tell("--answer-ms 300 --repeat-answer-ms 0 --seed 7");
    EXPECT_EQ(program.first_line(), "faults set");
    const int fd = open_client(path);
    ASSERT_GE(fd, 0);
    const std::string twice = test::rtu("010300070001") + test::rtu("010300070001");
    const std::string answers = test::rtu("0103020014") + test::rtu("0103020014");
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(write(fd, twice.data(), twice.size()), static_cast<ssize_t>(twice.size()));
    std::string both = read_from(fd, 1);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(290));
    if (both.size() < answers.size()) both += read_from(fd, answers.size() - both.size());
    EXPECT_EQ(link::bytes_to_hex(both), link::bytes_to_hex(answers));
    close(fd);
    program.tell("");
    EXPECT_EQ(program.first_line(), "faults set");

    program.close_input();  // the end of its input does not end the sensor
    EXPECT_EQ(link::bytes_to_hex(exchange(path, request, reply.size())), link::bytes_to_hex(reply));
    EXPECT_EQ(program.stop(), 0);
}

TEST(SensorSimProgram, RefusesBadArguments) {
    SimProgram program({"--address", "300"});
    EXPECT_EQ(program.first_line(), "");
    EXPECT_EQ(program.exit_status(), 2);
}

}  // namespace
}  // namespace vor3::sim
