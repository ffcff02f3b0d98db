#pragma once
#include <clocale>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include "app/program.h"
#include "qt/config_view.h"
#include "qt/qt_clock.h"
#include "qt/switching_port.h"
#include "sim/sim_port.h"
#include "sim/simulated_sensor.h"
#include "support/fakes.h"

namespace vor3::qt::test {

// Runs the real event loop until pred() holds or limit_ms have passed.
inline bool wait_until(const std::function<bool()>& pred, int limit_ms) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < limit_ms) QTest::qWait(5);
    return pred();
}

// A picture of a window for anyone to look at, in build/screenshots.
inline void picture(QWidget& w, const std::string& name) {
    QDir().mkpath(VOR3_SCREENSHOT_DIR);
    const QString path = QString(VOR3_SCREENSHOT_DIR "/%1.png").arg(QString::fromStdString(name));
    EXPECT_TRUE(w.grab().save(path)) << path.toStdString();
}

// A running program with its window, on the real clock: three scripted
// "real" ports and the simulated sensor as the fourth entry. Under a German
// locale, which Qt hands to the C library as a desktop session would.
class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        view = std::make_unique<ConfigView>(program);
        program.Main();
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    void TearDown() override {
        program.frm_config.stop_all_timers();
        view.reset();
        std::setlocale(LC_ALL, previous_locale.c_str());
    }

    template <class W>
    W& widget(const char* name) {
        W* w = view->findChild<W*>(name);
        if (!w) throw std::runtime_error(std::string("no widget ") + name);
        return *w;
    }

    const std::string previous_locale = std::setlocale(LC_ALL, nullptr);
    QtClock clock;
    vor3::test::FakePort real;
    sim::SimulatedSensor sensor{sim::Framing::Auto, 1};
    sim::SimPort simulator{clock, sensor};
    SwitchingPort port{real, simulator};
    vor3::test::FakeMessageBox msg;
    vor3::test::FakeConfirm confirm;
    app::Program program{port, msg, confirm, clock};
    form::FrmConfig& f = program.frm_config;
    std::unique_ptr<ConfigView> view;
};

}  // namespace vor3::qt::test
