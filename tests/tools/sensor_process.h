#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

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

}  // namespace vor3::test
