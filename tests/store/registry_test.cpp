// The registry class over hive files made here: what reads as text, the
// write property, hives that are not well formed, hives written by hand or
// by the Windows registry editor, and writers that meet. (Key enumeration
// and deletion serve no caller of the program.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>
#include <thread>
#include <tuple>

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
)";

TEST(Registry, OnlyTextValuesCount) {
    TempDir dir;
    const CRegistry r({dir.write("machine.reg", kMachine), dir.write("user.reg", user_hive("."))});
    std::vector<std::string> read;
    for (const char* name : {"Pfad", "Language", "Version", "Expand", "Empty", "Cut", "", "Nothing"})
        read.push_back(r.MachineSetting(kProduct, name));
    read.push_back(r.MachineSetting("SOFTWARE\\Other", "Pfad"));
    read.push_back(r.MachineSetting("software\\VADIVOZ Vurizozozeroz GmbH\\VOR3-UZ485-UVAROD-OR2", "pfad"));
    read.push_back(CRegistry({dir.file("absent.reg"), ""}).MachineSetting(kProduct, "Pfad"));
    read.push_back(CRegistry({"", ""}).Werte(store::kInternationalKey, "sDecimal"));
    // Text as it stands, blanks kept, cut at a zero; no dword, no expandable
    // text; key names in any case; missing files hold nothing.
    EXPECT_EQ(read, (std::vector<std::string>{"/opt/vor3 \"x\"\\share", "1033 ", "", "", "", "AB", "default", "", "",
                                              "/opt/vor3 \"x\"\\share", "", ""}));
}

TEST(Registry, MalformedLinesAreSkipped) {
    TempDir dir;
    const char raw[] =
        "\"Orphan\"=\"before any key\"\n"
        "REGEDIT4\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\A]\r\n"
        "\"Good\"=\"1\"\r\n"
        "\"Unclosed=\"x\"\r\n"
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
    for (const char* name : {"Orphan", "Unclosed", "Trailing", "AfterBadSection"})
        EXPECT_EQ(r.MachineSetting("A", name), "") << name;
    EXPECT_EQ(r.MachineSetting("A\\Sub", "Wrapped"), "AB");
    EXPECT_EQ(r.MachineSetting("A\\Sub", "Next"), "n");
}

TEST(Registry, WritePropertyMakesTheKeyWithItsParents) {
    TempDir dir;
    const std::string hive = dir.write("machine.reg", kMachine);
    CRegistry w({hive, ""});
    w.MachineSetting("SOFTWARE\\New\\Deep\\", "Value", "a\\b \"c\"");
    EXPECT_EQ(w.error_number(), 0u);

    CRegistry r({hive, ""});
    EXPECT_EQ(r.MachineSetting("SOFTWARE\\New\\Deep", "Value"), "a\\b \"c\"");
    EXPECT_EQ(r.FindFirstMachineKey("SOFTWARE\\New"), "Deep");  // the parents were made too
    EXPECT_FALSE(std::filesystem::exists(hive + ".vor3-new"));
}

// A new user has no configuration folder yet; the user's own settings
// never reach the machine hive.
TEST(Registry, UserWriteMakesTheFolderAndKeepsTheSeparator) {
    TempDir dir;
    const std::string machine = dir.write("machine.reg", kMachine);
    const std::string user = dir.file("config/vor3-config/user.reg");
    CRegistry w({machine, user});
    w.Werte(store::kInternationalKey, "sDecimal", ".");
    w.Werte(kProduct, "LogFolder", "/srv/logs");
    EXPECT_EQ(w.error_number(), 0u) << w.error_text("1033");

    const CRegistry r({machine, user});
    EXPECT_EQ(r.Werte(kProduct, "LogFolder"), "/srv/logs");
    EXPECT_EQ(r.Werte(store::kInternationalKey, "sDecimal"), ".");
    EXPECT_EQ(r.MachineSetting(kProduct, "LogFolder"), "");
    EXPECT_EQ(dir.read("config/vor3-config/user.reg").rfind("REGEDIT4\n\n[HKEY_CURRENT_USER\\", 0), 0u);

    CRegistry nowhere({machine, ""});
    nowhere.Werte(kProduct, "LogFolder", "/x");
    EXPECT_EQ(nowhere.error_number(), store::kRegistryWriteError);
}

// A hive that cannot be read is not replaced by one holding a single value.
TEST(Registry, AHiveThatCannotBeReadIsNotReplaced) {
    TempDir dir;
    std::filesystem::create_directory(dir.path / "folder.reg");
    CRegistry folder({dir.file("folder.reg"), ""});
    folder.MachineSetting(kProduct, "Language", "1033");
    EXPECT_EQ(folder.error_number(), store::kRegistryWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path / "folder.reg"));
}

// A text's UTF-16LE bytes, as the Windows registry editor writes them.
std::string utf16(std::u16string_view text) {
    std::string out;
    for (char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

const std::u16string_view kExport =
    u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2]\r\n"
    u"\"Pfad\"=\"C:\\\\Programme\\\\Größe\"\r\n"
    u"\"Language\"=\"1031\"\r\n"
    u"\"Cut\"=hex(1):41,00,42,00,00,00\r\n\r\n";

const char* const kHandEdited =
    "REGEDIT4\n"
    "; the installation's settings, by hand\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2]\n"
    "\"Pfad\"=\"/opt/vor3\n"
    "\"Language\"=\"1031\"\r\n"
    "\"Count\"=dword:zz\n"
    "\"Trailing\"=\"x\" y\n"
    "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\n"
    "   ; the end";

struct RoundTrip {
    const char* name;
    std::string before;
    std::string after;  // once Language is 1033
};
void PrintTo(const RoundTrip& k, std::ostream* os) { *os << k.name; }

class HiveRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(HiveRoundTrip, ASetKeepsEveryOtherLineAndTheEncoding) {
    TempDir dir;
    const std::string hive = dir.write("machine.reg", GetParam().before);
    CRegistry r({hive, ""});
    r.MachineSetting(kProduct, "Language", "1033");
    EXPECT_EQ(r.error_number(), 0u) << r.error_text("1033");
    EXPECT_EQ(dir.read("machine.reg"), GetParam().after);
    EXPECT_EQ(r.MachineSetting(kProduct, "Language"), "1033");
    if (GetParam().before == utf16(kExport)) {
        EXPECT_EQ(r.MachineSetting(kProduct, "Pfad"), "C:\\Programme\\Größe");
        EXPECT_EQ(r.MachineSetting(kProduct, "Cut"), "AB");
    }
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

INSTANTIATE_TEST_SUITE_P(
    Hives, HiveRoundTrip,
    ::testing::Values(RoundTrip{"RegistryEditorExportInUtf16", utf16(kExport),
                                replaced(utf16(kExport), utf16(u"\"1031\""), utf16(u"\"1033\""))},
                      RoundTrip{"HandEdited", kHandEdited, replaced(kHandEdited, "\"1031\"", "\"1033\"")},
                      RoundTrip{"ValueMissingGoesAfterTheKeysLastLine",
                                replaced(kHandEdited, "\"Language\"=\"1031\"\r\n", ""),
                                replaced(replaced(kHandEdited, "\"Language\"=\"1031\"\r\n", ""), "\"x\" y\n",
                                         "\"x\" y\n\"Language\"=\"1033\"\n")},
                      // A fuzz finding: the line added was read as the rest of the hex data.
                      RoundTrip{"AfterALastLineLeftOpen", std::string(machine_hive("", "")) + "\"Bin\"=hex:41,\\\r",
                                std::string(machine_hive("", "")) + "\"Bin\"=hex:41,\\\r\n\"Language\"=\"1033\"\n"},
                      RoundTrip{"KeyMissingIsAddedAtTheEnd",
                                "\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]",
                                "\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2]\r\n"
                                "\"Language\"=\"1033\"\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
    const char* name;
    std::string hive;
    const char* value_name;
    const char* value;
    const char* reason;  // in English, after the file's name
};
void PrintTo(const Refusal& k, std::ostream* os) { *os << k.name; }

constexpr char kUnreadable[] = "it is not a registry file this program can read";

class HiveWriteRefused : public ::testing::TestWithParam<Refusal> {};

TEST_P(HiveWriteRefused, NamesTheFileAndChangesNothing) {
    const auto& k = GetParam();
    TempDir dir;
    const std::string hive = dir.write("machine.reg", k.hive);
    CRegistry r({hive, ""});
    r.MachineSetting(kProduct, k.value_name, k.value);
    EXPECT_EQ(r.error_number(), store::kRegistryWriteError);
    EXPECT_EQ(r.error_text("1033"), hive + ": " + k.reason);
    EXPECT_EQ(dir.read("machine.reg"), k.hive);
}

INSTANTIATE_TEST_SUITE_P(
    Hives, HiveWriteRefused,
    ::testing::Values(Refusal{"Utf16WithoutItsMark", utf16(kExport.substr(1)), "Language", "1033", kUnreadable},
                      Refusal{"Utf16BigEndian", "\xFE\xFF" + utf16(u"x"), "Language", "1033", kUnreadable},
                      Refusal{"TextBeforeTheHeader", std::string("[x]\n") + kHandEdited, "Language", "1033",
                              kUnreadable},
                      Refusal{"NameWithALineFeed", kHandEdited, "A\n[HKEY_LOCAL_MACHINE\\X]", "1",
                              "\"A\\x0A[HKEY_LOCAL_MACHINE\\X]\" cannot be stored in the file as it is"},
                      Refusal{"TextWithACarriageReturn", kHandEdited, "Language", "1033\r",
                              "\"1033\\x0D\" cannot be stored in the file as it is"},
                      Refusal{"TextUtf16CannotHold", utf16(kExport), "Language", "\xff",
                              "\"\\xFF\" cannot be stored in the file as it is"}),
    [](const auto& info) { return std::string(info.param.name); });

// Each writer reads its own value back after every write: with the
// read-modify-write unlocked, the other's write would sometimes put back
// the value from before.
TEST(Registry, TwoWritersAtOnceLoseNothing) {
    TempDir dir;
    const std::string hive = dir.write("machine.reg", machine_hive("/opt/vor3", "1031"));
    constexpr int kWrites = 40;
    int lost[2] = {0, 0};
    auto writer = [&](int who) {
        CRegistry w({hive, ""});
        const std::string name = who == 0 ? "A" : "B";
        for (int i = 1; i <= kWrites; ++i) {
            w.MachineSetting(kProduct, name, std::to_string(i));
            if (w.MachineSetting(kProduct, name) != std::to_string(i)) ++lost[who];
        }
        if (w.error_number() != 0) lost[who] += 1000;
    };
    std::thread a(writer, 0), b(writer, 1);
    a.join();
    b.join();
    EXPECT_EQ(lost[0] + lost[1], 0);
    const CRegistry r({hive, ""});
    EXPECT_EQ(r.MachineSetting(kProduct, "A"), std::to_string(kWrites));
    EXPECT_EQ(r.MachineSetting(kProduct, "B"), std::to_string(kWrites));
    EXPECT_EQ(r.MachineSetting(kProduct, "Pfad"), "/opt/vor3");
}

// Whoever can open a hive's lock file can hold it, even to read only, and
// keep every set out: only the hive's owner may, also where an earlier
// version left the lock file open to all, or the superuser writes a hive
// of another user.
TEST(Registry, OnlyTheHivesOwnerMayOpenItsLockFile) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX modes and owners: a lock file on Windows takes its folder's access control";
#else
    TempDir dir;
    const std::string hive = dir.write("machine.reg", machine_hive("/opt/vor3", "1031"));
    const std::string lock = hive + ".lock";
    struct stat st {};
    auto lock_file = [&] {
        CRegistry w({hive, ""});
        w.MachineSetting(kProduct, "Language", "1033");
        EXPECT_EQ(w.error_number(), 0u) << w.error_text("1033");
        EXPECT_EQ(::stat(lock.c_str(), &st), 0);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(lock_file(), 0600u) << "a new lock file";
    ::chmod(lock.c_str(), 0666);
    EXPECT_EQ(lock_file(), 0600u) << "one an earlier version made";

    if (::geteuid() != 0) GTEST_SKIP() << "a hive of another user needs root to make (chown)";
    ASSERT_EQ(::chown(hive.c_str(), 65534, 65534), 0);
    EXPECT_EQ(lock_file(), 0600u);
    EXPECT_EQ(std::tie(st.st_uid, st.st_gid), std::make_tuple(uid_t{65534}, gid_t{65534}));
    // That user, who may write the hive's folder, makes the lock's name a
    // second name of root's file: the file stays root's, as it was.
    const std::string roots = dir.write("roots.txt", "");
    ::chmod(roots.c_str(), 0644);
    std::filesystem::remove(lock);
    std::filesystem::create_hard_link(roots, lock);
    EXPECT_EQ(lock_file(), 0644u);
    EXPECT_EQ(std::tie(st.st_uid, st.st_gid), std::make_tuple(uid_t{0}, gid_t{0}));
#endif
}

// A hive at the size limit, with many keys, a key of many values and a
// deep path, reads in well under a second (a reader that looks each key up
// among all the others before it takes minutes).
TEST(Registry, AHiveAtTheSizeLimitReadsQuickly) {
    std::string text = "REGEDIT4\n\n[" + std::string(100000, 'a') + "\\" + std::string(100000, 'a') + "]\n";
    for (int i = 0; text.size() < 600000; ++i) text += "[HKEY_LOCAL_MACHINE\\k" + std::to_string(i) + "]\n";
    text += "[HKEY_LOCAL_MACHINE\\" + std::string(kProduct) + "]\n";
    for (int i = 0; text.size() < store::kHiveLimit - 100; ++i) text += "\"v" + std::to_string(i) + "\"=\"x\"\n";
    text += "\"Language\"=\"1033\"\n";
    TempDir dir;
    const CRegistry r({dir.write("machine.reg", text), ""});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(r.MachineSetting(kProduct, "Language"), "1033");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
}  // namespace vor3::test
