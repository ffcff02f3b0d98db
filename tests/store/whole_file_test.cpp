// Whole-file writes and reads against what a user's folder may hold: a file
// marked read-only, a file of a mode of its own, a symbolic link, a link
// someone planted where a temporary file goes, a pipe where a file should be.
#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/inotify.h>
#include <unistd.h>
#endif

#include <functional>

#include "store/csv_log.h"
#include "store/registry.h"
#include "store/whole_file.h"
#include "support/temp_dir.h"
#ifndef _WIN32
#include "support/bounded.h"
#endif

namespace vor3::test {
namespace {

namespace fs = std::filesystem;
using store::FileProblem;

unsigned mode_of(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

struct SaveCase {
    const char* name;
    const char* holder;  // the file that must hold the bytes written, or "old" when refused
    unsigned mode;       // of the holder, before and after
    const char* saved_to;
    void (*also)(const TempDir&);  // what else the folder holds, if anything
    bool replace_read_only;
    FileProblem problem;
    const char* not_on_windows = nullptr;  // why the case means nothing there
};
void PrintTo(const SaveCase& k, std::ostream* os) { *os << k.name; }

class WholeFileWrite : public ::testing::TestWithParam<SaveCase> {};

TEST_P(WholeFileWrite, ReplacesOnlyWhatItShouldAndKeepsItsMode) {
    const auto& k = GetParam();
#ifdef _WIN32
    if (k.not_on_windows) GTEST_SKIP() << k.not_on_windows;
#endif
    TempDir dir;
    dir.write("victim.txt", "victim");
    ::chmod(dir.write(k.holder, "old").c_str(), k.mode);
    if (k.also) k.also(dir);
    const std::string path = dir.file(k.saved_to);
    const bool link = fs::is_symlink(path);
    const auto error = store::write_whole_file(path, "new", k.replace_read_only);
    EXPECT_EQ(fs::is_symlink(path), link) << "a link left in place stays a link";
    EXPECT_EQ(error.problem, k.problem) << error.detail;
    EXPECT_EQ(dir.read(k.holder), k.problem == FileProblem::none ? "new" : "old");
    EXPECT_EQ(mode_of(dir.file(k.holder)), k.mode);
    EXPECT_EQ(dir.read("victim.txt"), "victim");
    // No temporary file left behind (a planted link is no file of ours).
    for (const auto& entry : fs::directory_iterator(dir.path)) {
        if (entry.is_symlink()) continue;
        EXPECT_EQ(store::utf8_of(entry.path().filename()).find(".vor3-"), std::string::npos) << entry.path();
    }
}

// Making one needs a privilege on Windows, and the C++ library for it there
// makes none.
constexpr const char* kNoLinks = "symbolic links: the C++ library for Windows cannot make them";

const SaveCase kSaves[] = {
    {"ReadOnlyFileIsRefused", "p.txt", 0444, "p.txt", nullptr, false, FileProblem::read_only},
    {"ReadOnlyFileIsReplacedWhenAskedAndStaysReadOnly", "p.txt", 0444, "p.txt", nullptr, true, FileProblem::none},
    {"PrivateFileStaysPrivate", "p.txt", 0600, "p.txt", nullptr, false, FileProblem::none,
     "POSIX modes: a file's privacy on Windows is its access control, which a replacement takes from the folder"},
    {"SymbolicLinkIsWrittenThrough", "real/p.txt", 0640, "link2.txt",
     [](const TempDir& d) {
         fs::create_symlink("real/p.txt", d.path / "link.txt");
         fs::create_symlink("link.txt", d.path / "link2.txt");
     },
     false, FileProblem::none, kNoLinks},
    {"PlantedTemporaryLinkIsNotFollowed", "p.txt", 0644, "p.txt",
     [](const TempDir& d) { fs::create_symlink(d.at("victim.txt"), d.at("p.txt.vor3-new")); }, false, FileProblem::none,
     kNoLinks},
};

INSTANTIATE_TEST_SUITE_P(Targets, WholeFileWrite, ::testing::ValuesIn(kSaves),
                         [](const auto& info) { return std::string(info.param.name); });

// A name that is no UTF-8 (text in another code page) is kept byte for
// byte where names are bytes; where they are UTF-16 it is saved under
// U+FFFD for the broken byte, and read back under the same text.
TEST(WholeFile, ANameThatIsNoUtf8IsSavedUnderTheNameTheSystemCanHold) {
    TempDir dir;
    const std::string name = "R\xE4ume.txt";  // Windows-1252
    ASSERT_FALSE(store::write_whole_file(dir.file(name), "new"));
    EXPECT_EQ(store::read_whole_file(dir.file(name), 100).bytes, "new");
    std::vector<std::string> listed;
    for (const auto& entry : fs::directory_iterator(dir.path)) {
        const std::u8string listed_name = entry.path().filename().u8string();
        listed.emplace_back(listed_name.begin(), listed_name.end());
    }
#ifdef _WIN32
    EXPECT_EQ(listed, std::vector<std::string>{"R\uFFFDume.txt"});
#else
    EXPECT_EQ(listed, std::vector<std::string>{name});
#endif
}

// A save never hands on the rights a file ran with, and in a shared sticky
// folder (the system's temporary folder) it follows another user's link no
// more than the system would: root's save through a link someone else
// planted there would replace a file only root may write.
TEST(WholeFile, DropsSetuidBitsAndRefusesAnotherUsersLinkInAStickyFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "no setuid bits, sticky folders nor links of another owner on Windows";
#else
    TempDir dir;
    const std::string program = dir.write("p.txt", "old");
    ::chmod(program.c_str(), 06755);
    ASSERT_FALSE(store::write_whole_file(program, "new")) << "an ordinary save";
    EXPECT_EQ(mode_of(program), 0755u);

    if (::geteuid() != 0) GTEST_SKIP() << "a link of another user needs root to plant (lchown)";
    ::chmod(dir.path.c_str(), 01777);
    // A hive, so that a set gets as far as its write.
    const std::string kept = "REGEDIT4\n";
    const std::string victim = dir.write("root-only.txt", kept);
    const std::string planted = dir.file("params.txt");
    fs::create_symlink(victim, planted);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    EXPECT_EQ(store::write_whole_file(planted, "new").problem, FileProblem::foreign_link);
    // The other saves of the store: a set to a hive, the trend log.
    const std::string refused =
        "it is another user's symbolic link in a shared folder, which the system does not follow";
    store::CRegistry hive({planted, ""});
    hive.MachineSetting(store::kProductKey, "Language", "1033");
    EXPECT_EQ(hive.error_text("1033"), planted + ": " + refused);
    store::CsvLog log;
    EXPECT_EQ(log.open(planted, "time,value", "1033"), refused);
    EXPECT_EQ(dir.read("root-only.txt"), kept);
    ASSERT_EQ(::lchown(planted.c_str(), 0, 0), 0);  // root's own link is followed as before
    EXPECT_FALSE(store::write_whole_file(planted, "new"));
    EXPECT_EQ(dir.read("root-only.txt"), "new");
#endif
}

// A pipe where a file should be, or a device, is refused at once, and
// unopened: opening a device can act on it (a serial port's control lines).
TEST(WholeFile, APipeOrADeviceIsRefusedAtOnce) {
#ifdef _WIN32
    GTEST_SKIP() << "no FIFO in a folder nor inotify on Windows";
#else
    TempDir dir;
    const std::string fifo = dir.file("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const int opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(opens, fifo.c_str(), IN_OPEN), 0);
    const std::function<store::FileError()> uses[] = {[&] { return store::read_whole_file(fifo, 100).error; },
                                                      [&] { return store::write_whole_file(fifo, "new"); },
                                                      [] { return store::read_whole_file("/dev/zero", 100).error; }};
    for (const auto& use : uses) {
        store::FileError error;
        EXPECT_TRUE(ends_without_waiting([&] { error = use(); }, fifo));
        EXPECT_EQ(store::file_error_text(error, "1033"), "it is not an ordinary file");
    }
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);  // still the pipe
    char event[256];
    EXPECT_LT(::read(opens, event, sizeof event), 0) << "the pipe was opened";
    ::close(opens);
#endif
}

}  // namespace
}  // namespace vor3::test
