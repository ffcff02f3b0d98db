#include "store/hive_format.h"

#include <cctype>
#include <cstdint>

#include "model/numbers.h"
#include "store/code_page.h"

namespace vor3::store::hive_format {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// A quoted text at the start of `s` with "\\" and "\"" escapes; `s` moves
// past it.
std::optional<std::string> quoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[++i];
        } else if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return out;
        } else {
            out += s[i];
        }
    }
    return std::nullopt;
}

std::optional<std::string> hex_bytes(std::string_view s) {
    std::string out;
    s = trim(s);
    if (s.empty()) return out;
    std::size_t start = 0;
    while (start <= s.size()) {
        const std::size_t end = std::min(s.find(',', start), s.size());
        const std::string_view item = trim(s.substr(start, end - start));
        const auto byte = item.size() == 2 ? model::hex_number(item) : std::nullopt;
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
        start = end + 1;
    }
    return out;
}

std::string escaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

std::optional<std::string> decode(std::string_view bytes, Encoding& encoding) {
    if (bytes.substr(0, 2) == kUtf16LeMark) {
        encoding = Encoding::utf16le;
        return utf16le_to_utf8(bytes.substr(2));
    }
    if (bytes.substr(0, 2) == kUtf16BeMark) return std::nullopt;
    encoding = Encoding::eight_bit;
    if (bytes.substr(0, 3) == kUtf8Mark) {
        encoding = Encoding::utf8_marked;
        bytes.remove_prefix(3);
    }
    // Zero bytes are UTF-16 without its mark, or no text at all.
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(bytes);
}

std::string encode(std::string_view text, Encoding encoding) {
    if (encoding == Encoding::eight_bit) return std::string(text);
    if (encoding == Encoding::utf8_marked) return std::string(kUtf8Mark) + std::string(text);
    // The text came from UTF-16 or was checked with is_utf8.
    return std::string(kUtf16LeMark) + utf8_to_utf16le(text);
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) out.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string normal_key_path(std::string_view path) {
    std::string out;
    for (const auto part : components(path)) {
        if (!out.empty()) out += '\\';
        out += part;
    }
    return out;
}

bool is_header(std::string_view line) {
    line = trim(line);
    return line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
}

std::optional<std::string> section_path(std::string_view line) {
    line = trim(line);
    if (line.size() < 3 || line.front() != '[' || line.back() != ']' || line[1] == '-') return std::nullopt;
    auto parts = components(line.substr(1, line.size() - 2));
    if (!parts.empty() && lower(parts.front().substr(0, 5)) == "hkey_") parts.erase(parts.begin());
    if (parts.empty()) return std::nullopt;
    std::string path;
    for (const auto part : parts) {
        if (!path.empty()) path += '\\';
        path += part;
    }
    return path;
}

bool continues(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.back() != '\\') return false;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else if (!quoted(line)) {
        return false;
    }
    line = trim(line);
    return !line.empty() && line.front() == '=' && lower(trim(line.substr(1)).substr(0, 3)) == "hex";
}

std::optional<HiveValue> value_line(std::string_view line, bool wide) {
    HiveValue v;
    line = trim(line);
    if (!line.empty() && line.front() == '@') {
        line.remove_prefix(1);
    } else {
        auto name = quoted(line);
        if (!name) return std::nullopt;
        v.name = *name;
    }
    line = trim(line);
    if (line.empty() || line.front() != '=') return std::nullopt;
    line = trim(line.substr(1));
    if (!line.empty() && line.front() == '"') {
        auto text = quoted(line);
        if (!text || !trim(line).empty()) return std::nullopt;
        v.type = kText;
        v.data = *text;
        return v;
    }
    const std::string head = lower(line.substr(0, std::min<std::size_t>(line.size(), 6)));
    if (head == "dword:") {
        const auto n = model::hex_number(trim(line.substr(6)));
        if (!n) return std::nullopt;
        v.type = kDword;
        for (int i = 0; i < 4; ++i) v.data += static_cast<char>((*n >> (8 * i)) & 0xFF);
        return v;
    }
    if (lower(line.substr(0, 3)) != "hex") return std::nullopt;
    line.remove_prefix(3);
    v.type = kBinary;
    if (!line.empty() && line.front() == '(') {
        const std::size_t close = line.find(')');
        if (close == std::string_view::npos) return std::nullopt;
        const auto type = model::hex_number(line.substr(1, close - 1));
        if (!type) return std::nullopt;
        v.type = static_cast<int>(*type);
        line.remove_prefix(close + 1);
    }
    if (line.empty() || line.front() != ':') return std::nullopt;
    auto bytes = hex_bytes(line.substr(1));
    if (!bytes) return std::nullopt;
    v.data = *bytes;
    if (wide && v.type == kText) {
        if (auto text = utf16le_to_utf8(v.data)) v.data = *text;
    }
    return v;
}

std::string text_value_line(std::string_view name, std::string_view text) {
    return (name.empty() ? std::string("@") : "\"" + escaped(name) + "\"") + "=\"" + escaped(text) + "\"";
}

}  // namespace vor3::store::hive_format
