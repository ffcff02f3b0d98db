// The registry class on the system's registry: what is read, what is
// written (as UTF-16 in the 64-bit view), keys made, listed and deleted, and
// a write the system refuses. Every test works below a key of its own under
// HKEY_CURRENT_USER, never on a real setting; HKEY_LOCAL_MACHINE as a normal
// user, which wine lets everyone write, is stood in for by keys opened to
// read only.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/cli_registry.h"
#include "store/registry.h"
#include "store/system_registry.h"
#include "win32/platform_settings_win32.h"
#include "win32/port_text.h"

namespace vor3::test {
namespace {

using store::CRegistry;

const std::string kProduct = store::kProductKey;
const std::wstring kProductW = L"SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2";

class SystemRegistry : public ::testing::Test {
protected:
    const std::wstring base = L"SOFTWARE\\vor3-test-" + std::to_wstring(GetCurrentProcessId());
    const std::string root = "HKEY_CURRENT_USER\\" + win32::port_text::narrow(base);
    const std::string machine = root + "\\machine";
    const std::string user = root + "\\user";

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str()); }

    CRegistry registry(bool read_only = false) const {
        return CRegistry(store::system_registry({machine, user, read_only}));
    }
    model::PlatformSettings platform() const {
        model::PlatformSettings p;
        p.machine_key = machine;
        p.user_key = user;
        return p;
    }
    // Below the machine's key, as the registry holds it.
    std::wstring machine_path(const std::wstring& key) const { return base + L"\\machine\\" + key; }

    void put(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, DWORD size) const {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, machine_path(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &h, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(h);
    }
    // The value's UTF-16 as the registry holds it; "-" when it is no text.
    std::wstring raw(const std::wstring& key, const std::wstring& name) const {
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, machine_path(key).c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                         &size) != ERROR_SUCCESS)
            return L"-";
        std::wstring text(size / sizeof(wchar_t), L'\0');
        RegGetValueW(HKEY_CURRENT_USER, machine_path(key).c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(),
                     &size);
        text.resize(size / sizeof(wchar_t) - 1);
        return text;
    }
    bool exists(const std::wstring& key) const {
        HKEY h = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, machine_path(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
        RegCloseKey(h);
        return true;
    }
};

// Every character a hive takes comes back as it was, and stands in the
// registry as the same text in UTF-16, under a key made with its parents.
TEST_F(SystemRegistry, TextsComeBackAsTheyWereAndAreUtf16InTheRegistry) {
    struct Case {
        std::string key, name, text;
        std::wstring wkey, wname, wtext;
    } const cases[] = {
        {kProduct, "Pfad", "C:\\Programme\\VOR3 \"neu\"\\", kProductW, L"Pfad", L"C:\\Programme\\VOR3 \"neu\"\\"},
        {kProduct, "Language", "1033 ", kProductW, L"Language", L"1033 "},
        {kProduct, "Empty", "", kProductW, L"Empty", L""},
        {kProduct, "", "default", kProductW, L"", L"default"},
        {"SOFTWARE\\Neu\\Tiefer\\Größe", "Maß \"ü\"\\", "Grüße, Ελληνικά, 日本語, 𝄞", L"SOFTWARE\\Neu\\Tiefer\\Größe",
         L"Maß \"ü\"\\", L"Grüße, Ελληνικά, 日本語, \U0001D11E"},
        {kProduct, "Long", std::string(40000, 'x') + "ü", kProductW, L"Long", std::wstring(40000, L'x') + L"ü"},
    };
    CRegistry w = registry();
    for (const auto& c : cases) w.MachineSetting(c.key, c.name, c.text);
    ASSERT_EQ(w.error_number(), 0u) << w.error_text("1033");
    CRegistry r = registry();
    for (const auto& c : cases) {
        EXPECT_EQ(r.MachineSetting(c.key, c.name), c.text) << c.name;
        EXPECT_TRUE(raw(c.wkey, c.wname) == c.wtext) << c.name;
        EXPECT_EQ(r.Werte(c.key, c.name), "") << "the user's settings are apart: " << c.name;
    }
    // Key and value names are the same in any case.
    EXPECT_EQ(r.MachineSetting("software\\neu\\TIEFER\\Größe", "maß \"ü\"\\"), cases[4].text);
    EXPECT_EQ(r.FindFirstMachineKey("SOFTWARE\\Neu"), "Tiefer");

    // Without the user's own separator, the locale's.
    EXPECT_NE(win32::decimal_separator(r), "");
    w.Werte(store::kInternationalKey, "sDecimal", ";");
    EXPECT_EQ(r.Werte(store::kInternationalKey, "sDecimal"), ";");
    EXPECT_EQ(win32::decimal_separator(r), ";");
    EXPECT_EQ(r.MachineSetting(store::kInternationalKey, "sDecimal"), "");
}

// Only text counts: another type reads as "", a text ends at its first
// zero (stored or not); what would not read back is not written.
TEST_F(SystemRegistry, OnlyTextValuesCountAndWhatWouldNotReadBackIsRefused) {
    const DWORD number = 10;
    const wchar_t expand[] = L"%TEMP%";
    const wchar_t cut[] = {L'A', L'B', 0, L'C', 0};
    const wchar_t unended[] = {L'O', L'K'};
    put(kProductW, L"Version", REG_DWORD, &number, sizeof number);
    put(kProductW, L"Expand", REG_EXPAND_SZ, expand, sizeof expand);
    put(kProductW, L"Binary", REG_BINARY, "AB", 2);
    put(kProductW, L"Cut", REG_SZ, cut, sizeof cut);
    put(kProductW, L"Unended", REG_SZ, unended, sizeof unended);
    const CRegistry r = registry();
    std::vector<std::string> read;
    for (const char* name : {"Version", "Expand", "Binary", "Cut", "Unended", "Nothing"})
        read.push_back(r.MachineSetting(kProduct, name));
    read.push_back(r.MachineSetting("SOFTWARE\\Nothing", "Version"));
    EXPECT_EQ(read, (std::vector<std::string>{"", "", "", "AB", "OK", "", ""}));

    for (const std::string& bad : {std::string("a\0b", 3), std::string("\xff")}) {
        CRegistry w = registry();
        w.MachineSetting(kProduct, "Pfad", bad);
        EXPECT_EQ(w.error_number(), store::kRegistryWriteError);
        w.MachineSetting(kProduct, bad, "x");
        EXPECT_EQ(w.error_number(), store::kRegistryWriteError);
    }
    EXPECT_TRUE(raw(kProductW, L"Pfad") == L"-");
}

TEST_F(SystemRegistry, SubkeysAreListedOneByOneAndATreeIsDeleted) {
    CRegistry w = registry();
    for (const char* key : {"A\\B\\Deep", "A\\C", "A\\Ü"}) w.MachineSetting(std::string("SOFTWARE\\") + key, "V", "1");
    std::vector<std::string> names{w.FindFirstMachineKey("SOFTWARE\\A")};
    while (!names.back().empty()) names.push_back(w.GetNextMachineKey());
    EXPECT_EQ(names, (std::vector<std::string>{"B", "C", "Ü", ""}));
    EXPECT_EQ(w.FindFirstMachineKey("SOFTWARE\\Nothing"), "");
    EXPECT_EQ(w.GetNextMachineKey(), "");

    EXPECT_TRUE(w.DeleteMachineKey("SOFTWARE\\A"));
    EXPECT_FALSE(exists(L"SOFTWARE\\A"));
    EXPECT_TRUE(exists(L"SOFTWARE"));
    EXPECT_FALSE(w.DeleteMachineKey("SOFTWARE\\A"));
    EXPECT_EQ(w.error_number(), 0u);
}

// A write the system refuses is said, naming the key, in the language in
// force, and leaves the value as it was; so is a refused deletion.
TEST_F(SystemRegistry, AWriteWithoutTheRightIsRefusedNamingTheKey) {
    CRegistry w = registry();
    w.MachineSetting(kProduct, "Language", "1033");
    w.MachineSetting("SOFTWARE\\Keep", "V", "1");
    const std::string key = machine + "\\" + kProduct.substr(0, kProduct.size() - 1);

    CRegistry refused = registry(true);
    refused.MachineSetting(kProduct, "Language", "1031");
    EXPECT_EQ(refused.error_number(), store::kRegistryWriteError);
    EXPECT_EQ(refused.error_text("1033"), key + ": this user may not change it");
    EXPECT_EQ(refused.error_text("1031"), key + ": dieser Benutzer darf das nicht ändern");
    EXPECT_FALSE(refused.DeleteMachineKey("SOFTWARE\\Keep"));
    EXPECT_TRUE(exists(L"SOFTWARE\\Keep"));

    std::string out, err;
    EXPECT_EQ(app::run_registry({"set", "Language", "1031"}, refused, out, err), 1);
    EXPECT_EQ(err, "vor3-cli: The setting was not stored: " + key + ": this user may not change it\n");
    EXPECT_EQ(registry().MachineSetting(kProduct, "Language"), "1033");
}

// The command line's verbs on the registry the platform settings name; a
// list shows each key's values under the key's name.
TEST_F(SystemRegistry, TheRegistryVerbsWorkOnTheKeysThePlatformNames) {
    auto run = [&](const std::vector<std::string>& args) {
        std::string out, err;
        const int status = app::run_registry(args, platform(), out, err);
        return std::make_tuple(status, out, err);
    };
    using Result = std::tuple<int, std::string, std::string>;
    EXPECT_EQ(run({"set", "Language", "1033"}), Result(0, "", ""));
    EXPECT_EQ(run({"set", "pfad", "C:\\VOR3 \"ü\""}), Result(0, "", ""));
    EXPECT_EQ(run({"get", "PFAD"}), Result(0, "C:\\VOR3 \"ü\"\n", ""));
    store::platform_registry(platform()).Werte(store::kInternationalKey, "sDecimal", ",");
    store::platform_registry(platform()).Werte(kProduct + "Trend", "LogFolder", "C:\\Logs");
    const std::string product = kProduct.substr(0, kProduct.size() - 1);
    EXPECT_EQ(run({"list"}),
              Result(0,
                     machine + "\\" + product + "\n  Language=1033\n  Pfad=C:\\VOR3 \"ü\"\n" + user + "\\" + product +
                         "\n  Trend\\LogFolder=C:\\Logs\n" + user + "\\Control Panel\\International\n  sDecimal=,\n",
                     ""));
    EXPECT_EQ(std::get<0>(run({"set", "Language", "english"})), 1);
}

TEST(PlatformSettings, TheProgramFolderAndTheSystemRegistry) {
    const std::string folder = win32::program_folder();
    EXPECT_EQ(GetFileAttributesW((win32::port_text::wide(folder) + L"\\vor3_win32_tests.exe").c_str()) &
                  FILE_ATTRIBUTE_DIRECTORY,
              0u);
    const auto p = win32::platform_settings();
    EXPECT_EQ(
        std::tie(p.machine_key, p.user_key, p.machine_hive, p.user_hive),
        std::make_tuple(std::string(store::kMachineRoot), std::string(store::kUserRoot), std::string(), std::string()));
    EXPECT_FALSE(p.locale_decimal_sep.empty());
}

}  // namespace
}  // namespace vor3::test
