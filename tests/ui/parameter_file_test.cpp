// Parameter files: the saved bytes, loading them back by line position with
// the change marks and enabling that follow, and files that are short,
// damaged or hold values the fields would not take.
#include "ui/parameter_file.h"
#include "model/register_map.h"
#include "store/code_page.h"
#include "store/csv_log.h"
#include "store/registry.h"
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

std::string without_line(std::string file, int n) {
    const std::size_t start = first_lines(file, n - 1).size();
    return file.erase(start, file.find("\r\n", start) + 2 - start);
}

struct SaveCase {
    const char* name;
    Installation installation;
    int parity;
    std::string bytes;
    const char* date = "07.12.2024";
    const char* time = "14:03:05";
};
void PrintTo(const SaveCase& k, std::ostream* os) { *os << k.name; }

class SavedFile : public ::testing::TestWithParam<SaveCase> {};

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
    EXPECT_EQ(configuration(q), configuration(p));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SavedFile,
    ::testing::Values(SaveCase{"German", german(), 0, kGermanFile}, SaveCase{"English", english(), 0, kEnglishFile},
                      SaveCase{"EvenParityVersionNoText", german(""), 1, parameter_file(false, "0", ",", "Even")},
                      SaveCase{"OddParityVersionNoNumber", german("abc"), 2, parameter_file(false, "0", ",", "Odd")},
                      SaveCase{"ArabicLocale", foreign_locale(), 0, parameter_file(true, "1,5", ","),
                               "٠٧‏/١٢‏/٢٠٢٤", "٢:٠٣:٠٥ م"}),
    kByName);

// The configuration of kTexts and kBits as the window shows it, with the
// separator in force.
const char* const kGermanShown = "12 | 0 7 800 1200 10 20 -0,5 1,5 -30 | 11101110";
const char* const kEnglishShown = "12 | 0 7 800 1200 10 20 -0.5 1.5 -30 | 11101110";

// kGermanShown without the yellow LED's threshold, which was not loaded.
const char* const kYellowNotLoaded = "12 | 0 7  1200 10 20 -0,5 1,5 -30 | 11101110";

std::string without_carriage_returns(std::string file) {
    std::erase(file, '\r');
    return file;
}

struct LoadCase {
    const char* name;
    Installation loader;
    std::string file;
    std::string detail;  // of the one message, "" for none
    const char* shown;   // the configuration after loading
};
void PrintTo(const LoadCase& k, std::ostream* os) { *os << k.name; }
// The German file with line `n` replaced by `text`, which is not loaded.
LoadCase bad_line(const char* name, int n, const char* text, const std::string& reason, const char* shown) {
    return {name, german(), with_line(kGermanFile, n, text), "Zeile " + std::to_string(n) + " nicht geladen: " + reason,
            shown};
}

class LoadedFile : public ::testing::TestWithParam<LoadCase> {};

// A line that is damaged or missing keeps its field's value and is named
// in one message, while the rest loads.
TEST_P(LoadedFile, FillsWhatItCanAndNamesTheRest) {
    const auto& k = GetParam();
    InstalledProgram p(k.loader);
    open_port(p);
    const std::string path = p.dir.write("in.txt", k.file);
    EXPECT_EQ(ui::load_parameter_file(p.c, path), k.detail.empty());
    if (k.detail.empty()) {
        EXPECT_TRUE(p.msg.shown.empty());
    } else {
        ASSERT_EQ(p.msg.details, std::vector<std::string>{k.detail});
        EXPECT_NE(p.msg.shown[0].find(path), std::string::npos);
    }
    EXPECT_EQ(configuration(p), k.shown);
    EXPECT_EQ(p.f.txt_data_cfg(0).text() + p.f.txt_data_cfg(1).text(), "");  // device coding and firmware never load
    // Against a sensor never read, every loaded value is an edit.
    const bool edited = !p.f.txt_data_cfg(5).text().empty();
    EXPECT_EQ(p.f.txt_data_cfg(5).fore_color() == form::kChangeMark, edited);
    EXPECT_EQ(p.f.set_parameter.enabled(), edited);
    EXPECT_EQ(p.f.chk_read_out.enabled(), !edited);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadedFile,
    ::testing::Values(
        LoadCase{"EnglishFileGermanProgram", german(), kEnglishFile, "", kGermanShown},
        LoadCase{"GermanFileWithBareLineFeedsAndBlankLinesAfterTheEndEnglishProgram", english(),
                 without_carriage_returns(kGermanFile) + "\n  \n", "", kEnglishShown},
        bad_line("AddressMissing", 11, "Adresse:", "die Zeile enthält keinen Wert",
                 "1 | 0 7 800 1200 10 20 -0,5 1,5 -30 | 11101110"),
        bad_line("AddressNotDigits", 11, "Adresse: 1x", "„1x“ ist keine Zahl",
                 "1 | 0 7 800 1200 10 20 -0,5 1,5 -30 | 11101110"),
        bad_line("ControlCharactersAreShownEscaped", 18, "Register 4 ;Standortkennung:;7\x1b[2J\t",
                 "„7\\x1B[2J\\x09“ ist keine Zahl", "12 | 0  800 1200 10 20 -0,5 1,5 -30 | 11101110"),
        bad_line("ResponseTimeTheFieldWouldCorrect", 22, "Register 8 ;Min-Response-Time [ms]:;3",
                 "3 liegt nicht zwischen 5 und 3000", "12 | 0 7 800 1200 10  -0,5 1,5 -30 | 11101110"),
        bad_line("TenthsWithHundredths", 23, "Register 9 ;Temperatur-Offset [K]:;-0,55",
                 "-0,55 hat mehr Nachkommastellen, als das Register fasst",
                 "12 | 0 7 800 1200 10 20  1,5 -30 | 11101110"),
        // What the program never writes after a number is no part of it:
        // a thousand grouped either way, text after the value.
        bad_line("ThousandGroupedGerman", 19, "Register 5 ;Schaltschwelle gelbe LED:;1.000",
                 "1.000 hat mehr Nachkommastellen, als das Register fasst", kYellowNotLoaded),
        LoadCase{"ThousandGroupedEnglish", english(),
                 with_line(kGermanFile, 19, "Register 5 ;Schaltschwelle gelbe LED:;1,000"),
                 "Line 19 not loaded: 1,000 has more decimals than the register holds",
                 "12 | 0 7  1200 10 20 -0.5 1.5 -30 | 11101110"},
        bad_line("TextAfterTheValue", 19, "Register 5 ;Schaltschwelle gelbe LED:;801;junk", "„801;junk“ ist keine Zahl",
                 kYellowNotLoaded),
        bad_line("TextAfterTheAddress", 11, "Adresse: 12 x", "„12 x“ ist keine Zahl",
                 "1 | 0 7 800 1200 10 20 -0,5 1,5 -30 | 11101110"),
        bad_line("TextAfterABit", 26, "Konfigurationsbit 1 ;Raumtemperatur anzeigen:; 1 ;0",
                 "„ 1 ;0“ ist weder 0 noch 1", "12 | 0 7 800 1200 10 20 -0,5 1,5 -30 | 01101110"),
        bad_line("BitTwo", 26, "Konfigurationsbit 1 ;Raumtemperatur anzeigen:; 2 ", "„ 2 “ ist weder 0 noch 1",
                 "12 | 0 7 800 1200 10 20 -0,5 1,5 -30 | 01101110"),
        LoadCase{
            "SeveralBadLines", german(),
            with_line(with_line(with_line(kGermanFile, 11, "Adresse: 99"), 25, "Register 11 ;CO2-Offset [ppm]:;-600"),
                      26, "Konfigurationsbit 1"),
            "Zeile 11 nicht geladen: 99 liegt nicht zwischen 1 und 63\n"
            "Zeile 25 nicht geladen: -600 liegt nicht zwischen -500 und 500\n"
            "Zeile 26 nicht geladen: die Zeile enthält keinen Wert",
            "1 | 0 7 800 1200 10 20 -0,5 1,5  | 01101110"},
        LoadCase{"TextAfterTheEnd", german(), kGermanFile + "\r\nLED 1 ;x; 1 \r\n",
                 "Nach Zeile 33, dem Ende einer Parameterdatei, steht ab Zeile 35 noch Text; er wurde nicht geladen.",
                 kGermanShown},
        // Its last line, without a line end, still loads.
        LoadCase{"ShortFile", english(), first_lines(kGermanFile, 19) + "Register 6 ;Schaltschwelle rote LED:;1300",
                 "The file ends after line 20; the fields of lines 21 to 33 keep their values.",
                 "12 | 0 7 800 1300      | 00000000"},
        // A line lost, doubled or added would put every value after it into
        // the field of another line: the file is refused whole.
        LoadCase{
            "LineLost", german(), without_line(kGermanFile, 27),
            "Zeile 27 lautet „Konfigurationsbit 3 ;CO2 anzeigen:; 1 “; die Zeilen stehen nicht an ihrem Platz, darum "
            "wurde nichts geladen.",
            "1 |          | 00000000"}),
    kByName);

// Loaded over a sensor read, the values that differ from it are marked. A
// whole file sets every value of the configuration part, so it can be
// written to a sensor not read before; a short one cannot, or the fields
// it left empty would be written.
TEST(ParameterFile, LoadedValuesAreMarkedAndOnlyAWholeFileIsWrittenWithoutARead) {
    InstalledProgram source(german().on_simulated_sensor());
    ASSERT_TRUE(source.read_device());
    ASSERT_TRUE(ui::save_parameter_file(source.c, source.dir.file("device.txt")));
    std::string whole = with_line(source.dir.read("device.txt"), 19, "Register 5 ;Schaltschwelle gelbe LED:;900");
    whole = with_line(whole, 28, "Konfigurationsbit 3 ;CO2 anzeigen:; 0 ");
    ASSERT_TRUE(ui::load_parameter_file(source.c, source.dir.write("edited.txt", whole)));
    EXPECT_EQ(marks(source), "..x...... | ..x.....");

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

// The file menu asks for the file, and a cancel does nothing; a file that
// cannot be saved or read is named, and a read-only one replaced only when
// the user says so (how files are replaced whole is the store's).
TEST(ParameterFile, TheFileMenuAsksForTheFileAndNamesOneThatFails) {
    InstalledProgram p(german());
    show_configuration(p);
    p.f.ParMenueMain(2).press();                                                       // cancelled
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(p.dir.path), {}), 1);  // the hive only
    p.files.answer = p.dir.file("menu.txt");
    p.f.ParMenueMain(2).press();
    EXPECT_EQ(p.dir.read("menu.txt"), kGermanFile);
    p.f.txt_data_cfg(4).set_text("900");
    p.f.ParMenueMain(1).press();
    EXPECT_EQ(configuration(p), kGermanShown);
    EXPECT_TRUE(p.msg.shown.empty());

    const std::string nowhere = p.dir.file("missing/folder/p.txt");
    EXPECT_FALSE(ui::save_parameter_file(p.c, nowhere));
    EXPECT_FALSE(ui::load_parameter_file(p.c, nowhere));
    EXPECT_EQ(p.msg.shown,
              (std::vector<std::string>{
                  "Die Parameterdatei „" + nowhere + "“ wurde nicht gespeichert: Datei oder Ordner nicht gefunden",
                  "Die Parameterdatei „" + nowhere + "“ kann nicht gelesen werden: Datei oder Ordner nicht gefunden"}));

    const std::string kept = p.dir.write("kept.txt", "old");
    std::filesystem::permissions(p.dir.at("kept.txt"), std::filesystem::perms::owner_read);
    p.msg.shown.clear();
    EXPECT_FALSE(ui::save_parameter_file(p.c, kept));
    EXPECT_EQ(p.confirm.asked, 1);
    EXPECT_EQ(p.dir.read("kept.txt"), "old");
    EXPECT_TRUE(p.msg.shown.empty());  // the user said no
    p.confirm.answer = true;
    EXPECT_TRUE(ui::save_parameter_file(p.c, kept));
    EXPECT_EQ(p.dir.read("kept.txt"), kGermanFile);
}

// Inside the program a path is UTF-8, at Windows' calls UTF-16 (never the
// ANSI code page, which would make "Jürgen" "JÃ¼rgen" and lose Greek and
// Chinese): a save, a load, a settings write and the trend log in a folder
// of such names keep every name, as the system lists them.
TEST(ParameterFile, FoldersOfAnyScriptKeepTheirNamesThroughSaveLoadSettingsAndLog) {
    InstalledProgram p(german());
    show_configuration(p);
    const std::string folder = "Jürgen Groß/Δοκιμή/测试";
    std::filesystem::create_directories(p.dir.at(folder));
    const std::string file = p.dir.file(folder + "/Räume für 测试.txt");
    ASSERT_TRUE(ui::save_parameter_file(p.c, file)) << p.msg.shown.front();
    EXPECT_EQ(p.dir.read(folder + "/Räume für 测试.txt"), kGermanFile);
    p.f.txt_data_cfg(4).set_text("900");
    ASSERT_TRUE(ui::load_parameter_file(p.c, file));
    EXPECT_EQ(configuration(p), kGermanShown);

    const store::HiveFiles settings{"", p.dir.file(folder + "/Δοκιμή.reg")};
    store::CRegistry(settings).Werte(store::kProductKey, "Ordner", file);
    EXPECT_EQ(store::CRegistry(settings).Werte(store::kProductKey, "Ordner"), file);
    store::CsvLog log;
    EXPECT_EQ(log.open(p.dir.file(folder + "/Groß.csv"), "time", "1031"), "");
    log.close();
    EXPECT_TRUE(p.msg.shown.empty());

    std::vector<std::string> listed;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(p.dir.path)) {
        const std::u8string name = entry.path().lexically_relative(p.dir.path).generic_u8string();
        listed.emplace_back(name.begin(), name.end());
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed,
              (std::vector<std::string>{
                  "Jürgen Groß", "Jürgen Groß/Δοκιμή", "Jürgen Groß/Δοκιμή/测试", "Jürgen Groß/Δοκιμή/测试/Groß.csv",
                  "Jürgen Groß/Δοκιμή/测试/Räume für 测试.txt", "Jürgen Groß/Δοκιμή/测试/Δοκιμή.reg",
                  "Jürgen Groß/Δοκιμή/测试/Δοκιμή.reg.lock", "machine.reg"}));
}

TEST(CodePage, WesternCharactersBecomeTheirBytes) {
    const std::pair<const char*, const char*> cases[] = {
        {"Parität 5 € →", "Parit\344t 5 \200 ?"},
        {"a\377b\303", "a?b?"},
    };
    for (const auto& [utf8, cp1252] : cases) EXPECT_EQ(store::utf8_to_cp1252(utf8), cp1252) << utf8;
    EXPECT_EQ(store::cp1252_to_utf8("gr\374n \200 \201"), "grün € \357\277\275");
}

}  // namespace
}  // namespace vor3::test
