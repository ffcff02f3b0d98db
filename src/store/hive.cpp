#include "store/hive.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <utility>

namespace vor3::store {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool same_name(std::string_view a, std::string_view b) { return lower(a) == lower(b); }

std::vector<std::string> components(std::string_view path) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) out.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string join(const std::vector<std::string>& parts, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) out += (i ? "\\" : "") + parts[i];
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

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

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> hex_bytes(std::string_view s) {
    std::string out;
    s = trim(s);
    if (s.empty()) return out;
    std::size_t start = 0;
    while (start <= s.size()) {
        const std::size_t end = std::min(s.find(',', start), s.size());
        const std::string_view item = trim(s.substr(start, end - start));
        if (item.size() != 2 || hex_digit(item[0]) < 0 || hex_digit(item[1]) < 0) return std::nullopt;
        out += static_cast<char>(hex_digit(item[0]) * 16 + hex_digit(item[1]));
        start = end + 1;
    }
    return out;
}

// One value line ("Name"=data), or nothing when it does not fit.
std::optional<HiveValue> value_line(std::string_view line) {
    HiveValue v;
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
        const std::string_view digits = trim(line.substr(6));
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        std::uint32_t n = 0;
        for (char c : digits) {
            if (hex_digit(c) < 0) return std::nullopt;
            n = n * 16 + static_cast<std::uint32_t>(hex_digit(c));
        }
        v.type = kDword;
        for (int i = 0; i < 4; ++i) v.data += static_cast<char>((n >> (8 * i)) & 0xFF);
        return v;
    }
    if (lower(line.substr(0, 3)) != "hex") return std::nullopt;
    line.remove_prefix(3);
    v.type = kBinary;
    if (!line.empty() && line.front() == '(') {
        const std::size_t close = line.find(')');
        if (close == std::string_view::npos || close < 2 || close > 9) return std::nullopt;
        unsigned type = 0;
        for (char c : line.substr(1, close - 1)) {
            if (hex_digit(c) < 0) return std::nullopt;
            type = type * 16 + static_cast<unsigned>(hex_digit(c));
        }
        v.type = static_cast<int>(type);
        line.remove_prefix(close + 1);
    }
    if (line.empty() || line.front() != ':') return std::nullopt;
    auto bytes = hex_bytes(line.substr(1));
    if (!bytes) return std::nullopt;
    v.data = *bytes;
    return v;
}

std::string escaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

std::string value_text(const HiveValue& v) {
    std::string out = v.name.empty() ? "@" : "\"" + escaped(v.name) + "\"";
    out += '=';
    char buf[16];
    if (v.type == kText && v.data.find('\0') == std::string::npos && v.data.find('\n') == std::string::npos) {
        out += "\"" + escaped(v.data) + "\"";
    } else if (v.type == kDword && v.data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = n * 256 + static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
        std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(n));
        out += std::string("dword:") + buf;
    } else {
        if (v.type == kBinary) {
            out += "hex:";
        } else {
            std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
            out += buf;
        }
        for (std::size_t i = 0; i < v.data.size(); ++i) {
            std::snprintf(buf, sizeof buf, "%s%02x", i ? "," : "", static_cast<unsigned char>(v.data[i]));
            out += buf;
        }
    }
    return out;
}

}  // namespace

std::string normal_key_path(std::string_view path) {
    const auto parts = components(path);
    return join(parts, parts.size());
}

const HiveValue* HiveKey::value(std::string_view name) const {
    for (const auto& v : values)
        if (same_name(v.name, name)) return &v;
    return nullptr;
}

void HiveKey::set(const HiveValue& v) {
    for (auto& old : values)
        if (same_name(old.name, v.name)) {
            old = v;
            return;
        }
    values.push_back(v);
}

Hive Hive::parse(std::string_view text) {
    Hive hive;
    HiveKey* current = nullptr;
    std::string line;  // one logical line: a hex value may go on over lines ending in "\"
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        line += trim(text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.back() == '\\' && lower(line).find("=hex") != std::string::npos && start < text.size()) {
            line.pop_back();
            continue;
        }
        const std::string_view l = line;
        if (l.empty() || l.front() == ';') {
        } else if (l.front() == '[') {
            current = nullptr;
            if (l.back() == ']' && l.size() >= 3 && l[1] != '-') {
                auto parts = components(l.substr(1, l.size() - 2));
                if (!parts.empty() && lower(parts.front()).rfind("hkey_", 0) == 0) parts.erase(parts.begin());
                if (!parts.empty()) current = &hive.create(join(parts, parts.size()));
            }
        } else if (current) {  // not the header, nor a value outside any key
            if (auto v = value_line(l)) current->set(*v);
        }
        line.clear();
    }
    return hive;
}

std::string Hive::text(std::string_view root) const {
    std::string out = "REGEDIT4\n";
    for (const auto& key : keys_) {
        out += "\n[" + std::string(root) + "\\" + key.path + "]\n";
        for (const auto& v : key.values) out += value_text(v) + "\n";
    }
    return out;
}

const HiveKey* Hive::find(std::string_view path) const {
    const std::string wanted = lower(normal_key_path(path));
    for (const auto& key : keys_)
        if (lower(key.path) == wanted) return &key;
    return nullptr;
}

HiveKey* Hive::find(std::string_view path) {
    return const_cast<HiveKey*>(std::as_const(*this).find(path));
}

HiveKey& Hive::create(std::string_view path) {
    const auto parts = components(path);
    HiveKey* key = nullptr;
    for (std::size_t n = 1; n <= parts.size(); ++n) {
        const std::string sub = join(parts, n);
        key = find(sub);
        if (!key) {
            // Parents before children, as an exported file lists them.
            keys_.push_back({sub, {}});
            key = &keys_.back();
        }
    }
    if (!key) throw std::invalid_argument("empty key path");
    return *key;
}

std::vector<std::string> Hive::subkeys(std::string_view path) const {
    const std::string parent = lower(normal_key_path(path));
    std::vector<std::string> names;
    for (const auto& key : keys_) {
        const std::string p = lower(key.path);
        const std::size_t cut = key.path.rfind('\\');
        const std::string above = cut == std::string::npos ? "" : p.substr(0, cut);
        if (above == parent) names.push_back(key.path.substr(cut == std::string::npos ? 0 : cut + 1));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return lower(a) < lower(b); });
    return names;
}

bool Hive::remove(std::string_view path) {
    const HiveKey* key = find(path);
    if (!key || !subkeys(path).empty()) return false;
    keys_.erase(keys_.begin() + (key - keys_.data()));
    return true;
}

}  // namespace vor3::store
