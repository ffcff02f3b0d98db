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

struct CliRun {
    int status = -1;
    std::string out, err;
};

// vor3-cli as an installation of its own: the program linked into a
// scratch folder of the build beside a machine hive, with a configuration
// folder of its own, so neither the build's settings nor the user's reach
// a test; in German with a comma unless told otherwise.
class CliInstall {
public:
    explicit CliInstall(const std::string& language = "1031", const std::string& decimal = ",")
        : dir_(std::filesystem::path(VOR3_CLI_PATH).parent_path()) {
        const auto program = dir_.path / "vor3-cli";
        std::error_code ec;
        std::filesystem::create_hard_link(VOR3_CLI_PATH, program, ec);
        if (ec) std::filesystem::copy_file(VOR3_CLI_PATH, program);
        dir_.write("machine.reg", machine_hive(dir_.path.string(), language));
        dir_.write("config/vor3-config/user.reg", user_hive(decimal));
    }

    // `locale` sets LC_ALL for the run ("": the caller's).
    CliRun run(const QStringList& args, const QString& locale = {}) const {
        QProcess p;
        start(p, args, locale);
        return finish(p);
    }

    // Starts the tool without waiting for it; finish() waits.
    void start(QProcess& p, const QStringList& args, const QString& locale = {}) const {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir_.file("config")));
        if (!locale.isEmpty()) env.insert("LC_ALL", locale);
        p.setProcessEnvironment(env);
        p.start(QString::fromStdString(dir_.file("vor3-cli")), args);
    }

    // Standard error of the running `p` until it holds `wanted` (or 30 s
    // have passed).
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

    static CliRun finish(QProcess& p) {
        CliRun r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.status = p.exitCode();
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }

    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
};

}  // namespace vor3::test
