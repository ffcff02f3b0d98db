#include "link/hex.h"

namespace vor3::link {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Value of an upper-case hex digit, or -1.
int upper_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Value of a hex digit of either case, or -1.
int any_digit(char c) {
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return upper_digit(c);
}

}  // namespace

std::string LongToHexStr(std::int32_t vlLong, std::int32_t vlBytes) {
    auto v = static_cast<std::uint32_t>(vlLong);
    std::string text;
    do {
        text.insert(text.begin(), kDigits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    const long long width = 2LL * vlBytes;
    if (width > 0 && static_cast<long long>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

std::string CalculateLRC(std::string_view sMessage) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < sMessage.size(); i += 2) {
        unsigned number = 0;
        for (std::size_t k = i; k < i + 2 && k < sMessage.size(); ++k) {
            const int d = any_digit(sMessage[k]);
            number = number * 16 + static_cast<unsigned>(d < 0 ? 0 : d);
        }
        sum = (sum + number) % 256;
    }
    const unsigned lrc = ((255 - sum) + 1) % 256;
    return LongToHexStr(static_cast<std::int32_t>(lrc), 1);
}

std::uint16_t crc16(std::string_view bytes) {
    std::uint16_t crc = 0xFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::string CalculateCRC(std::string_view bytes) { return LongToHexStr(crc16(bytes), 2); }

std::uint8_t HexToByte(std::string& text) {
    if (text.size() > 2) text.resize(2);
    if (text.empty()) return 0;
    if (text.size() == 1) {
        const int d = upper_digit(text[0]);
        return static_cast<std::uint8_t>(d < 0 ? 0 : d);
    }
    const int lo_digit = upper_digit(text[1]);
    const int low = lo_digit < 0 ? 0 : lo_digit;
    const int high = upper_digit(text[0]);
    return static_cast<std::uint8_t>(high < 0 ? low : 16 * high + low);
}

std::string ByteToHex(std::uint8_t b) { return std::string{kDigits[(b & 0xF0) / 16], kDigits[b & 0x0F]}; }

std::string bytes_to_hex(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) out += ByteToHex(b);
    return out;
}

std::string with_crc(std::string message) {
    const std::uint16_t crc = crc16(message);
    message.push_back(static_cast<char>(crc & 0xFF));
    message.push_back(static_cast<char>(crc >> 8));
    return message;
}

int reply_data_bytes(int function, int quantity) {
    if (function == 3) return 2 * quantity;
    if (function == 1) return (quantity + 7) / 8;
    return -1;
}

int reply_rtu_bytes(int function, int quantity) {
    const int data = reply_data_bytes(function, quantity);
    return data < 0 ? 8 : 5 + data;
}

int line_chars(model::Framing framing, int rtu_bytes) {
    return framing == model::Framing::Ascii ? 2 * rtu_bytes + 1 : rtu_bytes;
}

bool hex_to_bytes(std::string_view hex, std::string& out) {
    out.clear();
    if (hex.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int h = any_digit(hex[i]), l = any_digit(hex[i + 1]);
        if (h < 0 || l < 0) return false;
        out.push_back(static_cast<char>(h * 16 + l));
    }
    return true;
}

}  // namespace vor3::link
