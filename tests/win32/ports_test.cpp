// The Windows ports: the Winsock port against a listener of the test's own,
// the COM port's names and failures, and, where the environment names a
// pair of joined COM ports (tools/wine_com_pty.sh), bytes over a real line.
#include <winsock2.h>

#include <windows.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "win32/com_ports.h"
#include "win32/win32_network_port.h"
#include "win32/win32_serial_port.h"

namespace vor3::win32 {
namespace {

// Polls `done` until it holds, five seconds at most.
bool eventually(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        Sleep(2);
    }
    return true;
}

// The error number a call throws; 0 where it throws none.
int thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (const form::PortError& e) {
        return e.number;
    }
    return 0;
}

// A TCP server on the loopback for one connection at a time, its socket
// non-blocking so that the test never hangs on it.
class Listener {
public:
    Listener() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listening_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listening_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        getsockname(listening_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        listen(listening_, 4);
        u_long non_blocking = 1;
        ioctlsocket(listening_, FIONBIO, &non_blocking);
    }
    ~Listener() {
        drop();
        closesocket(listening_);
        WSACleanup();
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    int port() const { return port_; }
    // Takes the next connection; false where none came.
    bool accept_one() {
        drop();
        return eventually([&] {
            client_ = accept(listening_, nullptr, nullptr);
            return client_ != INVALID_SOCKET;
        });
    }
    void send_text(const std::string& bytes) { ::send(client_, bytes.data(), static_cast<int>(bytes.size()), 0); }
    // What arrives until `count` bytes have come (or none more for five seconds).
    std::string receive(std::size_t count) {
        std::string got;
        eventually([&] {
            char buffer[512];
            const int n = recv(client_, buffer, sizeof buffer, 0);
            if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
            return got.size() >= count;
        });
        return got;
    }
    void drop() {
        if (client_ != INVALID_SOCKET) closesocket(client_);
        client_ = INVALID_SOCKET;
    }

private:
    SOCKET listening_ = INVALID_SOCKET;
    SOCKET client_ = INVALID_SOCKET;
    int port_ = 0;
};

// A port nothing listens on: one a listener had a moment ago.
int closed_port() { return Listener().port(); }

TEST(Win32NetworkPortTest, CarriesBytesBothWaysAndConnectsAgainAfterThePeerClosed) {
    for (const std::string scheme : {"tcp", "modbus-tcp"}) {
        SCOPED_TRACE(scheme);
        Listener server;
        Win32NetworkPort port;
        port.set_name(scheme + "://127.0.0.1:" + std::to_string(server.port()));
        EXPECT_EQ(port.carrier(), scheme == "tcp" ? form::Carrier::SerialServer : form::Carrier::ModbusTcp);
        port.set_open(true);
        // Written before the connection is made: it leaves once it is.
        port.write("\x01\x03");
        port.write(std::string("\x00\x01", 2));
        ASSERT_TRUE(server.accept_one());
        EXPECT_TRUE(eventually([&] { return port.waiting_count() >= 0 && port.round_trip_ms() >= 0; }));
        EXPECT_EQ(server.receive(4), std::string("\x01\x03\x00\x01", 4));
        server.send_text("\x01\x83\x02");
        ASSERT_TRUE(eventually([&] { return port.waiting_count() == 3; }));
        EXPECT_EQ(port.read_all(), "\x01\x83\x02");
        EXPECT_EQ(port.waiting_count(), 0);

        // Half a reply, then the peer closes: the half is read, the loss
        // told once, and the port stays open.
        port.write("\x02");
        EXPECT_EQ(server.receive(1), "\x02");
        server.send_text("\x02\x03");
        server.drop();
        std::string got;
        EXPECT_TRUE(eventually([&] {
            if (port.waiting_count() > 0) got += port.read_all();
            return got.size() >= 2;
        }));
        EXPECT_EQ(got, "\x02\x03");
        int lost = 0;
        EXPECT_TRUE(eventually([&] { return (lost = thrown([&] { port.waiting_count(); })) != 0; }));
        EXPECT_EQ(lost, form::kConnectionClosed);
        EXPECT_EQ(thrown([&] { port.waiting_count(); }), 0);
        EXPECT_TRUE(port.is_open());

        // The next request connects again and goes out.
        port.write("\x03");
        ASSERT_TRUE(server.accept_one());
        EXPECT_TRUE(eventually([&] { return port.waiting_count() >= 0 && port.round_trip_ms() >= 0; }));
        EXPECT_EQ(server.receive(1), "\x03");
    }
}

// A connection that cannot be made is told once, by the next call; the
// port then refuses writes rather than trying again behind the caller.
TEST(Win32NetworkPortTest, AConnectionNotMadeIsToldOnceWithItsNumber) {
    const struct {
        const char* what;
        std::string name;
        int number;
    } cases[] = {
        {"nothing listens", "tcp://127.0.0.1:" + std::to_string(closed_port()), form::kConnectionRefused},
        {"a name that means nothing", "modbus-tcp://no-such-host.invalid", form::kHostNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Win32NetworkPort port;
        port.set_name(c.name);
        port.set_open(true);
        int number = 0;
        EXPECT_TRUE(eventually([&] { return (number = thrown([&] { port.waiting_count(); })) != 0; }));
        EXPECT_EQ(number, c.number);
        EXPECT_TRUE(form::connection_not_made(number));
        EXPECT_EQ(thrown([&] { port.read_all(); }), 0);
        EXPECT_EQ(thrown([&] { port.write("\x01"); }), form::kHostUnreachable);
    }
}

TEST(Win32SerialPortTest, EverySpellingOfAComPortIsOnePort) {
    const struct {
        std::string name;
        int number;
        std::wstring file;
    } cases[] = {
        {"COM3", 3, L"\\\\.\\COM3"},           {"com12", 12, L"\\\\.\\COM12"},
        {"\\\\.\\COM12", 12, L"\\\\.\\COM12"}, {"\\\\.\\com256", 256, L"\\\\.\\COM256"},
        {"COM0", 0, L"\\\\.\\COM0"},           {"COM03", 0, L"\\\\.\\COM03"},
        {"COM1X", 0, L"\\\\.\\COM1X"},         {"CNCA0", 0, L"\\\\.\\CNCA0"},
        {"\\\\.\\CNCB0", 0, L"\\\\.\\CNCB0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(com_number(c.name), c.number);
        EXPECT_EQ(device_file_name(c.name), c.file);
    }
    Win32SerialPort port;
    port.port_list();
    const int number = port.name_port("\\\\.\\COM12");
    EXPECT_EQ(port.name_port("com12"), number);
    EXPECT_EQ(port.port_name(number), "COM12");
    port.set_device_path("\\\\.\\com12");
    EXPECT_EQ(port.device_path(), "COM12");
    EXPECT_EQ(description_from_friendly_name("USB Serial Port (COM12)", "COM12"), "USB Serial Port");
    EXPECT_EQ(description_from_friendly_name("Prolific USB-to-Serial (COM1)", "COM12"),
              "Prolific USB-to-Serial (COM1)");
}

TEST(Win32SerialPortTest, APortThatIsNotThereOrTakenIsToldByNumber) {
    const struct {
        unsigned long error;
        int number;
        const char* what;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, form::kPortInvalid, "no such port: COM7"},
        {ERROR_ACCESS_DENIED, form::kPortInUse, "port in use: COM7"},
        {ERROR_SHARING_VIOLATION, form::kPortInUse, "port in use: COM7"},
    };
    for (const auto& c : cases) {
        const auto e = open_failure(c.error, "COM7");
        EXPECT_EQ(e.number, c.number) << c.what;
        EXPECT_STREQ(e.what(), c.what);
        EXPECT_FALSE(e.permission);
    }
    Win32SerialPort port;
    port.set_device_path("com199");
    try {
        port.set_open(true);
        ADD_FAILURE() << "COM199 opened";
    } catch (const form::PortError& e) {
        EXPECT_EQ(e.number, form::kPortInvalid) << e.what();
        EXPECT_STREQ(e.what(), "no such port: COM199");
    }
    EXPECT_FALSE(port.is_open());
    EXPECT_EQ(thrown([&] { port.write("x"); }), form::kPortNotOpen);
}

}  // namespace
}  // namespace vor3::win32
