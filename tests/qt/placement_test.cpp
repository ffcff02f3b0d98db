// Where the window opens: whole and centred wherever the screen holds it,
// in both languages, at a scale of 1 and of 1.5; on a screen too small for
// it, with its top-left corner on the screen. Each screen is an offscreen
// display of its own, so each runs in a process of its own.
#include <cstdio>
#include <set>

#include <QProcess>
#include <QScreen>

#include "qt/tool_window.h"
#include "support/hives.h"
#include "support/temp_dir.h"
#include "view_fixture.h"

int placement_probe() {
    using namespace vor3;
    for (const char* language : {"1031", "1033"}) {
        const test::TempDir dir;
        qt::QtClock clock;
        test::FakePort port;
        test::FakeMessageBox msg;
        test::FakeConfirm confirm;
        app::Program program{port, msg, confirm, clock};
        program.g.platform.machine_hive = dir.write("machine.reg", test::machine_hive(dir.path.string(), language));
        qt::ConfigView view(program);
        program.Main();
        view.show_centered();
        if (!QTest::qWaitForWindowExposed(&view)) return 1;
        QTest::qWait(20);  // the place is corrected once the frame is known
        const QRect a = view.screen()->availableGeometry();
        const QRect w = view.frameGeometry();
        std::printf("placed %d %d %d %d %d %d %d %d\n", a.x(), a.y(), a.width(), a.height(), w.x(), w.y(), w.width(),
                    w.height());
        // Every window of the view menu open at once, one after another.
        for (const int item : {1, 3, 4, 5, 6}) {
            program.frm_config.AnsichtMenue(item).press();
            QTest::qWait(20);
        }
        for (const qt::ToolWindow* tool : view.findChildren<qt::ToolWindow*>()) {
            const QRect t = tool->frameGeometry();
            if (tool->isVisible()) std::printf("tool %d %d %d %d\n", t.x(), t.y(), t.width(), t.height());
        }
        program.frm_config.stop_all_timers();
    }
    return 0;
}

namespace vor3::qt::test {
namespace {

struct Screen {
    const char* name;
    int width, height;
    double scale;
    bool holds_the_window;
};
void PrintTo(const Screen& s, std::ostream* os) { *os << s.name; }

class Placement : public ::testing::TestWithParam<Screen> {};

TEST_P(Placement, TheWindowOpensWholeAndCentredOrWithItsCornerOnTheScreen) {
    const Screen& s = GetParam();
    const vor3::test::TempDir dir;
    const std::string config = dir.write(
        "screen.json", "{\"screens\": [{\"name\": \"s\", \"x\": 0, \"y\": 0, \"width\": " + std::to_string(s.width) +
                           ", \"height\": " + std::to_string(s.height) + "}]}");
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", QString::fromStdString("offscreen:configfile=" + config));
    env.insert("QT_SCALE_FACTOR", QString::number(s.scale));
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationFilePath(), {"--placement-probe"});
    ASSERT_TRUE(probe.waitForFinished(30000));
    ASSERT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();

    std::vector<QRect> windows;  // German, then English
    std::vector<QRect> tools;    // of the language read last
    std::size_t tool_count = 0;
    // Where they had no room beside the main window they cascade, rather
    // than pile up at one height.
    const auto cascaded = [](const std::vector<QRect>& opened) {
        if (opened.empty()) return;
        std::set<int> tops;
        for (const QRect& t : opened) tops.insert(t.top());
        EXPECT_GE(tops.size() * 2, opened.size() + 1);
    };
    for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
        int ax, ay, aw, ah, x, y, w, h;
        if (std::sscanf(line.constData(), "tool %d %d %d %d", &x, &y, &w, &h) == 4) {
            // Each on the screen, none at another's corner: where they pile
            // up, each title bar stays in sight.
            const QRect tool(x, y, w, h), area(0, 0, qRound(s.width / s.scale), qRound(s.height / s.scale));
            EXPECT_TRUE(tool.width() <= area.width() ? area.contains(tool) : area.contains(tool.topLeft()))
                << line.toStdString();
            for (const QRect& other : tools) EXPECT_NE(other.topLeft(), tool.topLeft()) << line.toStdString();
            tools.push_back(tool);
            ++tool_count;
            continue;
        }
        if (std::sscanf(line.constData(), "placed %d %d %d %d %d %d %d %d", &ax, &ay, &aw, &ah, &x, &y, &w, &h) != 8)
            continue;
        cascaded(tools);
        tools.clear();
        const QRect area(ax, ay, aw, ah), window(x, y, w, h);
        // Logical pixels: the screen shrinks by the scale, the window not.
        EXPECT_EQ(area.width(), qRound(s.width / s.scale));
        const bool centred = (area.center() - window.center()).manhattanLength() <= 2;
        EXPECT_TRUE(s.holds_the_window ? area.contains(window) && centred : area.contains(window.topLeft()))
            << line.toStdString();
        windows.push_back(window);
    }
    cascaded(tools);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(tool_count, 2u * 5u) << "the five windows of the view menu, in each language";
    EXPECT_EQ(windows[0].size(), windows[1].size()) << "English as large as German";
}

INSTANTIATE_TEST_SUITE_P(Screens, Placement,
                         ::testing::Values(Screen{"Netbook1024x600", 1024, 600, 1.0, false},
                                           Screen{"Desk1280x1024", 1280, 1024, 1.0, true},
                                           Screen{"FullHdAtScale150", 1920, 1080, 1.5, true},
                                           Screen{"Desk1280x1024AtScale150", 1280, 1024, 1.5, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vor3::qt::test
