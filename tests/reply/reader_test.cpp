#include <gtest/gtest.h>

#include "link/answers.h"
#include "link/hex.h"
#include "reply/reader.h"
#include "sim/sim_test_support.h"
#include "support/fake_program.h"

namespace vor3::test {
namespace {

using sim::test::ascii;
using sim::test::rtu;
const auto raw = sim::test::bytes;

// The window waiting for the answer to register 6 ("Gerät auslesen"), on a
// scripted port, so each test decides what arrives and when (`early`:
// what already waits on the line when the request goes out).
struct Waiting : FakeProgram {
    explicit Waiting(bool ascii_mode = false, const std::string& early = "") {
        f.Combo_Port(5).set_list_index(ascii_mode ? 0 : 1);
        f.Combo_Port(6).set_list_index(1);
        port.incoming = early;
        f.cmd_read_device.press();
    }
    // Delivers bytes and lets one poll run.
    void arrive(const std::string& bytes) {
        port.incoming += bytes;
        clock.advance(f.Timer4.interval());
    }
    // The answer to register 6 moves the read on to the block reads.
    bool decoded() const { return c.g.transfer.request_kind == model::kReadRegisterBlock; }
};

// Whatever comes before the answer (noise, other stations, a bad checksum,
// a false start, a reply that does not fit the request) is skipped without
// stopping the time-out, and the answer behind it is decoded in the poll
// that completes it, whether all came in one chunk or in pieces.
TEST(Reader, OnlyTheAnswerToTheRequestIsTaken) {
    struct Case {
        const char* name;
        std::string before;
    } cases[] = {
        {"noise", raw("FF00A5")},
        {"false start: address, function, a count", raw("0103")},
        {"another station", rtu("0203020001")},
        {"our address inside another station's frame", rtu("05030401030400")},
        {"wrong checksum", raw("010302002A0000")},
        {"another function", rtu("0101020007")},
        {"another byte count", rtu("01030400070008")},
        {"a write acknowledgement", rtu("011000000002")},
        {"a count longer than the reply", raw("010310")},
        {"a count no reply can hold", raw("0103FF")},
        {"a write acknowledgement cut short", raw("0110000200")},
        {"a long run of false starts", raw("0103FF") + std::string(300, '\x01') + raw("0103F0")},
    };
    for (const auto& k : cases) {
        for (bool one_chunk : {true, false}) {
            Waiting r;
            const std::string answer = rtu("0103020007");
            if (!one_chunk) {
                r.arrive(k.before);
                r.arrive(answer.substr(0, 3));
                EXPECT_FALSE(r.decoded()) << k.name;
                EXPECT_TRUE(r.f.Timer5.enabled()) << k.name;
            }
            r.arrive(one_chunk ? k.before + answer : answer.substr(3));
            EXPECT_TRUE(r.decoded()) << k.name << (one_chunk ? " in one chunk" : "");
            EXPECT_EQ(r.c.g.transfer.reply_delay, 7) << k.name;
            EXPECT_TRUE(r.msg.shown.empty()) << k.name;
            EXPECT_EQ(r.c.g.reader.rx_count, 0) << k.name;
        }
    }
    Waiting a(true);
    a.arrive("garbage\r\n:0103020007FF\r\n");  // wrong LRC
    EXPECT_FALSE(a.decoded());
    a.arrive("xx:0103020");  // the colon starts the frame even mid-chunk
    EXPECT_FALSE(a.decoded());
    a.arrive(ascii("0103020007").substr(8));
    EXPECT_TRUE(a.decoded());
    EXPECT_EQ(a.c.g.transfer.reply_delay, 7);
    // A frame begun before the request went out is forgotten: these five
    // bytes and the first two of the answer would make a frame whose CRC
    // checks out.
    Waiting early(false, raw("010302A3B5"));
    early.arrive(rtu("0103020007"));
    EXPECT_TRUE(early.decoded());
    EXPECT_EQ(early.c.g.transfer.reply_delay, 7);
}

// Each reply is held against the request it would answer; a refusal is
// said by its code, a gateway's as no sensor reached.
TEST(Reader, HoldsTheReplyAgainstTheRequest) {
    using link::Fit;
    const struct {
        const char* request;
        const char* reply;  // address, function, data; no checksum
        Fit fit;
    } cases[] = {
        {"010300080003", "010306000100020003", Fit::Answer},
        {"010101000005", "01010115", Fit::Answer},
        {"010300060001", "018302", Fit::Refusal},
        {"010300060001", "01830200", Fit::None},  // a refusal with trailing bytes
        {"0110000200050A00000001038404B0000A", "011000020005", Fit::Answer},
        {"01100007000408001400000000000000", "011000030004", Fit::None},  // another block of that size
        {"011000020001020005", "011000020001020005", Fit::None},          // the write request's echo
        {"010F0100000501FF", "010F01000008", Fit::None},                  // another quantity
    };
    for (const auto& k : cases) {
        std::string adu;
        ASSERT_TRUE(link::hex_to_bytes(k.reply, adu));
        EXPECT_EQ(link::fit(link::expectation_of(k.request), adu), k.fit) << k.request << " " << k.reply;
    }
    EXPECT_EQ(
        reply::exception_text(0x0B, "1033", 7),
        "The gateway reaches no sensor at address 7: Modbus exception 0B (gateway target device failed to respond).");
}

}  // namespace
}  // namespace vor3::test
