// The window, the status window and the windows of the menus in both
// languages: every caption shows whole, the about box's link reaches the
// desktop, and pictures of each land in the build folder.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

#include "model/captions.h"
#include "qt/about_view.h"
#include "qt/scan_view.h"
#include "qt/state_view.h"
#include "qt/traffic_view.h"
#include "support/fake_platform.h"
#include "ui/status_line.h"
#include "ui/status_window.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

// Texts a widget would cut off, by object name.
std::vector<std::string> cut_off(const QWidget& window) {
    std::vector<std::string> cut;
    auto name = [](const QWidget* w) { return w->objectName().toStdString(); };
    for (const QLabel* l : window.findChildren<QLabel*>())
        if (l->isVisible() && l->width() < l->minimumSizeHint().width()) cut.push_back(name(l));
    for (const QAbstractButton* b : window.findChildren<QAbstractButton*>())
        if (b->isVisible() && b->width() < b->minimumSizeHint().width()) cut.push_back(name(b));
    for (const QGroupBox* g : window.findChildren<QGroupBox*>())
        if (g->isVisible() && g->width() < g->fontMetrics().horizontalAdvance(g->title()) + 16) cut.push_back(name(g));
    for (const QTabBar* t : window.findChildren<QTabBar*>())
        for (int i = 0; i < t->count(); ++i)
            if (t->tabRect(i).width() < t->fontMetrics().horizontalAdvance(t->tabText(i))) cut.push_back("tab");
    return cut;
}

struct Language {
    const char* value;
    const char* tag;
};
void PrintTo(const Language& k, std::ostream* os) { *os << k.tag; }

class LanguageView : public ViewTest, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override {
        program.g.platform.machine_hive =
            dir.write("machine.reg", vor3::test::machine_hive(dir.path.string(), GetParam().value));
        program.use_desktop(desktop);
        ViewTest::SetUp();
    }

    vor3::test::TempDir dir;
    vor3::test::FakeDesktop desktop;
};

TEST_P(LanguageView, EveryCaptionShowsWholeInEveryWindow) {
    const std::string tag = GetParam().tag;
    // A line that has had some trouble, the warning up and the longest word
    // on a write: the status line shows whole too.
    f.Combo_Port(6).set_list_index(1);
    program.g.counts = {12345, 12340, 4, 1, 2, 3, "10:41:05", "10:41:07", true};
    program.g.status_note = [](const std::string& l) {
        using model::Caption;
        return std::string(model::caption(Caption::status_write_ended, l)) + " – " +
               model::caption(
                   Caption::status_confirmed, l,
                   {model::caption(Caption::part_config, l, {"2", "10"}) + ", " +
                    model::caption(Caption::part_config_coils, l) + ", " + model::caption(Caption::part_external, l)}) +
               "; " + model::caption(Caption::status_unconfirmed, l, {model::caption(Caption::part_led_coils, l)});
    };
    ui::show_status_line(program.ctx);
    f.warning_line().set_visible(true);
    auto& tabs = widget<QTabWidget>("SSTab1");
    for (int page = 0; page < 2; ++page) {
        tabs.setCurrentIndex(page);
        QCoreApplication::processEvents();
        EXPECT_EQ(cut_off(*view), std::vector<std::string>{}) << "page " << page;
        picture(*view, tag + "_page" + std::to_string(page));
    }
    struct Window {
        std::function<void()> open;
        QWidget* view;
        const char* picture;
    } windows[] = {{[&] { ui::ShowMsgWindow(program.ctx); }, &view->state_view(), "_status"},
                   {[&] { f.MenueMain(2).press(); }, &view->about_view(), "_about"},
                   {[&] { f.AnsichtMenue(1).press(); }, &view->scan_view(), "_scan"},
                   {[&] { f.AnsichtMenue(3).press(); }, &view->traffic_view(), "_traffic"}};
    for (const Window& w : windows) {
        w.open();
        ASSERT_TRUE(wait_until([&] { return w.view->isVisible(); }, 3000)) << w.picture;
        EXPECT_EQ(cut_off(*w.view), std::vector<std::string>{}) << w.picture;
        picture(*w.view, tag + w.picture);
        w.view->close();
    }
    emit view->about_view().findChild<QLabel*>("lblemail")->linkActivated("#");
    EXPECT_EQ(desktop.links, std::vector<std::string>{"mailto:info@vadivoz.example"});
    EXPECT_FALSE(program.fAbout.loaded());
}

INSTANTIATE_TEST_SUITE_P(Both, LanguageView, ::testing::Values(Language{"1031", "de"}, Language{"1033", "en"}),
                         [](const auto& info) { return std::string(info.param.tag); });

}  // namespace
}  // namespace vor3::qt::test
