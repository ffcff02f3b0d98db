#pragma once
#include <string>
#include <vector>

#include "model/globals.h"

// The register view's table: one row per register and coil of the map, as
// the sensor gave it last, for a technician to compare with a Modbus tool
// or to paste into a report.
namespace vor3::model {

using TableRow = std::vector<std::string>;

// The column headers: address, name, function, raw value, value, unit, range.
TableRow register_headers(const std::string& language);

// Every register and coil in the order of the map. The raw value in hex
// and the value as its field shows it (with the decimal separator in
// force); a value no read has given since it was last shown as not read
// has no raw value and says so as its value.
std::vector<TableRow> register_rows(const RegisterImage& image, const LanguageValues& lang);

// The table as text: the headers, then each row, cells separated by tabs,
// each line ending with a line feed. A tab or line end inside a cell
// becomes a space, so that every line keeps its columns.
std::string tab_separated(const TableRow& headers, const std::vector<TableRow>& rows);

}  // namespace vor3::model
