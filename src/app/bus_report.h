#pragma once
#include <string>
#include <vector>

#include "app/bus_run.h"

// What a run over several sensors tells: a summary line per sensor for
// people, and the data of every sensor as text, JSON or CSV for scripts
// and spreadsheets. CSV numbers carry "." whatever the window's separator.
namespace vor3::app {

// One line per sensor in the language given: "Adresse 5, Standortkennung
// 5: geschrieben und geprüft", with why where it failed.
std::string bus_summary(const std::vector<SensorResult>& results, const std::string& language);

// The fields of every sensor read, each line led by its address and a tab.
std::string bus_read_text(const std::vector<SensorResult>& results);
// One JSON object per sensor, in an array: address, outcome, and its
// fields as vor3-cli read --json gives them, or what went wrong.
std::string bus_read_json(const std::vector<SensorResult>& results);
// A header, then one row per sensor: address, outcome and every field.
std::string bus_read_csv(const std::vector<SensorResult>& results, const std::string& decimal_sep);

// Each sensor's changes ("control\tcaption\told -> new"), led by its address.
std::string bus_changes_text(const std::vector<SensorResult>& results);
// The commissioning report: address, location id, outcome, why, then each
// device value before and after (the measured values left out).
std::string bus_report_csv(const std::vector<SensorResult>& results, const std::string& decimal_sep);

}  // namespace vor3::app
