#include <gtest/gtest.h>

#include "support/expect.h"
#include "support/fake_program.h"

namespace vor3::test {
namespace {

// A port failing under a transfer: a device gone closes the link with a
// report; a connection the gateway closed ends the transfer with a report
// and leaves the port open for the next request (that it goes out there
// is shown over a real connection); one closed while nothing runs is not
// worth a word.
TEST(PortFailure, IsReportedAndTheWindowFollows) {
    const struct {
        int number;
        bool on_write;  // else noticed by the reply poll, after the first answer
        bool idle;      // no transfer runs when it is noticed
        const char* detail;
    } failures[] = {
        {form::kPortIoFailed, true, false,
         "Der Port /dev/ttyUSB0 ist nicht mehr da. Wurde der Adapter abgezogen oder die Gegenstelle beendet?"},
        {form::kConnectionClosed, false, false,
         "/dev/ttyUSB0 hat die Verbindung während der Übertragung geschlossen. Die nächste Anfrage verbindet neu."},
        {form::kConnectionClosed, false, true, nullptr},
    };
    for (const auto& k : failures) {
        SCOPED_TRACE(k.number);
        FakeProgram o;
        o.f.Combo_Port(6).set_list_index(1);
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
            continue;
        }
        EXPECT_EQ(o.msg.shown, (std::vector<std::string>{"COM-Port not available,  " + std::to_string(k.number)}));
        EXPECT_EQ(o.msg.details, (std::vector<std::string>{k.detail}));
        expect_idle(o);
        const bool stays_open = k.number == form::kConnectionClosed;
        EXPECT_EQ((std::vector<bool>{o.port.open, o.c.g.link.port_open, o.f.Combo_Port(6).list_index() == 1,
                                     o.f.cmd_read_device.enabled(), o.f.Timer4.enabled()}),
                  std::vector<bool>(5, stays_open));
        EXPECT_TRUE(o.f.warning_line().visible());
        o.clock.advance(5000);
        EXPECT_EQ(o.msg.shown.size(), 1u);
    }
}

}  // namespace
}  // namespace vor3::test
