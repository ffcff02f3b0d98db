#pragma once
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <string>

#include "support/hives.h"
#include "support/temp_dir.h"

namespace vor3::test {

// vor3-sensor-sim (or another program that serves a sensor and names where
// to reach it in its first line) running for the length of a test.
class SensorProcess {
public:
    explicit SensorProcess(const QStringList& args = {}) : SensorProcess(QStringLiteral(VOR3_SENSOR_SIM_PATH), args) {}
    SensorProcess(const QString& program, const QStringList& args) {
        process_.start(program, args);
        if (process_.waitForStarted(5000)) device_ = next_line();
    }
    ~SensorProcess() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(3000);
    }
    const std::string& device() const { return device_; }
    // Faults for the sensor's input ("" clears them); true once taken.
    bool set_faults(const std::string& line) {
        process_.write((line + "\n").c_str());
        return next_line() == "faults set";
    }
    // Ends the sensor at once, as a crash would.
    void kill() {
        process_.kill();
        process_.waitForFinished(3000);
    }

private:
    std::string next_line() {
        while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
        }
        return process_.readLine().trimmed().toStdString();
    }

    QProcess process_;
    std::string device_;
};

struct CliRun {
    int status = -1;
    std::string out, err;
};

// vor3-cli linked into a scratch folder beside hives of its own, so neither
// the build's settings nor the user's reach a test; in German.
class CliInstall {
public:
    explicit CliInstall(const std::string& decimal = ",") : dir_(std::filesystem::path(VOR3_CLI_PATH).parent_path()) {
        std::error_code ec;
        std::filesystem::create_hard_link(VOR3_CLI_PATH, dir_.path / "vor3-cli", ec);
        if (ec) std::filesystem::copy_file(VOR3_CLI_PATH, dir_.path / "vor3-cli");
        dir_.write("machine.reg", machine_hive(dir_.path.string(), "1031"));
        dir_.write("config/vor3-config/user.reg", user_hive(decimal));
    }

    // Runs the tool to its end with `locale` as LC_ALL ("": the caller's).
    CliRun run(const QStringList& args, const QString& locale = {}) const {
        QProcess p;
        start(p, args, locale);
        return finish(p);
    }
    void start(QProcess& p, const QStringList& args, const QString& locale = {}) const {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir_.file("config")));
        if (!locale.isEmpty()) env.insert("LC_ALL", locale);
        p.setProcessEnvironment(env);
        p.start(QString::fromStdString(dir_.file("vor3-cli")), args);
    }

    // Standard error of the running `p` until it holds `wanted` (30 s at most).
    static std::string error_until(QProcess& p, const std::function<bool(const std::string&)>& wanted) {
        std::string err;
        QElapsedTimer waited;
        waited.start();
        while (!wanted(err) && waited.elapsed() < 30000) {
            p.waitForReadyRead(50);
            err += p.readAllStandardError().toStdString();
        }
        return err;
    }

    // Waits for `p` to end (a minute at most, else status -1).
    static CliRun finish(QProcess& p) {
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
    }

    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
};

}  // namespace vor3::test
