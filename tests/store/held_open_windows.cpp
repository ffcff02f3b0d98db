// A save on Windows over a file another program holds open: an editor that
// shows a parameter file, a reader in the middle of a hive. Windows refuses
// to replace a file opened without FILE_SHARE_DELETE while it is open.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "store/registry.h"
#include "store/whole_file.h"
#include "support/temp_dir.h"

namespace vor3::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// The file held open as another program would hold it.
struct Holder {
    HANDLE h;
    Holder(const TempDir& dir, const std::string& name, DWORD share)
        : h(CreateFileW(dir.at(name).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr)) {}
    ~Holder() { release(); }
    void release() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

// Nothing of the save's own is left in the folder.
std::vector<std::string> names_in(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Held for longer than a save waits, whether the holder shares nothing or
// everything but deleting: the save fails with the reason in both
// languages, named with the file, and the old bytes stay. Let go within the
// wait, the save goes through.
TEST(HeldOpen, ASaveWaitsForTheHolderAWhileThenSaysSoAndKeepsTheOldFile) {
    for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        SCOPED_TRACE(share);
        TempDir dir;
        const std::string file = dir.write("Räume.txt", "old");
        {
            Holder editor(dir, "Räume.txt", share);
            ASSERT_NE(editor.h, INVALID_HANDLE_VALUE);
            const auto start = steady_clock::now();
            const store::FileError error = store::write_whole_file(file, "new");
            const auto waited = steady_clock::now() - start;
            EXPECT_EQ(error.problem, store::FileProblem::held_open) << error.detail;
            EXPECT_EQ(store::file_error_text(error, "1033"),
                      "another program holds the file open; close it there and try again");
            EXPECT_EQ(store::file_error_text(error, "1031"),
                      "ein anderes Programm hält die Datei geöffnet; bitte dort schließen und erneut versuchen");
            EXPECT_GE(waited, milliseconds(1900));
            EXPECT_LT(waited, milliseconds(5000));

            // A settings write names the file it could not replace.
            const std::string hive = dir.write("user.reg", "REGEDIT4\n");
            Holder reader(dir, "user.reg", share);
            store::CRegistry settings({"", hive});
            settings.Werte(store::kProductKey, "Ordner", "x");
            EXPECT_EQ(settings.error_text("1033"),
                      hive + ": another program holds the file open; close it there and try again");
        }
        EXPECT_EQ(dir.read("Räume.txt"), "old");
        EXPECT_EQ(dir.read("user.reg"), "REGEDIT4\n");
        EXPECT_EQ(names_in(dir), (std::vector<std::string>{"Räume.txt", "user.reg", "user.reg.lock"}));

        Holder editor(dir, "Räume.txt", share);
        std::thread closes([&] {
            std::this_thread::sleep_for(milliseconds(300));
            editor.release();
        });
        const store::FileError error = store::write_whole_file(file, "new");
        closes.join();
        EXPECT_FALSE(error) << store::file_error_text(error, "1033");
        EXPECT_EQ(dir.read("Räume.txt"), "new");
        EXPECT_EQ(names_in(dir), (std::vector<std::string>{"Räume.txt", "user.reg", "user.reg.lock"}));
    }
}

}  // namespace
}  // namespace vor3::test
#endif
