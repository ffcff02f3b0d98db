#include "sim/modbus_pdu.h"

namespace vor3::sim {

namespace {

constexpr std::uint8_t kReadCoils = 0x01;
constexpr std::uint8_t kReadHolding = 0x03;
constexpr std::uint8_t kWriteCoils = 0x0F;
constexpr std::uint8_t kWriteHolding = 0x10;
constexpr int kMaxCoils = 2000;
constexpr int kMaxRegisters = 125;

std::uint8_t byte_at(std::string_view s, std::size_t i) { return static_cast<std::uint8_t>(s[i]); }
int word_at(std::string_view s, std::size_t i) { return byte_at(s, i) * 256 + byte_at(s, i + 1); }

void put_word(std::string& out, int value) {
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

// Where a request starts, how many items it covers, and the data bytes it
// carries after the byte count (writes only).
struct Range {
    int first;
    int count;
    std::string_view data;
};

std::string read_coils(std::uint8_t fn, const Range& r, const SensorMemory& memory) {
    if (!memory.coils_present(r.first, r.count)) return exception_pdu(fn, kIllegalDataAddress);
    std::string packed((r.count + 7) / 8, '\0');
    for (int i = 0; i < r.count; ++i)
        if (memory.coil(r.first + i)) packed[i / 8] = static_cast<char>(packed[i / 8] | (1 << (i % 8)));
    return std::string{static_cast<char>(fn), static_cast<char>(packed.size())} + packed;
}

std::string read_holding(std::uint8_t fn, const Range& r, const SensorMemory& memory, std::int64_t now_ms) {
    if (!memory.holding_readable(r.first, r.count)) return exception_pdu(fn, kIllegalDataAddress);
    std::string out{static_cast<char>(fn), static_cast<char>(2 * r.count)};
    for (int i = 0; i < r.count; ++i) put_word(out, memory.holding(r.first + i, now_ms));
    return out;
}

// A write's reply echoes its function code, start and quantity.
std::string write_echo(std::uint8_t fn, const Range& r) {
    std::string out{static_cast<char>(fn)};
    put_word(out, r.first);
    put_word(out, r.count);
    return out;
}

std::string write_coils(std::uint8_t fn, const Range& r, SensorMemory& memory) {
    if (!memory.coils_present(r.first, r.count)) return exception_pdu(fn, kIllegalDataAddress);
    for (int i = 0; i < r.count; ++i) memory.set_coil(r.first + i, (byte_at(r.data, i / 8) >> (i % 8)) & 1);
    return write_echo(fn, r);
}

std::string write_holding(std::uint8_t fn, const Range& r, SensorMemory& memory) {
    if (!memory.holding_writable(r.first, r.count)) return exception_pdu(fn, kIllegalDataAddress);
    for (int i = 0; i < r.count; ++i)
        memory.set_holding(r.first + i, static_cast<std::uint16_t>(word_at(r.data, 2 * i)));
    return write_echo(fn, r);
}

// The data of a write must say, and carry, exactly as many bytes as its
// quantity needs; anything else is a malformed value, not a bad address.
bool write_is_consistent(std::string_view data, int bytes_needed) {
    return data.size() >= 5 && byte_at(data, 4) == bytes_needed && data.size() == 5u + bytes_needed;
}

}  // namespace

std::string exception_pdu(std::uint8_t function, int code) {
    return {static_cast<char>(function | 0x80), static_cast<char>(code)};
}

std::string answer_pdu(std::string_view request, SensorMemory& memory, std::int64_t now_ms) {
    if (request.empty()) return {};
    const std::uint8_t fn = byte_at(request, 0);
    const std::string_view data = request.substr(1);
    const bool known = fn == kReadCoils || fn == kReadHolding || fn == kWriteCoils || fn == kWriteHolding;
    if (!known) return exception_pdu(fn, kIllegalFunction);
    if (data.size() < 4) return exception_pdu(fn, kIllegalDataValue);

    const Range range{word_at(data, 0), word_at(data, 2), data.size() > 5 ? data.substr(5) : std::string_view{}};
    const bool on_coils = fn == kReadCoils || fn == kWriteCoils;
    const int limit = on_coils ? kMaxCoils : kMaxRegisters;
    if (range.count < 1 || range.count > limit) return exception_pdu(fn, kIllegalDataValue);
    const bool is_read = fn == kReadCoils || fn == kReadHolding;
    if (is_read && data.size() != 4) return exception_pdu(fn, kIllegalDataValue);
    if (!is_read && !write_is_consistent(data, on_coils ? (range.count + 7) / 8 : 2 * range.count))
        return exception_pdu(fn, kIllegalDataValue);

    switch (fn) {
    case kReadCoils: return read_coils(fn, range, memory);
    case kReadHolding: return read_holding(fn, range, memory, now_ms);
    case kWriteCoils: return write_coils(fn, range, memory);
    default: return write_holding(fn, range, memory);
    }
}

}  // namespace vor3::sim
