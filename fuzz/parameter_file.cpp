// The parameter-file loader under random files: no crash, and nothing
// loaded that the field's own rules would not keep.
#include "ui/parameter_file.h"
#include "fuzz_check.h"
#include "model/numbers.h"
#include "support/fake_program.h"
#include "support/temp_dir.h"

using namespace vor3;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const test::TempDir dir;  // one file per process, written anew for each input
    const std::string file = dir.write("p.txt", std::string(reinterpret_cast<const char*>(data), size));
    test::FakeProgram p;
    p.g.lang.language = size % 2 ? "1033" : "1031";
    // The window as after reading a sensor, so that a field the file leaves
    // alone holds a value of its own.
    const char* read[] = {"4660", "105", "0", "1", "800", "1200", "10", "20", "0", "0", "0"};
    for (int i = 0; i <= 10; ++i) p.f.txt_data_cfg(i).set_text(read[i]);
    ui::load_parameter_file(p.c, file);
    auto& f = p.f;
    const double address = model::leading_number(f.txt_Modbus_adress.text());
    FUZZ_CHECK(address >= 1 && address <= 63, "the address field holds '" + f.txt_Modbus_adress.text() + "'");
    // What the loader put in a field, leaving the field must keep.
    for (int i = 2; i <= 10; ++i) {
        auto& field = f.txt_data_cfg(i);
        const std::string loaded = field.text();
        field.lose_focus();
        FUZZ_CHECK(field.text() == loaded, "txt_data_cfg(" + std::to_string(i) + ") was loaded as '" + loaded +
                                               "', which its rules make '" + field.text() + "'");
    }
    for (int i = 0; i <= 7; ++i)
        FUZZ_CHECK(f.chk_cfg(i).value() == 0 || f.chk_cfg(i).value() == 1, "a coil beyond 0 and 1");
    return 0;
}
