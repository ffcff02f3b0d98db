// The hive-file reader under random bytes: no crash, every byte kept as
// it was, and a value stored in a hive it understands reads back while
// every other value stays as it was.

#include "fuzz_check.h"
#include "store/hive.h"

namespace {

using vor3::store::Hive;

// Every value of the hive but the one at `path` and `name`, as "key\name=type:data".
std::vector<std::string> other_values(const Hive& hive, const std::string& path, const std::string& name) {
    using vor3::store::hive_format::lower;
    std::vector<std::string> out;
    for (const auto* key : hive.keys())
        for (const auto& v : key->values) {
            if (lower(key->path) == lower(vor3::store::normal_key_path(path)) && lower(v.name) == lower(name)) continue;
            out.push_back(key->path + "\\" + v.name + "=" + std::to_string(v.type) + ":" + v.data);
        }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string path = in.ConsumeRandomLengthString(40);
    const std::string name = in.ConsumeRandomLengthString(12);
    const std::string text = in.ConsumeRandomLengthString(12);
    const std::string bytes = in.ConsumeBytesAsString(in.remaining_bytes());
    Hive hive = Hive::parse(bytes);
    FUZZ_CHECK(hive.bytes() == bytes, "a hive is not written back byte for byte");
    hive.find(path);
    hive.subkeys(path);
    hive.exists(path);

    const auto before = other_values(hive, path, name);
    if (!hive.set_text(path, name, text, "HKEY_LOCAL_MACHINE")) {
        const Hive again = Hive::parse(hive.bytes());
        const auto* v = again.value(path, name);
        FUZZ_CHECK(v && v->data == text, "a value stored does not read back");
        FUZZ_CHECK(other_values(again, path, name) == before, "storing one value changed another");
    } else {
        FUZZ_CHECK(hive.bytes() == bytes, "a value refused changed the hive");
    }
    if (hive.remove_tree(path)) FUZZ_CHECK(!hive.exists(path), "a key removed is still there");
    return 0;
}
