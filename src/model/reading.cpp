#include "model/reading.h"

#include "model/numbers.h"

namespace vor3::model {

std::string reading_csv_line(const MeasuredReading& reading) {
    std::string line = reading.time;
    for (const auto& v : reading.values) line += "," + (v ? format_number(*v, ".") : std::string());
    return line;
}

}  // namespace vor3::model
