#include "model/numbers.h"

#include <charconv>
#include <cmath>

namespace vor3::model {

std::string format_number(double value, const std::string& decimal_sep) {
    if (value == 0) value = 0;  // no "-0"
    char buf[64];
    // Not printf: Qt hands the user's locale to the C library, whose "%g"
    // would then write "," whatever separator is in force here. to_chars
    // always writes "."; the user's separator replaces it below.
    const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15).ptr;
    std::string text(buf, end);
    const char sep = decimal_sep.empty() ? ',' : decimal_sep[0];
    for (char& c : text)
        if (c == '.') c = sep;
    return text;
}

std::optional<double> locale_number(std::string_view text, const std::string& decimal_sep) {
    const char sep = decimal_sep.empty() ? ',' : decimal_sep[0];
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::string plain;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        if (text[pos] == '-') plain += '-';
        ++pos;
    }
    bool digits = false, point = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c >= '0' && c <= '9') {
            digits = true;
            plain += c;
        } else if (c == sep && !point) {
            point = true;
            plain += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    double v = 0;
    const char* b = plain.data();
    if (plain.front() == '.' || (plain.size() > 1 && plain[0] == '-' && plain[1] == '.'))
        plain.insert(plain.front() == '-' ? 1 : 0, "0"), b = plain.data();
    auto [ptr, ec] = std::from_chars(b, b + plain.size(), v);
    if (ec != std::errc() || ptr != b + plain.size()) return std::nullopt;
    return v;
}

double leading_number(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    std::string plain;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        if (text[pos] == '-') plain += '-';
        ++pos;
    }
    bool point = false, digits = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c >= '0' && c <= '9') {
            plain += c;
            digits = true;
        } else if (c == '.' && !point) {
            plain += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    if (plain.back() == '.') plain.pop_back();
    if (plain.front() == '.' || (plain.size() > 1 && plain[0] == '-' && plain[1] == '.'))
        plain.insert(plain.front() == '-' ? 1 : 0, "0");
    double v = 0;
    std::from_chars(plain.data(), plain.data() + plain.size(), v);
    return v;
}

long long round_half_even(double value) { return static_cast<long long>(std::nearbyint(value)); }

std::optional<std::uint32_t> hex_number(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t n = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, n, 16);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return n;
}

}  // namespace vor3::model
