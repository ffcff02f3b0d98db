// The registry class over hive files made here: what reads as text, the
// write property, key enumeration and deletion, and hives that are not
// well formed.
#include <gtest/gtest.h>

#include "store/registry.h"
#include "support/hives.h"
#include "support/temp_dir.h"

namespace vor3::test {
namespace {

using store::CRegistry;

constexpr const char* kProduct = store::kProductKey;

const char* const kMachine = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Vadivoz Vurizozozeroz GmbH\VOR3-UZ485-Uvarod-OR2]
"Pfad"="/opt/vor3 \"x\"\\share"
"Language"="1033 "
"Version"=dword:0000000a
"Expand"=hex(2):25,00,48,00
"Empty"=""
"Cut"=hex(1):41,42,00,43
@="default"

[HKEY_LOCAL_MACHINE\SOFTWARE\Vadivoz Vurizozozeroz GmbH\VOR3-UZ485-Uvarod-OR2\Plugins\Beta]
"Name"="b"

[HKEY_LOCAL_MACHINE\SOFTWARE\Vadivoz Vurizozozeroz GmbH\VOR3-UZ485-Uvarod-OR2\Plugins\alpha]
"Name"="a"
)";

struct ReadCase {
    const char* name;
    const char* section;
    const char* value;
    const char* expected;
};
void PrintTo(const ReadCase& k, std::ostream* os) { *os << k.name; }

class RegistryRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RegistryRead, OnlyTextValuesCount) {
    TempDir dir;
    const CRegistry r({dir.write("machine.reg", kMachine), dir.write("user.reg", user_hive("."))});
    EXPECT_EQ(r.MachineSetting(GetParam().section, GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryRead,
    ::testing::Values(ReadCase{"Text", kProduct, "Pfad", "/opt/vor3 \"x\"\\share"},
                      ReadCase{"BlankKept", kProduct, "Language", "1033 "},
                      ReadCase{"DwordIsNotText", kProduct, "Version", ""},
                      ReadCase{"ExpandableIsNotText", kProduct, "Expand", ""},
                      ReadCase{"EmptyText", kProduct, "Empty", ""},
                      ReadCase{"TextEndsAtZero", kProduct, "Cut", "AB"},
                      ReadCase{"DefaultValue", kProduct, "", "default"},
                      ReadCase{"MissingValue", kProduct, "Nothing", ""},
                      ReadCase{"MissingKey", "SOFTWARE\\Other", "Pfad", ""},
                      ReadCase{"KeyNamesIgnoreCase", "software\\VADIVOZ Vurizozozeroz GmbH\\VOR3-UZ485-UVAROD-OR2",
                               "pfad", "/opt/vor3 \"x\"\\share"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Registry, UserHiveAndMissingFiles) {
    TempDir dir;
    const CRegistry r({dir.file("absent.reg"), dir.write("user.reg", user_hive("."))});
    EXPECT_EQ(r.Werte(store::kInternationalKey, "sDecimal"), ".");
    EXPECT_EQ(r.MachineSetting(kProduct, "Pfad"), "");
    EXPECT_EQ(CRegistry({"", ""}).Werte(store::kInternationalKey, "sDecimal"), "");
}

TEST(Registry, MalformedLinesAreSkipped) {
    TempDir dir;
    const char raw[] =
        "\"Orphan\"=\"before any key\"\n"
        "REGEDIT4\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\A]\r\n"
        "\"Good\"=\"1\"\r\n"
        "\"Unclosed=\"x\"\r\n"
        "\"Bad\"=dword:xyz\r\n"
        "\"Long\"=dword:123456789\r\n"
        "\"Hex\"=hex(2):4g\r\n"
        "garbage line \\\r\n"
        "\"Trailing\"=\"x\" y\r\n"
        "[HKEY_LOCAL_MACHINE\\B\r\n"
        "\"AfterBadSection\"=\"lost\"\r\n"
        "[-HKEY_LOCAL_MACHINE\\C]\r\n"
        "[]\r\n"
        "\0\xff\xfe\r\n"
        "[HKEY_LOCAL_MACHINE\\A\\Sub]\r\n"
        "\"Wrapped\"=hex(1):41,\\\r\n"
        "  42,00\r\n"
        "\"Next\"=\"n\"\r\n";
    const std::string text(raw, sizeof raw - 1);  // with its zero byte
    const CRegistry r({dir.write("machine.reg", text), ""});
    EXPECT_EQ(r.MachineSetting("A", "Good"), "1");
    for (const char* name : {"Orphan", "Unclosed", "Bad", "Long", "Hex", "Trailing", "AfterBadSection"})
        EXPECT_EQ(r.MachineSetting("A", name), "") << name;
    EXPECT_EQ(r.MachineSetting("A\\Sub", "Wrapped"), "AB");
    EXPECT_EQ(r.MachineSetting("A\\Sub", "Next"), "n");
}

TEST(Registry, WritePropertyStoresTextAndKeepsTheRest) {
    TempDir dir;
    const std::string hive = dir.write("machine.reg", kMachine);
    CRegistry w({hive, ""});
    w.MachineSetting(kProduct, "Language", "1033");
    w.MachineSetting("SOFTWARE\\New\\Deep\\", "Value", "a\\b \"c\"");
    EXPECT_EQ(w.error_number(), 0u);

    CRegistry r({hive, ""});
    EXPECT_EQ(r.MachineSetting(kProduct, "Language"), "1033");
    EXPECT_EQ(r.MachineSetting("SOFTWARE\\New\\Deep", "Value"), "a\\b \"c\"");
    EXPECT_EQ(r.MachineSetting(kProduct, "Pfad"), "/opt/vor3 \"x\"\\share");
    EXPECT_EQ(r.MachineSetting(kProduct, "Cut"), "AB");
    EXPECT_EQ(r.MachineSetting(kProduct, "Version"), "");  // still a number
    EXPECT_NE(dir.read("machine.reg").find("\"Version\"=dword:0000000a"), std::string::npos);
    EXPECT_NE(dir.read("machine.reg").find("\"Expand\"=hex(2):25,00,48,00"), std::string::npos);
    EXPECT_EQ(r.FindFirstMachineKey("SOFTWARE\\New"), "Deep");  // the parents were made too
    EXPECT_FALSE(std::filesystem::exists(hive + ".vor3-new"));
}

// A new user has no configuration folder yet; the user's own settings
// keep what is already there and never reach the machine hive.
TEST(Registry, UserWriteMakesTheFolderAndKeepsTheSeparator) {
    TempDir dir;
    const std::string machine = dir.write("machine.reg", kMachine);
    const std::string user = dir.file("config/vor3-config/user.reg");
    CRegistry w({machine, user});
    w.Werte(kProduct, "LogFolder", "/home/u/logs");
    EXPECT_EQ(w.error_number(), 0u) << w.error_text();
    w.Werte(store::kInternationalKey, "sDecimal", ".");
    w.Werte(kProduct, "LogFolder", "/srv/logs");

    const CRegistry r({machine, user});
    EXPECT_EQ(r.Werte(kProduct, "LogFolder"), "/srv/logs");
    EXPECT_EQ(r.Werte(store::kInternationalKey, "sDecimal"), ".");
    EXPECT_EQ(r.MachineSetting(kProduct, "LogFolder"), "");
    EXPECT_EQ(dir.read("config/vor3-config/user.reg").rfind("REGEDIT4\n\n[HKEY_CURRENT_USER\\", 0), 0u);

    CRegistry nowhere({machine, ""});
    nowhere.Werte(kProduct, "LogFolder", "/x");
    EXPECT_EQ(nowhere.error_number(), store::kRegistryWriteError);
}

TEST(Registry, FailedWriteSetsTheErrorNumberAndChangesNothing) {
    TempDir dir;
    CRegistry nowhere({dir.file("no/such/folder/machine.reg"), ""});
    nowhere.MachineSetting(kProduct, "Language", "1033");
    EXPECT_EQ(nowhere.error_number(), store::kRegistryWriteError);
    EXPECT_NE(nowhere.error_text().find("no/such/folder/machine.reg"), std::string::npos) << nowhere.error_text();

    // A hive that cannot be read is not replaced by one holding a single value.
    std::filesystem::create_directory(dir.path / "folder.reg");
    CRegistry folder({dir.file("folder.reg"), ""});
    folder.MachineSetting(kProduct, "Language", "1033");
    EXPECT_EQ(folder.error_number(), store::kRegistryWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path / "folder.reg"));
}

TEST(Registry, EnumerationRunsInNameOrderAndStaysEmptyPastTheEnd) {
    TempDir dir;
    CRegistry r({dir.write("machine.reg", kMachine), ""});
    const std::string plugins = std::string(kProduct) + "Plugins";
    EXPECT_EQ(r.FindFirstMachineKey(plugins), "alpha");
    EXPECT_EQ(r.GetNextMachineKey(), "Beta");
    EXPECT_EQ(r.GetNextMachineKey(), "");
    EXPECT_EQ(r.GetNextMachineKey(), "");
    EXPECT_EQ(r.FindFirstMachineKey(plugins), "alpha");  // starts again
    EXPECT_EQ(r.FindFirstMachineKey("SOFTWARE\\Missing"), "");
    EXPECT_EQ(r.GetNextMachineKey(), "");
}

TEST(Registry, DeletingAKeyTakesItsSubkeys) {
    TempDir dir;
    const std::string hive = dir.write("machine.reg", kMachine);
    CRegistry r({hive, ""});
    EXPECT_TRUE(r.DeleteMachineKey(std::string(kProduct) + "Plugins"));
    EXPECT_EQ(r.MachineSetting(std::string(kProduct) + "Plugins\\alpha", "Name"), "");
    EXPECT_EQ(r.FindFirstMachineKey(kProduct), "");
    EXPECT_EQ(r.MachineSetting(kProduct, "Pfad"), "/opt/vor3 \"x\"\\share");
    EXPECT_FALSE(r.DeleteMachineKey(std::string(kProduct) + "Plugins"));  // already gone
    EXPECT_FALSE(r.DeleteMachineKey(""));
    EXPECT_TRUE(r.DeleteMachineKey("software"));
    EXPECT_EQ(r.MachineSetting(kProduct, "Pfad"), "");
}

}  // namespace
}  // namespace vor3::test
