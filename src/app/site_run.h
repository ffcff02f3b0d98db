#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/bus_run.h"
#include "app/site_file.h"
#include "form/clock.h"
#include "form/serial_port.h"

namespace vor3::app {

// Several lines worked at once: one program over each line's own port,
// each driving its line's sensors one after another as a run over one line
// does (so a line never carries two requests at once), all on the one
// clock and its one event loop, so every line is busy at the same time.
// A scan finds the sensors of each line and reads each one found.
class SiteRun {
public:
    // `port_of(i)` is the port of line i, kept by the caller for the run's
    // life; `prepare` sets up each program before its line opens.
    SiteRun(form::Clock& clock, std::vector<SiteLine> lines,
            const std::function<form::SerialPort&(std::size_t)>& port_of,
            const std::function<void(Program&, const SiteLine&)>& prepare = {});
    ~SiteRun();
    SiteRun(const SiteRun&) = delete;
    SiteRun& operator=(const SiteRun&) = delete;

    // Opens every line and starts on its sensors. A line whose port cannot
    // be opened has all its sensors reported as such; the others go on.
    void start();
    // Every line stops after the sensor in progress.
    void stop();
    bool running() const;
    bool stopping() const { return stopping_; }

    std::size_t line_count() const { return lines_.size(); }
    Program& program(std::size_t line);
    // Each line's sensors, line after line, each naming its line's port.
    std::vector<SensorResult> results() const;
    // What befell a line as a whole, "PORT: why", in the language in
    // force: its port lost or not opened, no sensor found, where it stopped.
    std::vector<std::string> notes() const;
    // The highest exit status of every sensor and every line.
    int exit_status() const;

private:
    struct Line;
    std::vector<std::unique_ptr<Line>> lines_;
    bool stopping_ = false;
};

}  // namespace vor3::app
