// The hive-file reader under random text: no crash, and what it read it
// writes out so that reading that again gives the same hive.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "store/hive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vor3::store::Hive;
    FuzzedDataProvider in(data, size);
    const std::string path = in.ConsumeRandomLengthString(40);
    const std::string text = in.ConsumeRemainingBytesAsString();
    Hive hive = Hive::parse(text);
    const std::string written = hive.text("HKEY_LOCAL_MACHINE");
    FUZZ_CHECK(Hive::parse(written).text("HKEY_LOCAL_MACHINE") == written, "a hive reads back otherwise than written");
    // Looking up and changing keys at any path stays within the hive.
    hive.find(path);
    hive.subkeys(path);
    if (vor3::store::normal_key_path(path).empty()) return 0;  // names no key: create refuses it
    hive.create(path);
    FUZZ_CHECK(hive.find(path) != nullptr, "a key just created is not found");
    hive.remove(path);
    return 0;
}
