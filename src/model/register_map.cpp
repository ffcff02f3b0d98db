#include "model/register_map.h"

#include <stdexcept>

#include "model/numbers.h"

namespace vor3::model {

namespace {

using B = Block;
using A = FieldArray;
using E = Encoding;

constexpr FieldSpec kFields[] = {
    {0, B::ConfigRegisters, A::txt_data_cfg, 0, "lbl_cfg", "Gerätecodierung:", "Device coding:", 5, E::Signed16, true,
     "", -32768, 32767},
    {1, B::ConfigRegisters, A::txt_data_cfg, 1, "lbl_cfg", "Firmwareversion:", "Firmware version:", 5, E::Signed16,
     true, "", -32768, 32767},
    {2, B::ConfigRegisters, A::txt_data_cfg, 2, "lbl_cfg", "Device:", "Device:", 5, E::Signed16, true, "", -255, 255},
    {3, B::ConfigRegisters, A::txt_data_cfg, 3, "lbl_cfg", "Standortkennung:", "Device location:", 5, E::Unsigned16,
     false, "", 0, 65535},
    {4, B::ConfigRegisters, A::txt_data_cfg, 4, "lbl_cfg", "Schaltschwelle gelbe LED:", "Value for yellow LED:", 5,
     E::Signed16, false, "ppm", 0, 3000},
    {5, B::ConfigRegisters, A::txt_data_cfg, 5, "lbl_cfg", "Schaltschwelle rote LED:", "Value for red LED:", 5,
     E::Signed16, false, "ppm", 0, 3000},
    {6, B::ConfigRegisters, A::txt_data_cfg, 6, "lbl_cfg",
     "Aktualisierungsintervall der Anzeige [s]:", "Display update [s]:", 5, E::Signed16, false, "s", 0, 255},
    {7, B::ConfigRegisters, A::txt_data_cfg, 7, "lbl_cfg", "Min-Response-Time [ms]:", "Min-Response-Time [ms]:", 5,
     E::Signed16, false, "ms", 5, kSlowestResponseMs},
    {8, B::ConfigRegisters, A::txt_data_cfg, 8, "lbl_cfg", "Temperatur-Offset [K]:", "Temperature-Offset:", 5,
     E::Signed16Div10, false, "K", -10, 10},
    {9, B::ConfigRegisters, A::txt_data_cfg, 9, "lbl_cfg", "Feuchte-Offset [%]:", "Humidity-Offset:", 5,
     E::Signed16Div10, false, "%", -10, 10},
    {10, B::ConfigRegisters, A::txt_data_cfg, 10, "lbl_cfg", "CO2-Offset [ppm]:", "CO2-Offset:", 5, E::Signed16, false,
     "ppm", -500, 500},
    {0x100, B::MeasuredValues, A::txt_data_out, 0, "lbl_read_out", "Temperatur:", "Temperature :", 0, E::Signed16Div10,
     false, "°C", -3276.8, 3276.7},
    {0x101, B::MeasuredValues, A::txt_data_out, 1, "lbl_read_out", "Feuchte:", "Humidity :", 0, E::Signed16Div10, false,
     "%rH", -3276.8, 3276.7},
    {0x102, B::MeasuredValues, A::txt_data_out, 2, "lbl_read_out", "CO2:", "CO2 :", 0, E::Unsigned16, false, "ppm", 0,
     65535},
    {0x200, B::ExternalValues, A::txt_data_in, 0, "lbl_data_in",
     "Externe Temperaturvorgabe:", "External Temperature :", 6, E::Signed16Div10, false, "°C", -100, 100},
    {0x201, B::ExternalValues, A::txt_data_in, 1, "lbl_data_in", "Externe Feuchtevorgabe:", "External Humidity :", 6,
     E::Signed16Div10, false, "%rH", 0, 100},
    {0x202, B::ExternalValues, A::txt_data_in, 2, "lbl_data_in", "Externe CO2 Vorgabe:", "External CO2 :", 5,
     E::Signed16, false, "ppm", 0, 9999},
    {0, B::ConfigCoils, A::chk_cfg, 0, "lbl_read_cfg_bit", "Raumtemperatur anzeigen:", "Show room temperature :", 0,
     E::Coil, false, "", 0, 1},
    {1, B::ConfigCoils, A::chk_cfg, 1, "lbl_read_cfg_bit", "Feuchtewert anzeigen:", "Show humidity :", 0, E::Coil,
     false, "", 0, 1},
    {2, B::ConfigCoils, A::chk_cfg, 2, "lbl_read_cfg_bit", "CO2 anzeigen:", "Show CO2 :", 0, E::Coil, false, "", 0, 1},
    {3, B::ConfigCoils, A::chk_cfg, 3, "lbl_read_cfg_bit", "Einheit Raumtemperatur:", "Unit temperature :", 0, E::Coil,
     true, "", 0, 1},
    {4, B::ConfigCoils, A::chk_cfg, 4, "lbl_read_cfg_bit", "LED Ampel:", "Show LED :", 0, E::Coil, false, "", 0, 1},
    {5, B::ConfigCoils, A::chk_cfg, 5, "lbl_read_cfg_bit", "Komma Temperatur:", "Comma temperature :", 0, E::Coil,
     false, "", 0, 1},
    {6, B::ConfigCoils, A::chk_cfg, 6, "lbl_read_cfg_bit", "Komma Feuchte:", "Comma humidtiy :", 0, E::Coil, false, "",
     0, 1},
    {7, B::ConfigCoils, A::chk_cfg, 7, "lbl_read_cfg_bit", "Feuchteanzeige mit RH:", "Humidity with/without 'rH' :", 0,
     E::Coil, true, "", 0, 1},
    {0x100, B::LedCoils, A::chk_inp_bit, 0, "lbl_read_bit", "Externe LED-Ansteuerung:", "Overwrite LED :", 0, E::Coil,
     false, "", 0, 1},
    {0x101, B::LedCoils, A::chk_inp_bit, 1, "lbl_read_bit", "LED grün:", "Green LED :", 0, E::Coil, false, "", 0, 1},
    {0x102, B::LedCoils, A::chk_inp_bit, 2, "lbl_read_bit", "LED gelb:", "Yellow LED :", 0, E::Coil, false, "", 0, 1},
    {0x103, B::LedCoils, A::chk_inp_bit, 3, "lbl_read_bit", "LED rot:", "Red LED :", 0, E::Coil, false, "", 0, 1},
    {0x104, B::LedCoils, A::chk_inp_bit, 4, "lbl_read_bit", "Ansteuerung LED:", "Ansteuerung LED:", 0, E::Coil, true,
     "", 0, 1},
};

}  // namespace

std::span<const FieldSpec> field_map() { return kFields; }

const FieldSpec& field(FieldArray array, int index) {
    for (const auto& f : kFields)
        if (f.array == array && f.index == index) return f;
    throw std::out_of_range("no such field");
}

const char* array_name(FieldArray array) {
    switch (array) {
    case A::txt_data_cfg: return "txt_data_cfg";
    case A::txt_data_out: return "txt_data_out";
    case A::txt_data_in: return "txt_data_in";
    case A::chk_cfg: return "chk_cfg";
    case A::chk_inp_bit: return "chk_inp_bit";
    }
    return "";
}

int scale_of(Encoding encoding) { return encoding == E::Signed16Div10 ? 10 : 1; }

bool written_to_sensor(const FieldSpec& f) {
    if (f.block == B::MeasuredValues) return false;
    return !(f.block == B::ConfigRegisters && f.address < 2);
}

std::string register_text(std::uint16_t raw, Encoding encoding, const std::string& decimal_sep) {
    const auto s = static_cast<std::int16_t>(raw);
    switch (encoding) {
    case E::Signed16: return format_number(s, decimal_sep);
    case E::Signed16Div10: return format_number(s / 10.0, decimal_sep);
    case E::Unsigned16: return format_number(raw, decimal_sep);
    case E::Coil: return raw ? "1" : "0";
    }
    return {};
}

std::string measured_text(std::uint16_t raw, Encoding encoding, const std::string& decimal_sep) {
    if (encoding != E::Signed16Div10) return register_text(raw, encoding, decimal_sep);
    const int tenths = static_cast<std::int16_t>(raw);
    const int size = tenths < 0 ? -tenths : tenths;
    const char sep = decimal_sep.empty() ? ',' : decimal_sep[0];
    return (tenths < 0 ? "-" : "") + std::to_string(size / 10) + sep + std::to_string(size % 10);
}

}  // namespace vor3::model
