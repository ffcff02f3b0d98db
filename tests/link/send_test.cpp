#include <gtest/gtest.h>

#include "link/transmit.h"
#include "support/fake_program.h"

namespace vor3::test {
namespace {

struct Opened : FakeProgram {
    explicit Opened(int mode = 1, bool open = true) {
        f.Combo_Port(5).set_list_index(mode);
        if (open) f.Combo_Port(6).set_list_index(1);
    }
};

TEST(Send, WritesTheFrameOfTheModeAndStartsTheTimeOut) {
    struct Case { int mode; const char* request; std::string wire; } cases[] = {
        {0, "010300000005", ":010300000005F7\r\n"},
        {0, "1103006B0003", ":1103006B00037E\r\n"},
        {1, "010300000001", std::string("\x01\x03\x00\x00\x00\x01\x84\x0A", 8)},
        {1, "01030000000A", std::string("\x01\x03\x00\x00\x00\x0A\xC5\xCD", 8)},
    };
    for (const auto& k : cases) {
        Opened o(k.mode);
        o.f.lbl_desc(16).set_visible(true);
        o.c.g.transfer.request_frame = k.request;
        link::send(o.c);
        ASSERT_EQ(o.port.written.size(), 1u);
        EXPECT_EQ(o.port.written[0], k.wire) << k.request;
        EXPECT_EQ(o.c.g.transfer.request_frame, k.request);  // kept for the repeat
        EXPECT_TRUE(o.f.Timer5.enabled());
        EXPECT_FALSE(o.f.lbl_desc(16).visible());
        EXPECT_TRUE(o.f.chk_read_out.enabled());
    }
}

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

TEST(Send, APortThatVanishesUnderAWriteClosesTheLinkWithAReport) {
    Opened o;
    o.f.cmd_read_device.press();
    ASSERT_EQ(o.port.written.size(), 1u);
    o.port.write_fails = true;
    o.clock.advance(1000);  // the repeat finds the device gone
    ASSERT_EQ(o.msg.shown.size(), 1u);
    EXPECT_EQ(o.msg.shown[0], "COM-Port not available,  8020");
    EXPECT_FALSE(o.port.open);
    EXPECT_EQ(o.f.Combo_Port(6).list_index(), 0);
    EXPECT_FALSE(o.c.g.link.port_open);
    EXPECT_FALSE(o.f.cmd_read_device.enabled());
    for (form::Timer* t : {&o.f.Timer3, &o.f.Timer4, &o.f.Timer5, &o.f.Timer6}) EXPECT_FALSE(t->enabled()) << t->name();
    o.clock.advance(5000);
    EXPECT_EQ(o.msg.shown.size(), 1u);
    EXPECT_TRUE(o.f.enabled());

    // The same when the reply poll is the first to notice, mid-read.
    Opened p;
    p.f.cmd_read_device.press();
    p.port.incoming = std::string("\x01\x03\x02\x00\x0A\x38\x43", 7);
    p.clock.advance(50);
    ASSERT_TRUE(p.prog.frmState.loaded());
    p.port.poll_fails = true;
    p.clock.advance(1000);
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{"COM-Port not available,  8020"}));
    EXPECT_FALSE(p.port.open);
    EXPECT_FALSE(p.prog.frmState.loaded());
    EXPECT_TRUE(p.f.enabled());
    EXPECT_FALSE(p.f.Timer4.enabled());
    EXPECT_FALSE(p.f.Timer6.enabled());
}

}  // namespace
}  // namespace vor3::test
