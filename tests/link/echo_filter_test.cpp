#include <gtest/gtest.h>

#include "link/echo_filter.h"
#include "link/traffic.h"
#include "support/fake_platform.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

const std::string kRequest = std::string("\x01\x03\x00\x06\x00\x01\x64\x0B", 8);
const std::string kReply = std::string("\x01\x03\x02\x00\x0A\x38\x43", 7);

// What the reader gets when the line carries `chunks` after a request.
std::string read_through(bool enabled, const std::vector<std::string>& chunks) {
    FakePort port;
    port.open = true;
    link::EchoFilter filter(port, [enabled] { return enabled; });
    filter.write(kRequest);
    std::string got;
    for (const auto& chunk : chunks) {
        port.incoming = chunk;
        got += filter.read_all();
    }
    return got;
}

TEST(EchoFilter, DropsTheEchoAndNothingElse) {
    const struct {
        const char* name;
        bool enabled;
        std::vector<std::string> chunks;
        std::string expected;
    } cases[] = {
        {"echo and reply at once", true, {kRequest + kReply}, kReply},
        {"echo split, then the reply",
         true,
         {kRequest.substr(0, 3), kRequest.substr(3) + kReply.substr(0, 2), kReply.substr(2)},
         kReply},
        // An adapter without echo: the reply begins like the request (same
        // address and function) and must come through whole.
        {"no echo, reply alone", true, {kReply.substr(0, 2), kReply.substr(2)}, kReply},
        {"switched off", false, {kRequest + kReply}, kRequest + kReply},
    };
    for (const auto& k : cases) EXPECT_EQ(read_through(k.enabled, k.chunks), k.expected) << k.name;
}

TEST(EchoFilter, TheChoiceIsKeptForTheNextStart) {
    InstalledProgram first;
    EXPECT_EQ(first.f.chk_echo.value(), 0);
    first.f.chk_echo.set_value(1);
    EXPECT_TRUE(first.g.link.suppress_echo);
    EXPECT_NE(first.dir.read("none-user.reg").find("\"Echo\"=\"1\""), std::string::npos);

    Installation again;
    again.user = first.dir.read("none-user.reg");
    InstalledProgram second(again);
    EXPECT_EQ(second.f.chk_echo.value(), 1);
    EXPECT_TRUE(second.g.link.suppress_echo);
}

}  // namespace
}  // namespace vor3::test
