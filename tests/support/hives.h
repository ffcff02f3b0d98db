#pragma once
#include <string>

// Hive files as the installation and a user's settings give them.
namespace vor3::test {

// A machine hive with the installation's three values; an empty text
// leaves a value out.
inline std::string machine_hive(const std::string& pfad, const std::string& language,
                                const std::string& version = "1.0") {
    std::string text =
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2]\n";
    if (!pfad.empty()) text += "\"Pfad\"=\"" + pfad + "\"\n";
    if (!language.empty()) text += "\"Language\"=\"" + language + "\"\n";
    if (!version.empty()) text += "\"Version\"=\"" + version + "\"\n";
    return text;
}

inline std::string user_hive(const std::string& decimal) {
    return "REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\International]\n\"sDecimal\"=\"" + decimal + "\"\n";
}

}  // namespace vor3::test
