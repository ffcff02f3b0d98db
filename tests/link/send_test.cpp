#include <gtest/gtest.h>

#include "link/transmit.h"
#include "sim/sim_test_support.h"
#include "support/expect.h"
#include "support/fake_program.h"

namespace vor3::test {
namespace {

struct Opened : FakeProgram {
    explicit Opened(int mode = 1, bool open = true) {
        f.Combo_Port(5).set_list_index(mode);
        if (open) f.Combo_Port(6).set_list_index(1);
    }
};

TEST(Send, ClosedPortOrStartUpModeSendsNothing) {
    Opened closed(1, false);
    closed.c.g.transfer.request_frame = "010300060001";
    link::send(closed.c);
    link::send(closed.c);
    EXPECT_EQ(closed.msg.shown, (std::vector<std::string>{"Port ist nicht geöffnet", "Port ist nicht geöffnet"}));
    EXPECT_FALSE(closed.f.Timer5.enabled());
    EXPECT_TRUE(closed.f.chk_read_out.enabled());  // the first steps run all the same

    Opened start_up;
    start_up.c.g.link.protocol_mode = "standard_ascii";
    start_up.c.g.transfer.request_frame = "010300060001";
    link::send(start_up.c);
    EXPECT_TRUE(start_up.port.written.empty());
    EXPECT_TRUE(start_up.msg.shown.empty());
    EXPECT_FALSE(start_up.f.Timer5.enabled());
}

// A port failing under a transfer: a device gone or a connection that
// cannot be made closes the link with a report; a connection the gateway
// closed ends the transfer with a report and leaves the port open for the
// next request; one closed while nothing runs is not worth a word.
struct PortFailure {
    const char* name;
    int number;
    bool on_write;  // else noticed by the reply poll, after the first answer
    bool idle;      // no transfer runs when it is noticed
    const char* detail;
};

const PortFailure kPortFailures[] = {
    {"device gone on write", form::kPortIoFailed, true, false,
     "Der Port /dev/ttyUSB0 ist nicht mehr da. Wurde der Adapter abgezogen oder die Gegenstelle beendet?"},
    {"device gone on poll", form::kPortIoFailed, false, false,
     "Der Port /dev/ttyUSB0 ist nicht mehr da. Wurde der Adapter abgezogen oder die Gegenstelle beendet?"},
    {"connection refused", form::kConnectionRefused, false, false,
     "/dev/ttyUSB0 lehnt die Verbindung ab: Dort nimmt nichts Verbindungen an."},
    {"name not found", form::kHostNotFound, false, true,
     "Den Rechner in /dev/ttyUSB0 kennt das Netz nicht (Name nicht gefunden)."},
    {"no answer to connect", form::kConnectTimedOut, true, false,
     "/dev/ttyUSB0 antwortet nicht auf den Verbindungsaufbau (nach 3 s aufgegeben)."},
    {"connection closed mid read", form::kConnectionClosed, false, false,
     "/dev/ttyUSB0 hat die Verbindung während der Übertragung geschlossen. Die nächste Anfrage verbindet neu."},
    {"idle connection closed", form::kConnectionClosed, false, true, nullptr},
};

void PrintTo(const PortFailure& k, std::ostream* os) { *os << k.name; }
class PortFailsUnderTransfer : public ::testing::TestWithParam<PortFailure> {};

TEST_P(PortFailsUnderTransfer, IsReportedAndTheWindowFollows) {
    const PortFailure& k = GetParam();
    Opened o;
    o.port.fail_number = k.number;
    if (!k.idle) {
        o.f.cmd_read_device.press();
        ASSERT_EQ(o.port.written.size(), 1u);
        if (!k.on_write) {
            o.port.incoming = std::string("\x01\x03\x02\x00\x0A\x38\x43", 7);
            o.clock.advance(50);
            ASSERT_TRUE(o.prog.frmState.loaded());
        }
    }
    (k.on_write ? o.port.write_fails : o.port.poll_fails) = true;
    o.clock.advance(1000);  // the repeat, or the reply poll, finds it
    if (!k.detail) {
        EXPECT_TRUE(o.msg.shown.empty());
        EXPECT_TRUE(o.port.open);
        EXPECT_FALSE(o.f.warning_line().visible());
        return;
    }
    EXPECT_EQ(o.msg.shown, (std::vector<std::string>{"COM-Port not available,  " + std::to_string(k.number)}));
    EXPECT_EQ(o.msg.details, (std::vector<std::string>{k.detail}));
    expect_idle(o);
    const bool stays_open = k.number == form::kConnectionClosed;
    EXPECT_EQ((std::vector<bool>{o.port.open, o.c.g.link.port_open, o.f.Combo_Port(6).list_index() == 1,
                                 o.f.cmd_read_device.enabled(), o.f.Timer4.enabled()}),
              std::vector<bool>(5, stays_open));
    if (!k.on_write) {
        EXPECT_EQ(o.f.warning_line().visible(), !k.idle);
    }
    o.clock.advance(5000);
    EXPECT_EQ(o.msg.shown.size(), 1u);
    if (!stays_open) return;
    // The next read goes out on the same port.
    o.port.poll_fails = false;
    const auto sent = o.port.written.size();
    o.f.cmd_read_device.press();
    EXPECT_EQ(o.port.written.size(), sent + 1);
}

INSTANTIATE_TEST_SUITE_P(Failures, PortFailsUnderTransfer, ::testing::ValuesIn(kPortFailures),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

}  // namespace
}  // namespace vor3::test
