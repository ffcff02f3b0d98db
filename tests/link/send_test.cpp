#include <gtest/gtest.h>

#include "support/expect.h"
#include "support/fake_program.h"

namespace vor3::test {
namespace {

// A connection the gateway closed under a transfer ends it with a report
// and leaves the port open for the next request (a port gone closes the
// link, as the port settings show); one closed while nothing runs is not
// worth a word.
TEST(PortFailure, AClosedConnectionEndsTheTransferAndLeavesThePortOpen) {
    for (const bool idle : {false, true}) {
        SCOPED_TRACE(idle ? "idle" : "under a read");
        FakeProgram o;
        o.f.Combo_Port(6).set_list_index(1);
        o.port.fail_number = form::kConnectionClosed;
        if (!idle) {
            o.f.cmd_read_device.press();
            o.port.incoming = std::string("\x01\x03\x02\x00\x0A\x38\x43", 7);
            o.clock.advance(50);
            ASSERT_TRUE(o.prog.frmState.loaded());
        }
        o.port.poll_fails = true;
        o.clock.advance(1000);  // the reply poll finds it
        EXPECT_TRUE(o.port.open);
        EXPECT_EQ(o.f.warning_line().visible(), !idle);
        if (idle) {
            EXPECT_TRUE(o.msg.shown.empty());
            continue;
        }
        EXPECT_EQ(o.msg.shown,
                  (std::vector<std::string>{"COM-Port not available,  " + std::to_string(form::kConnectionClosed)}));
        EXPECT_EQ(o.msg.details, (std::vector<std::string>{"/dev/ttyUSB0 hat die Verbindung während der Übertragung "
                                                           "geschlossen. Die nächste Anfrage verbindet neu."}));
        expect_idle(o);
        EXPECT_TRUE(o.c.g.link.port_open && o.f.Combo_Port(6).list_index() == 1 && o.f.cmd_read_device.enabled() &&
                    o.f.Timer4.enabled());
        o.clock.advance(5000);
        EXPECT_EQ(o.msg.shown.size(), 1u);
    }
}

}  // namespace
}  // namespace vor3::test
