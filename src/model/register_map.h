#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

// The sensor's registers and coils, and which field of the configuration
// window shows each one. The window, the decoder, the parameter files and
// the tests all read this one table.
namespace vor3::model {

enum class Block {
    ConfigRegisters,  // 0..10, function 03 / 10
    MeasuredValues,   // 0x100..0x102, read only
    ExternalValues,   // 0x200..0x202
    ConfigCoils,      // 0..7, function 01 / 0F
    LedCoils,         // 0x100..0x104
};

// The control arrays that show device data.
enum class FieldArray { txt_data_cfg, txt_data_out, txt_data_in, chk_cfg, chk_inp_bit };

enum class Encoding {
    Signed16,       // two's complement
    Signed16Div10,  // tenths
    Unsigned16,
    Coil,  // 0 or 1
};

struct FieldSpec {
    int address;  // Modbus register or coil address
    Block block;
    FieldArray array;
    int index;          // index in the control array
    const char* label;  // the label control that names the field
    const char* caption_de;
    const char* caption_en;
    int max_length;  // characters a user may type; 0 = no limit
    Encoding encoding;
    bool hidden;       // field hidden in the window (it still holds a value)
    const char* unit;  // unit of the value as shown ("" for none)
    double min, max;   // the values the field accepts (a spin button's limits)
};

std::span<const FieldSpec> field_map();
const FieldSpec& field(FieldArray array, int index);
const char* array_name(FieldArray array);

// The register's factor between field value and register value (10 for
// tenths, 1 otherwise).
int scale_of(Encoding encoding);
// True for the fields the program writes to the sensor: not the measured
// values, and not the device coding and firmware version, which writes
// start after.
bool written_to_sensor(const FieldSpec& field);

// The slowest minimum response time (register 7) a sensor can be set to.
constexpr int kSlowestResponseMs = 3000;

// Register ranges read and written in blocks.
constexpr int kConfigFirst = 0, kConfigEnd = 11;  // exclusive end
constexpr int kMeasuredFirst = 0x100, kMeasuredEnd = 0x103;
constexpr int kExternalFirst = 0x200, kExternalEnd = 0x203;
constexpr int kLedCoilFirst = 0x100, kLedCoilCount = 5;
constexpr int kConfigCoilCount = 8;
constexpr int kMaxReadBlock = 8;
constexpr int kMaxWriteBlock = 5;

// What the last request sent was, so that a reply can be understood.
enum RequestKind : std::int32_t {
    kIdle = 0,
    kReadRegisterBlock = 1,
    kWriteConfigBlock = 2,
    kReadConfigCoils = 3,
    kWriteConfigCoils = 4,
    kWriteExternalBlock = 5,
    kReadRegister6 = 6,
    kReadExternalValues = 7,
    kWriteLedCoils = 8,
    kReadLedCoils = 9,
};

// Register value to field text, in the user's number format.
std::string register_text(std::uint16_t raw, Encoding encoding, const std::string& decimal_sep);

// A measured value as the window shows it: as register_text, but a value
// in tenths always with its decimal ("48,0"), so that it does not change
// its width as it passes a whole number.
std::string measured_text(std::uint16_t raw, Encoding encoding, const std::string& decimal_sep);

}  // namespace vor3::model
