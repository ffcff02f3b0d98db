#include "store/code_page.h"

#include <cstdint>

namespace vor3::store {

namespace {

// Code points of 0x80 to 0x9F; 0 where the code page has no character.
constexpr std::uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char kHexDigits[] = "0123456789ABCDEF";

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void append_utf16le(std::string& out, char32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

// The code point at `i` of UTF-8 text, moving `i` past it; nothing (and
// `i` where it was) for a byte that starts no well-formed character.
std::optional<char32_t> next_code_point(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > s.size()) return std::nullopt;
    char32_t cp = length == 1 ? b : b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (c & 0x3F);
    }
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    i += length;
    return cp;
}

char to_cp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::string utf8_to_cp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto cp = next_code_point(text, i);
        out += cp ? to_cp1252(*cp) : '?';
        if (!cp) ++i;
    }
    return out;
}

std::string cp1252_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0)
            append_utf8(out, kHigh[b - 0x80] ? kHigh[b - 0x80] : 0xFFFD);
        else
            append_utf8(out, b);
    }
    return out;
}

std::optional<std::string> utf16le_to_utf8(std::string_view bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::string out;
    out.reserve(bytes.size() / 2);
    auto unit = [&](std::size_t i) {
        const auto low = static_cast<unsigned char>(bytes[i]), high = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(low | (high << 8));
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xDC00 && u <= 0xDFFF) return std::nullopt;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 2 >= bytes.size()) return std::nullopt;
            const char32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            append_utf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
            i += 2;
        } else {
            append_utf8(out, u);
        }
    }
    return out;
}

std::string utf8_to_utf16le(std::string_view text) {
    std::string out;
    out.reserve(2 * text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto cp = next_code_point(text, i);
        if (!cp) ++i;
        const char32_t c = cp.value_or(0xFFFD);
        if (c < 0x10000) {
            append_utf16le(out, c);
        } else {
            append_utf16le(out, 0xD800 + ((c - 0x10000) >> 10));
            append_utf16le(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

bool is_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();)
        if (!next_code_point(text, i)) return false;
    return true;
}

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t at = i;
        const auto cp = next_code_point(text, i);
        // C0 and C1 controls, DEL, and bytes of no character: each byte
        // on its own.
        if (!cp || *cp < 0x20 || (*cp >= 0x7F && *cp < 0xA0)) {
            if (!cp) ++i;
            for (std::size_t k = at; k < i; ++k) {
                const auto byte = static_cast<unsigned char>(text[k]);
                out += "\\x";
                out += kHexDigits[byte >> 4];
                out += kHexDigits[byte & 0xF];
            }
            continue;
        }
        out.append(text.substr(at, i - at));
    }
    return out;
}

}  // namespace vor3::store
