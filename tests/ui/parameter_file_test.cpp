// Parameter files: the saved bytes in both languages, loading them back by
// line position with the change marks and enabling that follow, and files
// that are short, damaged or hold values the fields would not take.
#include <gtest/gtest.h>

#include <functional>

#include "store/code_page.h"
#include "support/fake_platform.h"
#include "ui/parameter_file.h"

namespace vor3::test {
namespace {

// A window showing a configuration: 19200 baud, ASCII, no parity,
// address 12.
void show_configuration(InstalledProgram& p) {
    auto& f = p.f;
    f.Combo_Port(1).set_list_index(1);
    f.Combo_Port(5).set_list_index(0);
    f.Combo_Port(2).set_list_index(0);
    f.txt_Modbus_adress.set_text("12");
    const std::string sep = p.g.lang.decimal_sep;
    const char* texts[] = {"4660", "105", "0", "7", "800", "1200", "10", "20", "-0#5", "1#5", "-30"};
    for (int i = 0; i <= 10; ++i) {
        std::string t = texts[i];
        if (auto at = t.find('#'); at != std::string::npos) t.replace(at, 1, sep);
        f.txt_data_cfg(i).set_text(t);
    }
    const int bits[] = {1, 1, 1, 0, 1, 1, 1, 0};
    for (int i = 0; i <= 7; ++i) f.chk_cfg(i).set_value(bits[i]);
}

const char* const kGermanFile =
    "Vadivoz Vurizozozeroz GmbH\r\n"
    "\r\n"
    "VOR3-UZ485-Uvarod-OR2 Configuration Software\r\n"
    "\r\n"
    "Version:  1 \r\n"
    "07.12.202414:03:05\r\n"
    "\r\n"
    "Baudrate: 19200\r\n"
    "Modus: ASCII\r\n"
    "Parit\xe4t: None\r\n"
    "Adresse: 12\r\n"
    "\r\n"
    "Als Trennzeichen Semikolon ; verwenden!\r\n"
    "\r\n"
    "Register 1 ;Ger\xe4tecodierung:;4660\r\n"
    "Register 2 ;Firmwareversion:;105\r\n"
    "Register 3 ;Device:;0\r\n"
    "Register 4 ;Standortkennung:;7\r\n"
    "Register 5 ;Schaltschwelle gelbe LED:;800\r\n"
    "Register 6 ;Schaltschwelle rote LED:;1200\r\n"
    "Register 7 ;Aktualisierungsintervall der Anzeige [s]:;10\r\n"
    "Register 8 ;Min-Response-Time [ms]:;20\r\n"
    "Register 9 ;Temperatur-Offset [K]:;-0,5\r\n"
    "Register 10 ;Feuchte-Offset [%]:;1,5\r\n"
    "Register 11 ;CO2-Offset [ppm]:;-30\r\n"
    "Konfigurationsbit 1 ;Raumtemperatur anzeigen:; 1 \r\n"
    "Konfigurationsbit 2 ;Feuchtewert anzeigen:; 1 \r\n"
    "Konfigurationsbit 3 ;CO2 anzeigen:; 1 \r\n"
    "Konfigurationsbit 4 ;Einheit Raumtemperatur:; 0 \r\n"
    "Konfigurationsbit 5 ;LED Ampel:; 1 \r\n"
    "Konfigurationsbit 6 ;Komma Temperatur:; 1 \r\n"
    "Konfigurationsbit 7 ;Komma Feuchte:; 1 \r\n"
    "Konfigurationsbit 8 ;Feuchteanzeige mit RH:; 0 \r\n";

const char* const kEnglishFile =
    "Vadivoz Vurizozozeroz GmbH\r\n"
    "\r\n"
    "VOR3-UZ485-Uvarod-OR2 Configuration Software\r\n"
    "\r\n"
    "Version:  1.5 \r\n"
    "07.12.202414:03:05\r\n"
    "\r\n"
    "baud rate: 19200\r\n"
    "mode: ASCII\r\n"
    "parity: None\r\n"
    "address: 12\r\n"
    "\r\n"
    "use ; as separator!\r\n"
    "\r\n"
    "Register 1 ;Device coding:;4660\r\n"
    "Register 2 ;Firmware version:;105\r\n"
    "Register 3 ;Device:;0\r\n"
    "Register 4 ;Device location:;7\r\n"
    "Register 5 ;Value for yellow LED:;800\r\n"
    "Register 6 ;Value for red LED:;1200\r\n"
    "Register 7 ;Display update [s]:;10\r\n"
    "Register 8 ;Min-Response-Time [ms]:;20\r\n"
    "Register 9 ;Temperature-Offset:;-0.5\r\n"
    "Register 10 ;Humidity-Offset:;1.5\r\n"
    "Register 11 ;CO2-Offset:;-30\r\n"
    "configuration bit 1 ;Show room temperature :; 1 \r\n"
    "configuration bit 2 ;Show humidity :; 1 \r\n"
    "configuration bit 3 ;Show CO2 :; 1 \r\n"
    "configuration bit 4 ;Unit temperature :; 0 \r\n"
    "configuration bit 5 ;Show LED :; 1 \r\n"
    "configuration bit 6 ;Comma temperature :; 1 \r\n"
    "configuration bit 7 ;Comma humidtiy :; 1 \r\n"
    "configuration bit 8 ;Humidity with/without 'rH' :; 0 \r\n";

Installation german() { return Installation().with_machine(machine_hive("", "1031", "1.0")); }
Installation english() {
    return Installation().with_machine(machine_hive("", "1033", "1.5")).with_user(user_hive("."));
}

struct SaveCase {
    const char* name;
    Installation installation;
    const char* bytes;
};
void PrintTo(const SaveCase& k, std::ostream* os) { *os << k.name; }

class SavedFile : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SavedFile, HoldsTheWindowByteForByte) {
    InstalledProgram p(GetParam().installation);
    show_configuration(p);
    const std::string path = p.dir.file("saved.txt");
    ASSERT_TRUE(ui::save_parameter_file(p.c, path));
    EXPECT_EQ(p.dir.read("saved.txt"), GetParam().bytes);
    EXPECT_TRUE(p.msg.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Language, SavedFile,
                         ::testing::Values(SaveCase{"German", german(), kGermanFile},
                                           SaveCase{"English", english(), kEnglishFile}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterFile, LineTenNamesTheParityInForce) {
    const char* expected[] = {"Parit\xe4t: None", "Parit\xe4t: Even", "Parit\xe4t: Odd"};
    for (int parity = 0; parity < 3; ++parity) {
        InstalledProgram p;
        p.f.Combo_Port(2).set_list_index(parity);
        ui::save_parameter_file(p.c, p.dir.file("p.txt"));
        const std::string bytes = p.dir.read("p.txt");
        EXPECT_NE(bytes.find(std::string("\r\n") + expected[parity] + "\r\n"), std::string::npos) << bytes;
    }
}

TEST(ParameterFile, VersionThatIsNoTextOrNoNumberIsZero) {
    for (const std::string version : {"", "abc"}) {
        InstalledProgram p(Installation().with_machine(machine_hive("", "1031", version)));
        ui::save_parameter_file(p.c, p.dir.file("p.txt"));
        EXPECT_NE(p.dir.read("p.txt").find("\r\nVersion:  0 \r\n"), std::string::npos) << version;
    }
}

struct LoadCase {
    const char* name;
    const char* file;
    Installation loader;
    const char* offset;  // how the loader shows -0.5
};
void PrintTo(const LoadCase& k, std::ostream* os) { *os << k.name; }

class LoadedFile : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadedFile, FillsTheFieldsWhateverLanguageItWasSavedIn) {
    InstalledProgram p(GetParam().loader);
    p.f.txt_data_cfg(0).set_text("1");
    p.f.txt_data_cfg(1).set_text("2");
    p.f.chk_cfg(3).set_value(1);
    EXPECT_TRUE(ui::load_parameter_file(p.c, p.dir.write("in.txt", GetParam().file)));
    EXPECT_TRUE(p.msg.shown.empty());
    EXPECT_EQ(p.f.txt_Modbus_adress.text(), "12");
    EXPECT_EQ(p.f.txt_data_cfg(0).text(), "1");  // device coding and firmware are never loaded
    EXPECT_EQ(p.f.txt_data_cfg(1).text(), "2");
    EXPECT_EQ(p.f.txt_data_cfg(4).text(), "800");
    EXPECT_EQ(p.f.txt_data_cfg(8).text(), GetParam().offset);
    EXPECT_EQ(p.f.txt_data_cfg(10).text(), "-30");
    std::vector<int> bits;
    for (int i = 0; i <= 7; ++i) bits.push_back(p.f.chk_cfg(i).value());
    EXPECT_EQ(bits, (std::vector<int>{1, 1, 1, 0, 1, 1, 1, 0}));
    EXPECT_EQ(p.f.cmb_bit_cfg(3).list_index(), 0);  // the unit list follows its coil
    // Against a sensor never read, every loaded value is an edit.
    EXPECT_EQ(p.f.txt_data_cfg(4).fore_color(), form::kChangeMark);
    EXPECT_EQ(p.f.chk_cfg(0).fore_color(), form::kChangeMark);
    EXPECT_FALSE(p.f.set_parameter.enabled());  // the port is closed
}

INSTANTIATE_TEST_SUITE_P(
    Language, LoadedFile,
    ::testing::Values(LoadCase{"GermanFileGermanProgram", kGermanFile, german(), "-0,5"},
                      LoadCase{"GermanFileEnglishProgram", kGermanFile, english(), "-0.5"},
                      LoadCase{"EnglishFileGermanProgram", kEnglishFile, german(), "-0,5"}),
    [](const auto& info) { return std::string(info.param.name); });

// The file with line `n` replaced.
std::string with_line(std::string file, int n, const std::string& line) {
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) start = file.find("\r\n", start) + 2;
    file.replace(start, file.find("\r\n", start) - start, line);
    return file;
}

TEST(ParameterFile, LoadsFilesWithBareLineFeeds) {
    std::string file = kEnglishFile;
    for (std::size_t at; (at = file.find('\r')) != std::string::npos;) file.erase(at, 1);
    InstalledProgram p(english());
    EXPECT_TRUE(ui::load_parameter_file(p.c, p.dir.write("lf.txt", file)));
    EXPECT_EQ(p.f.txt_data_cfg(9).text(), "1.5");
    EXPECT_EQ(p.f.chk_cfg(7).value(), 0);
}

struct DamageCase {
    const char* name;
    int line;
    const char* text;
    const char* reason;  // after "Zeile N nicht geladen: "
};
void PrintTo(const DamageCase& k, std::ostream* os) { *os << k.name; }

class DamagedLine : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedLine, IsNotLoadedAndNamedWhileTheRestLoads) {
    const auto& k = GetParam();
    InstalledProgram p(german());
    p.f.Combo_Port(6).set_list_index(1);
    const std::string before_address = p.f.txt_Modbus_adress.text();
    std::vector<std::string> before;
    for (int i = 0; i <= 10; ++i) before.push_back(p.f.txt_data_cfg(i).text());
    const int before_bit = p.f.chk_cfg(0).value();

    EXPECT_FALSE(ui::load_parameter_file(p.c, p.dir.write("d.txt", with_line(kGermanFile, k.line, k.text))));
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.shown[0], "Aus der Parameterdatei „" + p.dir.file("d.txt") + "“ wurde nicht alles geladen.");
    EXPECT_EQ(p.msg.details[0], "Zeile " + std::to_string(k.line) + " nicht geladen: " + k.reason);

    // The damaged line's field keeps its value, and the others load.
    EXPECT_EQ(p.f.txt_Modbus_adress.text(), k.line == 11 ? before_address : "12");
    if (k.line >= 17 && k.line <= 25) {
        const auto i = static_cast<std::size_t>(k.line - 15);
        EXPECT_EQ(p.f.txt_data_cfg(static_cast<int>(i)).text(), before[i]);
    }
    EXPECT_EQ(p.f.chk_cfg(0).value(), k.line == 26 ? before_bit : 1);
    EXPECT_EQ(p.f.txt_data_cfg(4).text(), k.line == 19 ? before[4] : "800");
    EXPECT_TRUE(p.f.set_parameter.enabled());
    EXPECT_FALSE(p.f.chk_read_out.enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Mend, DamagedLine,
    ::testing::Values(
        DamageCase{"AddressAbove63", 11, "Adresse: 64", "64 liegt nicht zwischen 1 und 63"},
        DamageCase{"AddressZero", 11, "Adresse: 0", "0 liegt nicht zwischen 1 und 63"},
        DamageCase{"AddressEmpty", 11, "Adresse: ", "„“ ist keine Zahl"},
        DamageCase{"AddressMissing", 11, "Adresse:", "die Zeile enthält keinen Wert"},
        DamageCase{"AddressNotDigits", 11, "Adresse: 1x", "„1x“ ist keine Zahl"},
        DamageCase{"RegisterNotANumber", 18, "Register 4 ;Standortkennung:;abc", "„abc“ ist keine Zahl"},
        DamageCase{"ControlCharactersAreShownEscaped", 18, "Register 4 ;Standortkennung:;7\x1b[2J\t",
                   "„7\\x1B[2J\\x09“ ist keine Zahl"},
        DamageCase{"RegisterEmpty", 18, "Register 4 ;Standortkennung:;", "„“ ist keine Zahl"},
        DamageCase{"RegisterAboveItsSpinRange", 19, "Register 5 ;Schaltschwelle gelbe LED:;5000",
                   "5000 liegt nicht zwischen 0 und 3000"},
        DamageCase{"LocationBelowZero", 18, "Register 4 ;Standortkennung:;-1", "-1 liegt nicht zwischen 0 und 65535"},
        DamageCase{"ResponseTimeTheFieldWouldCorrect", 22, "Register 8 ;Min-Response-Time [ms]:;3",
                   "3 liegt nicht zwischen 5 und 3000"},
        DamageCase{"WholeRegisterWithDecimals", 18, "Register 4 ;Standortkennung:;7,5",
                   "7,5 hat mehr Nachkommastellen, als das Register fasst"},
        DamageCase{"TenthsWithHundredths", 23, "Register 9 ;Temperatur-Offset [K]:;-0,55",
                   "-0,55 hat mehr Nachkommastellen, als das Register fasst"},
        DamageCase{"RegisterWithoutValue", 24, "Register 10 ;Feuchte-Offset [%]:", "die Zeile enthält keinen Wert"},
        DamageCase{"BitTwo", 26, "Konfigurationsbit 1 ;Raumtemperatur anzeigen:; 2 ", "„ 2 “ ist weder 0 noch 1"},
        DamageCase{"BitWithoutValue", 26, "Konfigurationsbit 1", "die Zeile enthält keinen Wert"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterFile, UnusedLinesAndTheFirstTwoRegistersNeverChangeTheWindow) {
    InstalledProgram p(german());
    std::string file = kGermanFile;
    for (int line : {1, 5, 8, 10, 13}) file = with_line(file, line, "Register 1 ;x;999;\xff");
    for (int line : {15, 16}) file = with_line(file, line, "Register " + std::to_string(line - 14) + " ;x;999;\xff");
    EXPECT_TRUE(ui::load_parameter_file(p.c, p.dir.write("x.txt", file)));
    EXPECT_TRUE(p.msg.shown.empty());
    EXPECT_EQ(p.f.txt_data_cfg(0).text(), "");
    EXPECT_EQ(p.f.txt_data_cfg(1).text(), "");
    EXPECT_EQ(p.f.txt_data_cfg(2).text(), "0");
}

TEST(ParameterFile, SeveralBadLinesShareOneMessage) {
    InstalledProgram p(german());
    std::string file = with_line(kGermanFile, 11, "Adresse: 99");
    file = with_line(file, 25, "Register 11 ;CO2-Offset [ppm]:;-600");
    ui::load_parameter_file(p.c, p.dir.write("x.txt", file));
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.details[0],
              "Zeile 11 nicht geladen: 99 liegt nicht zwischen 1 und 63\n"
              "Zeile 25 nicht geladen: -600 liegt nicht zwischen -500 und 500");
}

// The lines of a file, without their ends.
std::vector<std::string> lines_of(const std::string& file) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(file.substr(start, end - start));
    return lines;
}

std::string file_of(const std::vector<std::string>& lines) {
    std::string file;
    for (const auto& line : lines) file += line + "\r\n";
    return file;
}

struct MisplacedCase {
    const char* name;
    bool english;
    std::function<void(std::vector<std::string>&)> edit;  // of the lines, line 1 at [0]
    int line;               // the first line out of place
    const char* expected;   // the label it should begin with
    const char* found;      // how the line read in the message begins
};
void PrintTo(const MisplacedCase& k, std::ostream* os) { *os << k.name; }

class MisplacedLine : public ::testing::TestWithParam<MisplacedCase> {};

// A line lost, doubled or added would put every value after it into the
// field of another line: the file is refused whole and nothing reaches the
// sensor, in either language.
TEST_P(MisplacedLine, RefusesTheFileAndSendsNothing) {
    const auto& k = GetParam();
    InstalledProgram p((k.english ? english() : german()).on_simulated_sensor());
    ASSERT_TRUE(p.read_device());
    ASSERT_TRUE(ui::save_parameter_file(p.c, p.dir.file("device.txt")));
    auto lines = lines_of(p.dir.read("device.txt"));
    lines[18] = "Register 5 ;x;900";  // an edit that would be written
    k.edit(lines);
    const std::uint64_t heard = p.sensor.heard();

    EXPECT_FALSE(ui::load_parameter_file(p.c, p.dir.write("edited.txt", file_of(lines))));
    ASSERT_EQ(p.msg.shown.size(), 1u);
    const std::string n = std::to_string(k.line);
    EXPECT_EQ(p.msg.shown[0], k.english ? "The parameter file \"" + p.dir.file("edited.txt") + "\" was not loaded: line " + n +
                                              " does not begin with \"" + k.expected + "\"."
                                        : "Die Parameterdatei „" + p.dir.file("edited.txt") + "“ wurde nicht geladen: Zeile " +
                                              n + " beginnt nicht mit „" + k.expected + "“.");
    EXPECT_EQ(p.msg.details[0].rfind((k.english ? "Line " + n + " reads \"" : "Zeile " + n + " lautet „") + k.found, 0), 0u)
        << p.msg.details[0];
    EXPECT_EQ(p.f.txt_data_cfg(4).text(), "800");
    for (int i = 0; i <= 7; ++i) EXPECT_EQ(p.f.chk_cfg(i).fore_color(), form::kNormalText) << i;
    EXPECT_FALSE(p.f.set_parameter.enabled());
    p.f.set_parameter.press();
    p.clock.advance(5000);
    EXPECT_EQ(p.sensor.heard(), heard);
}

void lose_27(std::vector<std::string>& l) { l.erase(l.begin() + 26); }
void double_24(std::vector<std::string>& l) { l.insert(l.begin() + 23, l[23]); }
void add_after_8(std::vector<std::string>& l) { l.insert(l.begin() + 8, "Stoppbits: 1"); }

INSTANTIATE_TEST_SUITE_P(
    Lines, MisplacedLine,
    ::testing::Values(MisplacedCase{"GermanLineLost", false, lose_27, 27, "Konfigurationsbit 2", "Konfigurationsbit 3 ;"},
                      MisplacedCase{"GermanLineDoubled", false, double_24, 25, "Register 11", "Register 10 ;"},
                      MisplacedCase{"GermanLineAdded", false, add_after_8, 11, "Adresse:", "Parität: Even"},
                      MisplacedCase{"EnglishLineLost", true, lose_27, 27, "configuration bit 2", "configuration bit 3 ;"},
                      MisplacedCase{"EnglishLineDoubled", true, double_24, 25, "Register 11", "Register 10 ;"},
                      MisplacedCase{"EnglishLineAdded", true, add_after_8, 11, "address:", "parity: Even"}),
    [](const auto& info) { return std::string(info.param.name); });

// A file in another encoding (UTF-16 from an editor) shows its bytes
// escaped, and the whole message.
TEST(ParameterFile, AFileInUtf16IsNamedWithItsBytesEscaped) {
    InstalledProgram p(english());
    std::string wide = "\xff\xfe";
    for (char ch : std::string(kEnglishFile)) wide += std::string(1, ch) + '\0';
    EXPECT_FALSE(ui::load_parameter_file(p.c, p.dir.write("wide.txt", wide)));
    ASSERT_EQ(p.msg.details.size(), 1u);
    const std::string& detail = p.msg.details[0];
    EXPECT_EQ(detail,
              "Line 11 reads \"\\x00a\\x00d\\x00d\\x00r\\x00e\\x00s\\x00s\\x00:\\x00 \\x001\\x002\\x00\\x0D\\x00\"; "
              "the lines are out of place, so nothing was loaded.");
}

TEST(ParameterFile, TextAfterTheLastLineIsNamedButBlankLinesAreNot) {
    InstalledProgram p(german());
    EXPECT_TRUE(ui::load_parameter_file(p.c, p.dir.write("blank.txt", std::string(kGermanFile) + "\r\n  \r\n")));
    EXPECT_FALSE(ui::load_parameter_file(p.c, p.dir.write("more.txt", std::string(kGermanFile) + "\r\nLED 1 ;x; 1 \r\n")));
    ASSERT_EQ(p.msg.details.size(), 1u);
    EXPECT_EQ(p.msg.details[0], "Nach Zeile 33, dem Ende einer Parameterdatei, steht ab Zeile 35 noch Text; er wurde nicht geladen.");
    EXPECT_EQ(p.f.chk_cfg(7).value(), 0);  // the lines before load
}

TEST(ParameterFile, AShortFileStopsAtItsEndAndSaysSo) {
    InstalledProgram p(english());
    p.f.txt_data_cfg(5).set_text("1000");
    p.f.chk_cfg(2).set_value(0);
    const std::string whole = kGermanFile;
    std::size_t cut = 0;
    for (int i = 0; i < 19; ++i) cut = whole.find("\r\n", cut) + 2;
    // Line 20 is the last, and without its line end.
    const std::string shorter = whole.substr(0, cut) + "Register 6 ;Schaltschwelle rote LED:;1300";
    EXPECT_FALSE(ui::load_parameter_file(p.c, p.dir.write("short.txt", shorter)));
    EXPECT_EQ(p.f.txt_data_cfg(4).text(), "800");
    EXPECT_EQ(p.f.txt_data_cfg(5).text(), "1300");
    EXPECT_EQ(p.f.txt_data_cfg(6).text(), "");  // not the last line's value
    EXPECT_EQ(p.f.txt_data_cfg(10).text(), "");
    EXPECT_EQ(p.f.chk_cfg(2).value(), 0);
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.details[0], "The file ends after line 20; the fields of lines 21 to 33 keep their values.");
}

TEST(ParameterFile, LoadedValuesAreMarkedAgainstTheSensorAndWritten) {
    InstalledProgram p(german().on_simulated_sensor());
    ASSERT_TRUE(p.read_device());
    ASSERT_TRUE(ui::save_parameter_file(p.c, p.dir.file("device.txt")));
    std::string file = with_line(p.dir.read("device.txt"), 19, "Register 5 ;Schaltschwelle gelbe LED:;900");
    file = with_line(file, 28, "Konfigurationsbit 3 ;CO2 anzeigen:; 0 ");
    ASSERT_TRUE(ui::load_parameter_file(p.c, p.dir.write("edited.txt", file)));
    for (int i = 2; i <= 10; ++i)
        EXPECT_EQ(p.f.txt_data_cfg(i).fore_color(), i == 4 ? form::kChangeMark : form::kNormalText) << i;
    for (int i = 0; i <= 7; ++i)
        EXPECT_EQ(p.f.chk_cfg(i).fore_color(), i == 2 ? form::kChangeMark : form::kNormalText) << i;
    EXPECT_TRUE(p.f.set_parameter.enabled());
    EXPECT_FALSE(p.f.chk_read_out.enabled());

    p.f.set_parameter.press();
    ASSERT_TRUE(p.clock.run_until([&] { return p.sensor.holding(4) == 900 && !p.sensor.coil(2); }, 30000));
    EXPECT_TRUE(p.msg.shown.empty());
}

// A whole file sets every value of the configuration part, so it can be
// written to a sensor not read before; a short one cannot, or the fields
// it left empty would be written.
TEST(ParameterFile, OnlyAWholeFileIsWrittenWithoutAReadFirst) {
    InstalledProgram source(german().on_simulated_sensor());
    ASSERT_TRUE(source.read_device());
    ASSERT_TRUE(ui::save_parameter_file(source.c, source.dir.file("device.txt")));
    const std::string whole = with_line(source.dir.read("device.txt"), 19, "Register 5 ;Schaltschwelle gelbe LED:;900");
    std::size_t cut = 0;
    for (int i = 0; i < 20; ++i) cut = whole.find("\r\n", cut) + 2;
    for (const bool complete : {true, false}) {
        InstalledProgram p(german().on_simulated_sensor());
        p.f.Combo_Port(0).set_list_index(0);
        p.f.Combo_Port(6).set_list_index(1);
        ui::load_parameter_file(p.c, p.dir.write("p.txt", complete ? whole : whole.substr(0, cut)));
        p.msg.shown.clear();
        p.f.set_parameter.press();
        p.clock.advance(30000);
        EXPECT_EQ(p.sensor.holding(4), complete ? 900 : 800) << complete;
        EXPECT_EQ(p.sensor.holding(6), 10) << complete;  // unchanged or written as it was
        EXPECT_EQ(p.msg.shown.size(), complete ? 0u : 1u) << complete;
    }
}

TEST(ParameterFile, AFailedSaveIsReportedAndKeepsTheOldFile) {
    InstalledProgram p(german());
    const std::string nowhere = p.dir.file("missing/folder/p.txt");
    EXPECT_FALSE(ui::save_parameter_file(p.c, nowhere));
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.shown[0], "Die Parameterdatei „" + nowhere + "“ wurde nicht gespeichert: No such file or directory");

    std::filesystem::create_directory(p.dir.path / "taken.txt");
    EXPECT_FALSE(ui::save_parameter_file(p.c, p.dir.file("taken.txt")));
    EXPECT_EQ(p.msg.shown.size(), 2u);

    // Saving over a longer file leaves the new file only, and no leftovers.
    ASSERT_TRUE(ui::save_parameter_file(p.c, p.dir.file("fresh.txt")));
    const std::string path = p.dir.write("over.txt", std::string(5000, 'x'));
    ASSERT_TRUE(ui::save_parameter_file(p.c, path));
    EXPECT_EQ(p.dir.read("over.txt"), p.dir.read("fresh.txt"));
    for (const auto& entry : std::filesystem::directory_iterator(p.dir.path))
        EXPECT_EQ(entry.path().string().find(".vor3-new"), std::string::npos);
}

TEST(ParameterFile, AReadOnlyFileIsReplacedOnlyWhenTheUserSaysSo) {
    InstalledProgram p(german());
    const std::string path = p.dir.write("kept.txt", "old");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_FALSE(ui::save_parameter_file(p.c, path));
    EXPECT_EQ(p.confirm.asked, 1);
    EXPECT_EQ(p.dir.read("kept.txt"), "old");
    EXPECT_TRUE(p.msg.shown.empty());  // the user said no

    p.confirm.answer = true;
    EXPECT_TRUE(ui::save_parameter_file(p.c, path));
    EXPECT_EQ(p.dir.read("kept.txt").rfind("Vadivoz", 0), 0u);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_read);
}

struct LocaleCase {
    const char* name;
    const char* decimal;  // as the locale gives it
    const char* date;
    const char* time;
};
void PrintTo(const LocaleCase& k, std::ostream* os) { *os << k.name; }

class ForeignLocale : public ::testing::TestWithParam<LocaleCase> {};

// Their separator and digits are not in the file's code page: the file
// gets a comma and the date as a German system writes it, and loads back.
TEST_P(ForeignLocale, SavesAFileThatLoadsBack) {
    const auto& k = GetParam();
    auto locale = Installation().with_machine(machine_hive("", "1033", "1.5")).with_locale_sep(k.decimal);
    InstalledProgram p(locale);
    p.wall_clock.date = k.date;
    p.wall_clock.time = k.time;
    show_configuration(p);
    ASSERT_TRUE(ui::save_parameter_file(p.c, p.dir.file("p.txt")));
    const std::string bytes = p.dir.read("p.txt");
    EXPECT_EQ(bytes.substr(0, bytes.find("baud rate")),
              "Vadivoz Vurizozozeroz GmbH\r\n\r\nVOR3-UZ485-Uvarod-OR2 Configuration Software\r\n\r\n"
              "Version:  1,5 \r\n07.12.202414:03:05\r\n\r\n");
    EXPECT_NE(bytes.find(";Temperature-Offset:;-0,5\r\n"), std::string::npos) << bytes;

    InstalledProgram q(locale);
    EXPECT_TRUE(ui::load_parameter_file(q.c, p.dir.file("p.txt")));
    EXPECT_TRUE(q.msg.shown.empty());
    EXPECT_EQ(q.f.txt_data_cfg(8).text(), "-0,5");
    EXPECT_EQ(q.f.txt_data_cfg(9).text(), "1,5");
}

INSTANTIATE_TEST_SUITE_P(Locales, ForeignLocale,
                         ::testing::Values(LocaleCase{"Arabic", "٫", "٠٧‏/١٢‏/٢٠٢٤", "٢:٠٣:٠٥ م"},
                                           LocaleCase{"Persian", "٫", "۲۰۲۴/۱۲/۷", "۱۴:۰۳:۰۵"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterFile, AFileThatCannotBeReadIsNamed) {
    InstalledProgram p(english());
    EXPECT_FALSE(ui::load_parameter_file(p.c, p.dir.file("gone.txt")));
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.shown[0], "The parameter file \"" + p.dir.file("gone.txt") + "\" cannot be read: No such file or directory");
}

TEST(ParameterFile, TheFileMenuAsksForTheFileAndACancelDoesNothing) {
    InstalledProgram p(german());
    show_configuration(p);
    EXPECT_TRUE(p.f.ParMenueMain(1).enabled());
    EXPECT_TRUE(p.f.ParMenueMain(2).enabled());
    p.f.ParMenueMain(2).press();  // cancelled
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(p.dir.path), {}), 1);  // the hive only
    p.files.answer = p.dir.file("menu.txt");
    p.f.ParMenueMain(2).press();
    EXPECT_EQ(p.dir.read("menu.txt").size(), std::string(kGermanFile).size());

    InstalledProgram q(english());
    q.files.answer = p.dir.file("menu.txt");
    q.f.ParMenueMain(1).press();
    EXPECT_EQ(q.f.txt_data_cfg(9).text(), "1.5");
    EXPECT_EQ(q.files.filters, (std::vector<std::string>{"Textfile (*.txt)"}));
    EXPECT_TRUE(q.msg.shown.empty());
}

TEST(CodePage, WesternCharactersBecomeTheirBytes) {
    struct Case { const char* utf8; const char* cp1252; } cases[] = {
        {"Parität", "Parit\xe4t"}, {"grün", "gr\xfcn"}, {"Schließen", "Schlie\xdf" "en"}, {"°C", "\xb0" "C"},
        {"5 €", "5 \x80"}, {"→", "?"}, {"\xc3", "?"}, {"a\xff" "b", "a?b"},
    };
    for (const auto& k : cases) EXPECT_EQ(store::utf8_to_cp1252(k.utf8), k.cp1252) << k.utf8;
    EXPECT_EQ(store::cp1252_to_utf8("gr\xfcn \x80 \x81"), "grün € \xef\xbf\xbd");
}

}  // namespace
}  // namespace vor3::test
