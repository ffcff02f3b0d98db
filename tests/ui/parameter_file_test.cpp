// Parameter files: the saved bytes, loading them back by line position with
// the change marks and enabling that follow, and files that are short,
// damaged or hold values the fields would not take.
#include <functional>

#include "model/register_map.h"
#include "store/code_page.h"
#include "ui/parameter_file.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

// The configuration the saved files here hold: 19200 baud, ASCII, address
// 12, and these fields ('#' stands for the decimal separator).
const char* const kTexts[] = {"4660", "105", "0", "7", "800", "1200", "10", "20", "-0#5", "1#5", "-30"};
const int kBits[] = {1, 1, 1, 0, 1, 1, 1, 0};

void show_configuration(InstalledProgram& p, int parity = 0) {
    p.f.Combo_Port(1).set_list_index(1);
    p.f.Combo_Port(5).set_list_index(0);
    p.f.Combo_Port(2).set_list_index(parity);
    p.f.txt_Modbus_adress.set_text("12");
    for (int i = 0; i <= 10; ++i) {
        std::string t = kTexts[i];
        if (auto at = t.find('#'); at != std::string::npos) t.replace(at, 1, p.g.lang.decimal_sep);
        p.f.txt_data_cfg(i).set_text(t);
    }
    for (int i = 0; i <= 7; ++i) p.f.chk_cfg(i).set_value(kBits[i]);
}

// That configuration's file as the program writes it: the value lines
// named by the register map's captions, in the file's code page.
std::string parameter_file(bool english, const std::string& version, const std::string& sep,
                           const std::string& parity = "None") {
    std::string text =
        "Vadivoz Vurizozozeroz GmbH\r\n\r\nVOR3-UZ485-Uvarod-OR2 Configuration Software\r\n\r\nVersion:  " + version +
        " \r\n07.12.202414:03:05\r\n\r\n";
    text += english ? "baud rate: 19200\r\nmode: ASCII\r\nparity: " + parity +
                          "\r\naddress: 12\r\n\r\nuse ; as separator!\r\n\r\n"
                    : "Baudrate: 19200\r\nModus: ASCII\r\nParität: " + parity +
                          "\r\nAdresse: 12\r\n\r\nAls Trennzeichen Semikolon ; verwenden!\r\n\r\n";
    for (const auto array : {model::FieldArray::txt_data_cfg, model::FieldArray::chk_cfg})
        for (const auto& f : model::field_map()) {
            if (f.array != array) continue;
            const std::string n = std::to_string(f.index + 1), caption = english ? f.caption_en : f.caption_de;
            if (array == model::FieldArray::chk_cfg) {
                text += (english ? "configuration bit " : "Konfigurationsbit ") + n + " ;" + caption + "; " +
                        std::to_string(kBits[f.index]) + " \r\n";
                continue;
            }
            std::string value = kTexts[f.index];
            if (auto at = value.find('#'); at != std::string::npos) value.replace(at, 1, sep);
            text += "Register " + n + " ;" + caption + ";" + value + "\r\n";
        }
    return store::utf8_to_cp1252(text);
}
const std::string kGermanFile = parameter_file(false, "1", ",");
const std::string kEnglishFile = parameter_file(true, "1.5", ".");

Installation german(const std::string& version = "1.0") {
    return Installation().with_machine(machine_hive("", "1031", version));
}
Installation english() {
    return Installation().with_machine(machine_hive("", "1033", "1.5")).with_user(user_hive("."));
}
// Separator and digits outside the file's code page: the file gets a comma
// and the date as a German system writes it.
Installation foreign_locale() {
    return Installation().with_machine(machine_hive("", "1033", "1.5")).with_locale_sep("٫");
}

// The file with line `n` replaced.
std::string with_line(std::string file, int n, const std::string& line) {
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) start = file.find("\r\n", start) + 2;
    file.replace(start, file.find("\r\n", start) - start, line);
    return file;
}
// The first `n` lines of a file, with their ends.
std::string first_lines(const std::string& file, int n) {
    std::size_t cut = 0;
    for (int i = 0; i < n; ++i) cut = file.find("\r\n", cut) + 2;
    return file.substr(0, cut);
}

struct SaveCase {
    const char* name;
    Installation installation;
    int parity;
    std::string bytes;
    const char* date = "07.12.2024";
    const char* time = "14:03:05";
};

class SavedFile : public ::testing::TestWithParam<SaveCase> {};

// Saved byte for byte, and loaded back by the same program.
TEST_P(SavedFile, HoldsTheWindowByteForByteAndLoadsBack) {
    const auto& k = GetParam();
    InstalledProgram p(k.installation);
    p.wall_clock.date = k.date;
    p.wall_clock.time = k.time;
    show_configuration(p, k.parity);
    ASSERT_TRUE(ui::save_parameter_file(p.c, p.dir.file("saved.txt")));
    EXPECT_EQ(p.dir.read("saved.txt"), k.bytes);
    EXPECT_TRUE(p.msg.shown.empty());

    InstalledProgram q(k.installation);
    EXPECT_TRUE(ui::load_parameter_file(q.c, p.dir.file("saved.txt")));
    EXPECT_TRUE(q.msg.shown.empty());
    EXPECT_EQ(q.f.txt_data_cfg(8).text(), "-0" + q.g.lang.decimal_sep + "5");
    EXPECT_EQ(q.f.txt_data_cfg(9).text(), "1" + q.g.lang.decimal_sep + "5");
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SavedFile,
    ::testing::Values(SaveCase{"German", german(), 0, kGermanFile}, SaveCase{"English", english(), 0, kEnglishFile},
                      SaveCase{"EvenParityVersionNoText", german(""), 1, parameter_file(false, "0", ",", "Even")},
                      SaveCase{"OddParityVersionNoNumber", german("abc"), 2, parameter_file(false, "0", ",", "Odd")},
                      SaveCase{"ArabicLocale", foreign_locale(), 0, parameter_file(true, "1,5", ","),
                               "٠٧‏/١٢‏/٢٠٢٤", "٢:٠٣:٠٥ م"},
                      SaveCase{"PersianLocale", foreign_locale(), 0, parameter_file(true, "1,5", ","), "۲۰۲۴/۱۲/۷",
                               "۱۴:۰۳:۰۵"}),
    kByName);

struct LoadCase {
    const char* name;
    std::string file;
    Installation loader;
    const char* offset;  // how the loader shows -0.5
};

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
    for (int i = 0; i <= 7; ++i) EXPECT_EQ(p.f.chk_cfg(i).value(), kBits[i]) << i;
    EXPECT_EQ(p.f.cmb_bit_cfg(3).list_index(), 0);  // the unit list follows its coil
    // Against a sensor never read, every loaded value is an edit.
    EXPECT_EQ(p.f.txt_data_cfg(4).fore_color(), form::kChangeMark);
    EXPECT_EQ(p.f.chk_cfg(0).fore_color(), form::kChangeMark);
    EXPECT_FALSE(p.f.set_parameter.enabled());  // the port is closed
}

std::string without_carriage_returns(std::string file) {
    std::erase(file, '\r');
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadedFile,
    ::testing::Values(LoadCase{"GermanFileGermanProgram", kGermanFile, german(), "-0,5"},
                      LoadCase{"GermanFileEnglishProgram", kGermanFile, english(), "-0.5"},
                      LoadCase{"EnglishFileGermanProgram", kEnglishFile, german(), "-0,5"},
                      LoadCase{"BareLineFeeds", without_carriage_returns(kEnglishFile), english(), "-0.5"},
                      LoadCase{"BlankLinesAfterTheEnd", kGermanFile + "\r\n  \r\n", german(), "-0,5"}),
    kByName);

struct DamageCase {
    const char* name;
    int line;
    const char* text;
    const char* reason;  // after "Zeile N nicht geladen: "
};

class DamagedLine : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedLine, IsNotLoadedAndNamedWhileTheRestLoads) {
    const auto& k = GetParam();
    InstalledProgram p(german());
    open_port(p);
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
        EXPECT_EQ(p.f.txt_data_cfg(k.line - 15).text(), before[static_cast<std::size_t>(k.line - 15)]);
    }
    EXPECT_EQ(p.f.chk_cfg(0).value(), k.line == 26 ? before_bit : 1);
    EXPECT_EQ(p.f.txt_data_cfg(4).text(), k.line == 19 ? before[4] : "800");
    EXPECT_TRUE(p.f.set_parameter.enabled());
    EXPECT_FALSE(p.f.chk_read_out.enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DamagedLine,
    ::testing::Values(DamageCase{"AddressAbove63", 11, "Adresse: 64", "64 liegt nicht zwischen 1 und 63"},
                      DamageCase{"AddressMissing", 11, "Adresse:", "die Zeile enthält keinen Wert"},
                      DamageCase{"AddressNotDigits", 11, "Adresse: 1x", "„1x“ ist keine Zahl"},
                      DamageCase{"ControlCharactersAreShownEscaped", 18, "Register 4 ;Standortkennung:;7\x1b[2J\t",
                                 "„7\\x1B[2J\\x09“ ist keine Zahl"},
                      DamageCase{"RegisterAboveItsSpinRange", 19, "Register 5 ;Schaltschwelle gelbe LED:;5000",
                                 "5000 liegt nicht zwischen 0 und 3000"},
                      DamageCase{"ResponseTimeTheFieldWouldCorrect", 22, "Register 8 ;Min-Response-Time [ms]:;3",
                                 "3 liegt nicht zwischen 5 und 3000"},
                      DamageCase{"WholeRegisterWithDecimals", 18, "Register 4 ;Standortkennung:;7,5",
                                 "7,5 hat mehr Nachkommastellen, als das Register fasst"},
                      DamageCase{"TenthsWithHundredths", 23, "Register 9 ;Temperatur-Offset [K]:;-0,55",
                                 "-0,55 hat mehr Nachkommastellen, als das Register fasst"},
                      DamageCase{"BitTwo", 26, "Konfigurationsbit 1 ;Raumtemperatur anzeigen:; 2 ",
                                 "„ 2 “ ist weder 0 noch 1"},
                      DamageCase{"BitWithoutValue", 26, "Konfigurationsbit 1", "die Zeile enthält keinen Wert"}),
    kByName);

std::string utf16(const std::string& file) {
    std::string wide = "\xff\xfe";
    for (char ch : file) wide += std::string(1, ch) + '\0';
    return wide;
}

struct PartCase {
    const char* name;
    bool english;  // the loading program's language
    std::string file;
    const char* detail;
    const char *register_5, *register_6;  // the fields after loading
};

class PartLoaded : public ::testing::TestWithParam<PartCase> {};

// One message names every line not loaded; a short file stops at its end
// (its last line, without a line end, still loads).
TEST_P(PartLoaded, NamesWhatWasNotLoadedInOneMessage) {
    const auto& k = GetParam();
    InstalledProgram p(k.english ? english() : german());
    EXPECT_FALSE(ui::load_parameter_file(p.c, p.dir.write("p.txt", k.file)));
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.details[0], k.detail);
    EXPECT_EQ(p.f.txt_data_cfg(5).text(), k.register_5);
    EXPECT_EQ(p.f.txt_data_cfg(6).text(), k.register_6);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PartLoaded,
    ::testing::Values(
        PartCase{"SeveralBadLines", false,
                 with_line(with_line(kGermanFile, 11, "Adresse: 99"), 25, "Register 11 ;CO2-Offset [ppm]:;-600"),
                 "Zeile 11 nicht geladen: 99 liegt nicht zwischen 1 und 63\n"
                 "Zeile 25 nicht geladen: -600 liegt nicht zwischen -500 und 500",
                 "1200", "10"},
        PartCase{"TextAfterTheEnd", false, kGermanFile + "\r\nLED 1 ;x; 1 \r\n",
                 "Nach Zeile 33, dem Ende einer Parameterdatei, steht ab Zeile 35 noch Text; er wurde nicht geladen.",
                 "1200", "10"},
        PartCase{"ShortFile", true, first_lines(kGermanFile, 19) + "Register 6 ;Schaltschwelle rote LED:;1300",
                 "The file ends after line 20; the fields of lines 21 to 33 keep their values.", "1300", ""},
        // A file from an editor in UTF-16 shows its bytes escaped.
        PartCase{"Utf16", true, utf16(kEnglishFile),
                 "Line 11 reads \"\\x00a\\x00d\\x00d\\x00r\\x00e\\x00s\\x00s\\x00:\\x00 \\x001\\x002\\x00\\x0D\\x00\"; "
                 "the lines are out of place, so nothing was loaded.",
                 "", ""}),
    kByName);

std::vector<std::string> lines_of(const std::string& file) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(file.substr(start, end - start));
    return lines;
}

struct MisplacedCase {
    const char* name;
    bool english;
    std::function<void(std::vector<std::string>&)> edit;  // of the lines, line 1 at [0]
    int line;                                             // the first line out of place
    const char* expected;                                 // the label it should begin with
    const char* found;                                    // how the line read in the message begins
};

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
    std::string file;
    for (const auto& line : lines) file += line + "\r\n";
    const std::size_t sent = frames(p);

    EXPECT_FALSE(ui::load_parameter_file(p.c, p.dir.write("edited.txt", file)));
    ASSERT_EQ(p.msg.shown.size(), 1u);
    const std::string n = std::to_string(k.line), path = p.dir.file("edited.txt");
    EXPECT_EQ(p.msg.shown[0], k.english ? "The parameter file \"" + path + "\" was not loaded: line " + n +
                                              " does not begin with \"" + k.expected + "\"."
                                        : "Die Parameterdatei „" + path + "“ wurde nicht geladen: Zeile " + n +
                                              " beginnt nicht mit „" + k.expected + "“.");
    EXPECT_EQ(p.msg.details[0].rfind((k.english ? "Line " + n + " reads \"" : "Zeile " + n + " lautet „") + k.found, 0),
              0u)
        << p.msg.details[0];
    EXPECT_EQ(p.f.txt_data_cfg(4).text(), "800");
    for (int i = 0; i <= 7; ++i) EXPECT_EQ(p.f.chk_cfg(i).fore_color(), form::kNormalText) << i;
    EXPECT_FALSE(p.f.set_parameter.enabled());
    p.f.set_parameter.press();
    p.clock.advance(5000);
    EXPECT_EQ(frames(p), sent);
}

void lose_27(std::vector<std::string>& l) { l.erase(l.begin() + 26); }
void double_24(std::vector<std::string>& l) { l.insert(l.begin() + 23, l[23]); }
void add_after_8(std::vector<std::string>& l) { l.insert(l.begin() + 8, "Stoppbits: 1"); }

INSTANTIATE_TEST_SUITE_P(
    Lines, MisplacedLine,
    ::testing::Values(MisplacedCase{"GermanLineLost", false, lose_27, 27, "Konfigurationsbit 2",
                                    "Konfigurationsbit 3 ;"},
                      MisplacedCase{"GermanLineDoubled", false, double_24, 25, "Register 11", "Register 10 ;"},
                      MisplacedCase{"EnglishLineAdded", true, add_after_8, 11, "address:", "parity: Even"}),
    kByName);

TEST(ParameterFile, LoadedValuesAreMarkedAgainstTheSensor) {
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
}

// A whole file sets every value of the configuration part, so it can be
// written to a sensor not read before; a short one cannot, or the fields
// it left empty would be written.
TEST(ParameterFile, OnlyAWholeFileIsWrittenWithoutAReadFirst) {
    InstalledProgram source(german().on_simulated_sensor());
    ASSERT_TRUE(source.read_device());
    ASSERT_TRUE(ui::save_parameter_file(source.c, source.dir.file("device.txt")));
    const std::string whole = with_line(source.dir.read("device.txt"), 19, "Register 5 ;Schaltschwelle gelbe LED:;900");
    for (const bool complete : {true, false}) {
        InstalledProgram p(german().on_simulated_sensor());
        // Loaded before the port opens: values no sensor gave stay to be written.
        ui::load_parameter_file(p.c, p.dir.write("p.txt", complete ? whole : first_lines(whole, 20)));
        open_port(p);
        p.msg.shown.clear();
        p.f.set_parameter.press();
        p.clock.advance(30000);
        EXPECT_EQ(p.sensor.holding(4), complete ? 900 : 800) << complete;
        EXPECT_EQ(p.sensor.holding(6), 10) << complete;  // unchanged or written as it was
        EXPECT_EQ(p.msg.shown.size(), complete ? 0u : 1u) << complete;
    }
}

TEST(ParameterFile, AFileThatCannotBeSavedOrReadIsNamedAndAReadOnlyOneAsked) {
    InstalledProgram p(german());
    const std::string nowhere = p.dir.file("missing/folder/p.txt");
    EXPECT_FALSE(ui::save_parameter_file(p.c, nowhere));
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.shown[0],
              "Die Parameterdatei „" + nowhere + "“ wurde nicht gespeichert: No such file or directory");
    std::filesystem::create_directory(p.dir.path / "taken.txt");
    EXPECT_FALSE(ui::save_parameter_file(p.c, p.dir.file("taken.txt")));
    EXPECT_EQ(p.msg.shown.size(), 2u);
    EXPECT_FALSE(ui::load_parameter_file(p.c, nowhere));
    EXPECT_EQ(p.msg.shown.back(),
              "Die Parameterdatei „" + nowhere + "“ kann nicht gelesen werden: No such file or directory");

    // A read-only file is replaced only when the user says so (how files
    // are replaced whole is the store's).
    const std::string kept = p.dir.write("kept.txt", "old");
    std::filesystem::permissions(kept, std::filesystem::perms::owner_read);
    p.msg.shown.clear();
    EXPECT_FALSE(ui::save_parameter_file(p.c, kept));
    EXPECT_EQ(p.confirm.asked, 1);
    EXPECT_EQ(p.dir.read("kept.txt"), "old");
    EXPECT_TRUE(p.msg.shown.empty());  // the user said no
    p.confirm.answer = true;
    EXPECT_TRUE(ui::save_parameter_file(p.c, kept));
    EXPECT_EQ(p.dir.read("kept.txt").rfind("Vadivoz", 0), 0u);
    EXPECT_EQ(std::filesystem::status(kept).permissions(), std::filesystem::perms::owner_read);
}

TEST(ParameterFile, TheFileMenuAsksForTheFileAndACancelDoesNothing) {
    InstalledProgram p(german());
    show_configuration(p);
    EXPECT_TRUE(p.f.ParMenueMain(1).enabled());
    EXPECT_TRUE(p.f.ParMenueMain(2).enabled());
    p.f.ParMenueMain(2).press();                                                       // cancelled
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(p.dir.path), {}), 1);  // the hive only
    p.files.answer = p.dir.file("menu.txt");
    p.f.ParMenueMain(2).press();
    EXPECT_EQ(p.dir.read("menu.txt"), kGermanFile);

    InstalledProgram q(english());
    q.files.answer = p.dir.file("menu.txt");
    q.f.ParMenueMain(1).press();
    EXPECT_EQ(q.f.txt_data_cfg(9).text(), "1.5");
    EXPECT_EQ(q.files.filters, (std::vector<std::string>{"Textfile (*.txt)"}));
    EXPECT_TRUE(q.msg.shown.empty());
}

TEST(CodePage, WesternCharactersBecomeTheirBytes) {
    struct Case {
        const char* utf8;
        const char* cp1252;
    } cases[] = {
        {"Parität", "Parit\xe4t"},
        {"grün", "gr\xfcn"},
        {"Schließen",
         "Schlie\xdf"
         "en"},
        {"°C",
         "\xb0"
         "C"},
        {"5 €", "5 \x80"},
        {"→", "?"},
        {"\xc3", "?"},
        {"a\xff"
         "b",
         "a?b"},
    };
    for (const auto& k : cases) EXPECT_EQ(store::utf8_to_cp1252(k.utf8), k.cp1252) << k.utf8;
    EXPECT_EQ(store::cp1252_to_utf8("gr\xfcn \x80 \x81"), "grün € \xef\xbf\xbd");
}

}  // namespace
}  // namespace vor3::test
