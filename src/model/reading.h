#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

// One reading of the three measured values as logs and the command line
// write it.
namespace vor3::model {

// Temperature in °C, humidity in %rH and CO2 in ppm; nothing for a value
// that was not a number.
using MeasuredValues = std::array<std::optional<double>, 3>;

// A reading as the window showed it, stamped by the wall clock once for
// everyone who records it: milliseconds since 1970 UTC for a time axis,
// ISO 8601 local time with milliseconds for a log.
struct MeasuredReading {
    std::int64_t epoch_ms = 0;
    std::string time;
    MeasuredValues values;
};

// The first line of a reading log.
inline constexpr const char* kReadingCsvHeader = "time,temperature_c,humidity_rh,co2_ppm";

// One line of a reading log: the time, then the values with "." as the
// decimal point whatever the window's separator, so that any spreadsheet
// reads them; a missing value is an empty field.
std::string reading_csv_line(const MeasuredReading& reading);

}  // namespace vor3::model
