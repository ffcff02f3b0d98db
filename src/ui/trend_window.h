#pragma once
#include <string>

#include "form/context.h"
#include "form/frm_trend.h"
#include "model/captions.h"
#include "store/csv_log.h"

namespace vor3::ui {

// Where the user's hive keeps the folder of the last log file.
inline constexpr const char* kLogFolderValue = "LogFolder";

// "Verlauf": the trend window's behaviour. Every complete reading of the
// measured values goes on its chart, shown or not, and while its log box
// is ticked into the log file. It only listens: nothing it does changes
// what is sent or when.
class TrendWindow {
public:
    TrendWindow(Context& c, form::FrmTrend& window);
    TrendWindow(const TrendWindow&) = delete;
    TrendWindow& operator=(const TrendWindow&) = delete;

    // Shows the window in the language in force. Closing it only hides it:
    // readings are recorded and logged on.
    void load();
    void unload();

    // Ticking the log box asks for a file, starting in the folder of the
    // last one, and appends the readings from then on. A file that cannot
    // be opened is named with the reason and the box is cleared. Clearing
    // the box closes the log.
    void chk_log_Click();

    // A reading: onto the chart (when it has all three values, so the
    // curves stay in step) and, while logging, into the log. A log that
    // cannot be written is named with the reason once and closed; the
    // read-out goes on.
    void record(const model::MeasuredReading& reading);
    // While a job over several sensors has the line the readings come from
    // one sensor after another: none is recorded, so no curve or log
    // mixes sensors.
    void hold(bool on) { held_ = on; }

    const store::CsvLog& log() const { return log_; }

private:
    std::string text(model::Caption id) const;
    // Why `path` cannot be a log before trying to open it, or "".
    std::string refusal(const std::string& path) const;
    void remember_folder(const std::string& path);

    Context& c_;
    form::FrmTrend& w_;
    store::CsvLog log_;
    bool held_ = false;
};

}  // namespace vor3::ui
