// The log file on its own: the header goes only into a new or empty file,
// a line broken off by an earlier run does not swallow the next one, and
// every line is in the file as soon as it is appended.
#include <gtest/gtest.h>

#include <optional>

#include "store/csv_log.h"
#include "support/temp_dir.h"

namespace vor3::test {
namespace {

struct Existing {
    const char* name;
    std::optional<std::string> before;  // nothing: no file yet
    const char* after;
};
void PrintTo(const Existing& k, std::ostream* os) { *os << k.name; }

class LineLogOpen : public ::testing::TestWithParam<Existing> {};

TEST_P(LineLogOpen, AppendsAfterWhatIsThere) {
    TempDir dir;
    const std::string path = GetParam().before ? dir.write("log.csv", *GetParam().before) : dir.file("log.csv");
    store::CsvLog log;
    ASSERT_EQ(log.open(path, "time,value", "1033"), "");
    ASSERT_EQ(log.append("T2,2"), "");
    EXPECT_EQ(dir.read("log.csv"), GetParam().after);  // before closing: nothing waits in a buffer
}

INSTANTIATE_TEST_SUITE_P(Files, LineLogOpen,
                         ::testing::Values(Existing{"NewFile", std::nullopt, "time,value\nT2,2\n"},
                                           Existing{"EmptyFile", "", "time,value\nT2,2\n"},
                                           Existing{"EarlierLines", "time,value\nT1,1\n", "time,value\nT1,1\nT2,2\n"},
                                           Existing{"BrokenLastLine", "time,value\nT1,", "time,value\nT1,\nT2,2\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A file that takes no header is no log.
TEST(CsvLog, AFileThatRefusesTheHeaderStaysClosed) {
    store::CsvLog log;
    EXPECT_EQ(log.open("/dev/full", "h", "1033"), "No space left on device");
    EXPECT_FALSE(log.is_open());
    EXPECT_NE(log.append("x"), "");
}

}  // namespace
}  // namespace vor3::test
