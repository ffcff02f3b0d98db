// The register view: every register and coil as the last read gave it, in
// the window's number format and language, following each read, not read
// where a cancelled read stopped, and copied as a table.
#include "model/register_map.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

// A row of the view as "cell | cell | ...".
std::string row(const InstalledProgram& p, int r) {
    std::string s;
    for (const auto& cell : p.prog.frmRegisters.grd_registers.rows().at(static_cast<std::size_t>(r)))
        s += (s.empty() ? "" : " | ") + cell;
    return s;
}

// The rows of the map: 0..10 configuration registers, 11..13 measured
// values, 14..16 external values, 17..24 configuration coils, 25..29 LED coils.
struct Language {
    const char* name;
    const char* language;
    const char* sep;
    std::vector<std::pair<int, std::string>> rows;  // after a whole read
    std::string header, not_read;
};
void PrintTo(const Language& k, std::ostream* os) { *os << k.name; }

class RegisterWindow : public ::testing::TestWithParam<Language> {};

TEST_P(RegisterWindow, ShowsEachReadRowByRowNotReadWhereACancelStoppedAndCopiesTheTable) {
    const Language& k = GetParam();
    InstalledProgram p(on_sensor().with_machine(machine_hive("", k.language)).with_locale_sep(k.sep));
    p.sensor.set_holding(8, 0xFFFB);
    p.sensor.set_holding(0x100, 200);
    p.sensor.set_holding(0x102, 785);
    p.sensor.set_coil(0, true);
    p.sensor.set_coil(1, false);
    p.sensor.set_coil(0x101, true);
    p.f.AnsichtMenue(6).press();
    auto& w = p.prog.frmRegisters;
    ASSERT_TRUE(w.visible());
    ASSERT_EQ(w.grd_registers.rows().size(), model::field_map().size());
    EXPECT_EQ(w.grd_registers.rows()[11][4], k.not_read) << "nothing read yet";

    ASSERT_TRUE(p.read_device());
    for (const auto& [r, expected] : k.rows) EXPECT_EQ(row(p, r), expected) << "row " << r;

    // A second read, cancelled while the configuration coils are asked for:
    // what it read before is shown, the rest as not read.
    p.sensor.set_holding(4, 900);
    p.f.cmd_read_device.press();
    ASSERT_TRUE(p.clock.run_until(
        [&] { return p.g.transfer.request_kind == model::kReadConfigCoils && p.f.Timer5.enabled(); }, 20000));
    p.prog.frmState.Abbruch.press();
    ASSERT_TRUE(settle(p));
    EXPECT_EQ(w.grd_registers.rows()[4][3], "0x0384");
    EXPECT_EQ(w.grd_registers.rows()[4][4], "900");
    for (const int r : {14, 17, 26}) {
        EXPECT_EQ(w.grd_registers.rows()[static_cast<std::size_t>(r)][3], "") << "row " << r;
        EXPECT_EQ(w.grd_registers.rows()[static_cast<std::size_t>(r)][4], k.not_read) << "row " << r;
    }

    // Copied: a header line, then a line per row, cells between tabs.
    w.cmd_copy.press();
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = p.clipboard.text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(p.clipboard.text.substr(at, end - at));
    ASSERT_EQ(lines.size(), model::field_map().size() + 1);
    EXPECT_EQ(lines[0], k.header);
    std::string fourth = row(p, 4);
    for (std::size_t at; (at = fourth.find(" | ")) != std::string::npos;) fourth.replace(at, 3, "\t");
    EXPECT_EQ(lines[5], fourth);
    EXPECT_EQ(p.clipboard.text.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Both, RegisterWindow,
    ::testing::Values(Language{"German",
                               "1031",
                               ",",
                               {{4, "0x0004 | Schaltschwelle gelbe LED | 03 | 0x0320 | 800 | ppm | 0 … 3000"},
                                {8, "0x0008 | Temperatur-Offset [K] | 03 | 0xFFFB | -0,5 | K | -10 … 10"},
                                {11, "0x0100 | Temperatur | 03 | 0x00C8 | 20,0 | °C | -3276,8 … 3276,7"},
                                {13, "0x0102 | CO2 | 03 | 0x0311 | 785 | ppm | 0 … 65535"},
                                {17, "0x0000 | Raumtemperatur anzeigen | 01 | 1 | 1 |  | 0 … 1"},
                                {18, "0x0001 | Feuchtewert anzeigen | 01 | 0 | 0 |  | 0 … 1"},
                                {26, "0x0101 | LED grün | 01 | 1 | 1 |  | 0 … 1"}},
                               "Adresse\tBezeichnung\tFunktion\tRohwert\tWert\tEinheit\tBereich",
                               "nicht gelesen"},
                      Language{"English",
                               "1033",
                               ".",
                               {{8, "0x0008 | Temperature-Offset | 03 | 0xFFFB | -0.5 | K | -10 … 10"},
                                {11, "0x0100 | Temperature | 03 | 0x00C8 | 20.0 | °C | -3276.8 … 3276.7"}},
                               "Address\tName\tFunction\tRaw\tValue\tUnit\tRange",
                               "not read"}),
    kByName);

}  // namespace
}  // namespace vor3::test
