#include "model/framing.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace vor3::model {

const char* framing_name(Framing framing) {
    switch (framing) {
    case Framing::Rtu: return "RTU";
    case Framing::Ascii: return "ASCII";
    case Framing::Auto: return "auto";
    }
    return "";
}

const char* framing_name(std::optional<Framing> framing) { return framing ? framing_name(*framing) : ""; }

std::optional<Framing> framing_named(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return std::toupper(ch); });
    if (upper == "RTU") return Framing::Rtu;
    if (upper == "ASCII") return Framing::Ascii;
    return std::nullopt;
}

}  // namespace vor3::model
