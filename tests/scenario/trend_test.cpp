// The trend window and its log during the cyclic read-out, against the
// simulated sensor under the virtual clock.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>

#include "store/registry.h"
#include "support/fake_platform.h"
#include "ui/trend_window.h"

namespace vor3::test {
namespace {

#ifndef _WIN32
// Holds the files this process writes to `bytes` (as a full disk would)
// for as long as it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previous_signal_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previous_signal_);
    }

private:
    rlimit previous_{};
    void (*previous_signal_)(int) = nullptr;
};
#endif

// Readings reach the chart and the log in the command line's format; a log
// that cannot be opened or written is named once, the box is cleared and
// the read-out polls on as if nothing had been asked; none of it changes
// what goes on the wire (the log's times are the polls' times).
TEST(Trend, ReadingsReachTheChartAndTheLogAndAFailingLogIsNamedOnce) {
    InstalledProgram r(Installation().on_simulated_sensor());
    form::FrmTrend& trend = r.prog.frmTrend;
    const std::deque<form::TrendPoint>& points = trend.cht_trend.points();
    const auto log_to = [&](const std::string& path) {  // the log box ticked, `path` picked in the dialog
        r.files.answer = path;
        trend.chk_log.set_value(1);
    };
    const auto run_until_points = [&](std::size_t n) {
        return r.clock.run_until([&] { return points.size() >= n; }, 60000);
    };
    const auto log_folder = [&] {
        return store::CRegistry({"", r.prog.g.platform.user_hive}).Werte(store::kProductKey, ui::kLogFolderValue);
    };
    ASSERT_TRUE(r.read_device());
    ASSERT_EQ(points.size(), 1u);  // recorded with the window closed

    r.f.AnsichtMenue(4).press();
    trend.chk_log.set_value(1);  // the dialog is cancelled
    EXPECT_EQ(trend.chk_log.value(), 0);
    EXPECT_EQ(r.files.filters, std::vector<std::string>{"CSV-Datei (*.csv)"});
    const std::string log = r.dir.file("log.csv");
    log_to(log);
    EXPECT_EQ(trend.lbl_log_file.caption(), log);
    EXPECT_EQ(log_folder(), r.dir.text());

    r.sensor.set_holding(0x100, 0xFFFB);
    r.sensor.set_holding(0x101, 515);
    r.sensor.set_holding(0x102, 800);
    r.f.chk_read_out.set_value(1);
    ASSERT_TRUE(run_until_points(3));
    r.sensor.set_holding(0x100, 215);
    ASSERT_TRUE(run_until_points(5));

    // The window shows "21,5"; the log writes "." whatever the separator.
    EXPECT_EQ(r.f.txt_data_out(0).text(), "21,5");
    EXPECT_EQ(r.dir.read("log.csv"),
              "time,temperature_c,humidity_rh,co2_ppm\n"
              "2024-12-07T14:03:06.150,-0.5,51.5,800\n"
              "2024-12-07T14:03:06.400,-0.5,51.5,800\n"
              "2024-12-07T14:03:06.600,21.5,51.5,800\n"
              "2024-12-07T14:03:06.800,21.5,51.5,800\n");
    const form::TrendPoint& last = points.back();
    EXPECT_EQ(last.values, (std::array<double, 3>{21.5, 51.5, 800}));
    EXPECT_EQ(last.epoch_ms - last.at_ms, 1733580185000);
    EXPECT_EQ(points.size(), 5u);

    // A value that is no number leaves its field empty in the log; the
    // reading stays off the chart, whose curves keep in step.
    r.prog.trend_window.record({0, "T", {21.5, std::nullopt, 800}});
    EXPECT_EQ(points.size(), 5u);
    EXPECT_TRUE(r.dir.read("log.csv").ends_with("800\nT,21.5,,800\n"));

    trend.chk_log.set_value(0);
    EXPECT_FALSE(r.prog.trend_window.log().is_open());
    std::vector<std::pair<std::string, const char*>> refused = {{"missing/log.csv", "Datei oder Ordner nicht gefunden"},
                                                                {"", "Das ist ein Ordner"}};
#ifndef _WIN32
    refused.emplace_back("/dev/null", "das ist keine gewöhnliche Datei");
#endif
    for (const auto& [name, reason] : refused) {
        const std::string path = r.dir.file(name);  // an absolute one stands alone
        r.msg.shown.clear();
        log_to(path);
        EXPECT_EQ(r.msg.shown,
                  std::vector<std::string>{"Die Protokolldatei „" + path + "“ kann nicht geöffnet werden: " + reason});
        EXPECT_EQ(trend.chk_log.value(), 0);
        EXPECT_FALSE(r.prog.trend_window.log().is_open());
        EXPECT_EQ(trend.lbl_log_file.caption(), "");
        EXPECT_EQ(r.files.folders.back(), r.dir.text());  // the dialog starts in the last folder
    }
    EXPECT_EQ(log_folder(), r.dir.text());

#ifdef _WIN32
    GTEST_SKIP() << "a full disk is made with a file size limit (setrlimit), which Windows has not";
#else
    r.msg.shown.clear();
    log_to(log);
    ASSERT_TRUE(run_until_points(7));
    const std::string logged = r.dir.read("log.csv");
    const std::size_t requests = r.sensor.requests().size();
    {
        const FileSizeLimit full(logged.size());
        ASSERT_TRUE(run_until_points(12));
    }
    ASSERT_EQ(r.msg.shown, std::vector<std::string>{"In die Protokolldatei „" + log +
                                                    "“ kann nicht geschrieben werden: File too large"});
    EXPECT_EQ(r.msg.details.back(), "Das Protokoll ist beendet; die Messwerte werden weiter gelesen.");
    EXPECT_EQ(trend.chk_log.value(), 0);
    EXPECT_FALSE(r.prog.trend_window.log().is_open());
    EXPECT_EQ(r.dir.read("log.csv"), logged);
    EXPECT_EQ(r.sensor.requests().size(), requests + 5);
    EXPECT_EQ(r.f.chk_read_out.value(), 1);
    EXPECT_TRUE(r.f.Timer6.enabled());
#endif
}

}  // namespace
}  // namespace vor3::test
