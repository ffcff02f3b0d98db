#pragma once
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <string>

#include "sensor_process.h"
#include "support/hives.h"
#include "support/temp_dir.h"

namespace vor3::test {

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
