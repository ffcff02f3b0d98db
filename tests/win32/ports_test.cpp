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
#include <sstream>
#include <string>
#include <vector>

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
    explicit Listener(int backlog = 4) {
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
        listen(listening_, backlog);
        u_long non_blocking = 1;
        ioctlsocket(listening_, FIONBIO, &non_blocking);
    }
    ~Listener() {
        drop();
        for (SOCKET s : queued_)
            if (s != INVALID_SOCKET) closesocket(s);
        closesocket(listening_);
        WSACleanup();
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    int port() const { return port_; }
    // Connections the listener never takes, until its queue is full.
    void fill_queue() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<u_short>(port_));
        for (SOCKET& s : queued_) {
            s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            u_long non_blocking = 1;
            ioctlsocket(s, FIONBIO, &non_blocking);
            connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
        Sleep(100);
    }
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
    SOCKET queued_[3] = {INVALID_SOCKET, INVALID_SOCKET, INVALID_SOCKET};
    int port_ = 0;
};

// A port nothing listens on: one a listener had a moment ago.
int closed_port() { return Listener().port(); }

// Under wine, sockets are Linux's: a listener with a full queue drops new
// connection requests unanswered, where Windows refuses them.
bool under_wine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

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
    Listener full(0);
    if (under_wine()) full.fill_queue();
    const struct {
        const char* what;
        std::string name;
        int number;
    } cases[] = {
        {"nothing listens", "tcp://127.0.0.1:" + std::to_string(closed_port()), form::kConnectionRefused},
        {"a name that means nothing", "modbus-tcp://no-such-host.invalid", form::kHostNotFound},
        {"no answer", under_wine() ? "tcp://127.0.0.1:" + std::to_string(full.port()) : "", form::kConnectTimedOut},
    };
    for (const auto& c : cases) {
        if (c.name.empty()) continue;
        SCOPED_TRACE(c.what);
        Win32NetworkPort port;
        port.set_name(c.name);
        const auto started = std::chrono::steady_clock::now();
        port.set_open(true);
        int number = 0;
        EXPECT_TRUE(eventually([&] { return (number = thrown([&] { port.waiting_count(); })) != 0; }));
        EXPECT_EQ(number, c.number);
        if (number == form::kConnectTimedOut) {
            EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(link::kConnectTimeoutMs));
        }
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

// The COM ports tools/wine_com_pty.sh joins to a pseudo-terminal pair.
std::vector<std::string> joined_ports() {
    std::vector<std::string> names;
    const char* listed = std::getenv("VOR3_COM_PORTS");
    std::stringstream in(listed ? listed : "");
    for (std::string name; std::getline(in, name, ',');) names.push_back(name);
    return names;
}

// All that reaches `port` within five seconds, until `count` bytes came.
std::string receive(Win32SerialPort& port, std::size_t count) {
    std::string got;
    eventually([&] {
        if (port.waiting_count() > 0) got += port.read_all();
        return got.size() >= count;
    });
    return got;
}

// Over a real line (a pseudo-terminal pair under wine, where parity cannot
// be set): the settings reach the driver, a request's worth of bytes passes
// both ways unchanged (zero bytes and the flow-control characters too), and
// another spelling of the port's name opens the same line.
TEST(Win32SerialPortTest, CarriesBytesBothWaysOverAJoinedPairUnderAnyName) {
    const auto names = joined_ports();
    if (names.size() < 2) GTEST_SKIP() << "no joined COM ports: run under tools/wine_com_pty.sh COM5 COM6 --";
    Win32SerialPort a;
    Win32SerialPort b;
    a.set_device_path(names[0]);
    b.set_device_path("\\\\.\\" + names[1]);
    a.set_settings("19200,N,8,2");
    b.set_settings("19200,N,8,2");
    a.set_open(true);
    b.set_open(true);
    const struct {
        const char* settings;
        form::SerialSettings held;
    } settings[] = {
        {"19200,N,8,2", {19200, 'N', 8, 2}},
        {"115200,N,8,1", {115200, 'N', 8, 1}},
        {"1200,N,8,1", {1200, 'N', 8, 1}},
    };
    for (const auto& c : settings) {
        SCOPED_TRACE(c.settings);
        a.set_settings(c.settings);
        const auto held = a.line_settings();
        ASSERT_TRUE(held);
        EXPECT_EQ(held->baud, c.held.baud);
        EXPECT_EQ(held->parity, c.held.parity);
        EXPECT_EQ(held->data_bits, c.held.data_bits);
        EXPECT_EQ(held->stop_bits, c.held.stop_bits);
    }
    // Refused by the driver (a pseudo-terminal carries eight data bits
    // only), the settings leave the port open as it was.
    EXPECT_EQ(thrown([&] { a.set_settings(under_wine() ? "1200,N,7,1" : "1200,X,8,1"); }), form::kPortSettingsRefused);
    EXPECT_TRUE(a.is_open());
    EXPECT_EQ(a.line_settings()->data_bits, 8);

    std::string request;
    for (int i = 0; i < 300; ++i) request += static_cast<char>(i * 7);
    const auto started = std::chrono::steady_clock::now();
    a.write(request.substr(0, 100));
    a.write(request.substr(100));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(100)) << "writes wait";
    EXPECT_EQ(receive(b, request.size()), request);
    EXPECT_EQ(b.waiting_count(), 0);
    b.write(std::string("\x00\x11\x13\xff", 4));
    ASSERT_TRUE(eventually([&] { return a.waiting_count() == 4; }));
    EXPECT_EQ(a.read_all(), std::string("\x00\x11\x13\xff", 4));

    // The port under another spelling of its name is the same line.
    a.set_open(false);
    Win32SerialPort c;
    c.set_device_path("\\\\.\\com" + names[0].substr(3));
    c.set_settings("9600,N,8,1");
    c.set_open(true);
    c.write("\x05");
    EXPECT_EQ(receive(b, 1), "\x05");
}

}  // namespace
}  // namespace vor3::win32
