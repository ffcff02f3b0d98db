// The system's registry of Windows as the registry class's store.
#ifdef _WIN32
#include <windows.h>

#include <cstring>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "store/system_registry.h"

namespace vor3::store {

namespace {

// Names and texts are UTF-8 inside the program; the registry takes UTF-16.
// Nothing for broken UTF-8, which would not read back as it was given.
std::optional<std::wstring> wide(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, out.data(), n);
    return out;
}

std::string narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// The system's own words for an error number, in its language.
FileError system_error(LONG code) {
    if (code == ERROR_ACCESS_DENIED) return FileError::of(FileProblem::no_right);
    wchar_t* words = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    std::wstring text(words ? words : L"", n);
    if (words) LocalFree(words);
    while (!text.empty() && (std::iswspace(text.back()) || text.back() == L'.')) text.pop_back();
    FileError e = FileError::of(FileProblem::system, text.empty() ? "error " + std::to_string(code) : narrow(text));
    e.number = static_cast<int>(code);
    return e;
}

// A text value's UTF-16 bytes as the program reads them: cut at the first
// zero, whether the registry holds one or not.
std::string text_of(const std::vector<BYTE>& data, DWORD size) {
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    return narrow(std::wstring_view(text.c_str()));
}

struct Key {
    HKEY h = nullptr;
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h) RegCloseKey(h);
    }
};

// Key paths as the program spells them, with the separators at the ends
// the registry would not take.
std::string joined(std::string_view a, std::string_view b) {
    auto trim = [](std::string_view s) {
        while (!s.empty() && s.front() == '\\') s.remove_prefix(1);
        while (!s.empty() && s.back() == '\\') s.remove_suffix(1);
        return s;
    };
    a = trim(a);
    b = trim(b);
    if (a.empty() || b.empty()) return std::string(a.empty() ? b : a);
    return std::string(a) + "\\" + std::string(b);
}

// A key below one of the two roots: where a branch keeps its settings.
struct Place {
    HKEY root = nullptr;    // nullptr: not a root of the program's
    std::string root_name;  // as the program names it
    std::string base;       // below the root
};

Place place_of(const std::string& key) {
    const std::size_t cut = key.find('\\');
    const std::string root = key.substr(0, cut);
    Place p;
    p.root_name = root;
    p.base = cut == std::string::npos ? "" : key.substr(cut + 1);
    if (CompareStringOrdinal(wide(root).value_or(L"").c_str(), -1, L"HKEY_LOCAL_MACHINE", -1, TRUE) == CSTR_EQUAL)
        p.root = HKEY_LOCAL_MACHINE;
    else if (CompareStringOrdinal(wide(root).value_or(L"").c_str(), -1, L"HKEY_CURRENT_USER", -1, TRUE) == CSTR_EQUAL)
        p.root = HKEY_CURRENT_USER;
    return p;
}

class SystemRegistry : public RegistryStore {
public:
    explicit SystemRegistry(const SystemRegistryKeys& keys)
        : machine_(place_of(keys.machine)), user_(place_of(keys.user)), read_only_(keys.read_only) {}

    std::string text(Branch branch, const std::string& key, const std::string& name) const override {
        const Place* p = place(branch);
        const auto wname = wide(name);
        Key k;
        if (!p || !wname || open(*p, key, KEY_QUERY_VALUE, k) != ERROR_SUCCESS) return {};
        std::vector<BYTE> data(256);
        for (;;) {
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(data.size());
            const LONG code = RegQueryValueExW(k.h, wname->c_str(), nullptr, &type, data.data(), &size);
            if (code == ERROR_MORE_DATA) {
                data.resize(size + sizeof(wchar_t));
                continue;
            }
            return code == ERROR_SUCCESS && type == REG_SZ ? text_of(data, size) : std::string();
        }
    }

    StoreFailure set_text(Branch branch, const std::string& key, const std::string& name,
                          const std::string& text) override {
        const Place* p = place(branch);
        if (!p || !p->root) return {p ? p->root_name : "", FileError::of(FileProblem::system, "no such registry root")};
        const std::string where = name_of(*p, key);
        const auto wname = wide(name);
        if (!wname) return {where, FileError::of(FileProblem::not_storable, name)};
        // A text ends at its first zero.
        const auto wtext = wide(text);
        if (!wtext || text.find('\0') != std::string::npos)
            return {where, FileError::of(FileProblem::not_storable, text)};
        const auto wkey = wide(path_of(*p, key));
        if (!wkey) return {where, FileError::of(FileProblem::not_storable, key)};
        Key k;
        const REGSAM access = (read_only_ ? KEY_READ : KEY_SET_VALUE) | KEY_WOW64_64KEY;
        LONG code = RegCreateKeyExW(p->root, wkey->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &k.h,
                                    nullptr);
        if (code == ERROR_SUCCESS) {
            const auto bytes = static_cast<DWORD>((wtext->size() + 1) * sizeof(wchar_t));
            code = RegSetValueExW(k.h, wname->c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wtext->c_str()), bytes);
        }
        if (code != ERROR_SUCCESS) return {where, system_error(code)};
        return {};
    }

    std::optional<std::vector<std::string>> subkeys(Branch branch, const std::string& key) const override {
        const Place* p = place(branch);
        Key k;
        if (!p || open(*p, key, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, k) != ERROR_SUCCESS) return std::nullopt;
        return subkeys_of(k.h);
    }

    bool remove_tree(Branch branch, const std::string& key, StoreFailure& failure) override {
        const Place* p = place(branch);
        const std::string path = path_of(p ? *p : Place{}, key);
        // The branch's own key is not the program's to delete.
        if (!p || joined(key, "").empty()) return false;
        const std::string where = name_of(*p, key);
        Key k;
        const REGSAM rights = read_only_ ? KEY_READ : DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE;
        LONG code = open(*p, key, rights, k);
        if (code == ERROR_FILE_NOT_FOUND) return false;
        if (code == ERROR_SUCCESS) code = RegDeleteTreeW(k.h, nullptr);
        if (code == ERROR_SUCCESS)
            code = RegDeleteKeyExW(p->root, wide(path).value_or(L"").c_str(), KEY_WOW64_64KEY, 0);
        if (code == ERROR_SUCCESS) return true;
        failure = {where, system_error(code)};
        return false;
    }

    // The registry is always there to read; a key that cannot be opened
    // reads as missing, as in a hive.
    StoreFailure check(Branch) const override { return {}; }

    std::vector<StoreListing> list(Branch branch) const override {
        const Place* p = place(branch);
        if (!p) return {};
        std::vector<StoreListing> out{listing(*p, kProductKey, nullptr)};
        // Of the user's regional settings the program reads the separator only.
        if (branch == Branch::user) out.push_back(listing(*p, kInternationalKey, L"sDecimal"));
        return out;
    }

private:
    const Place* place(Branch branch) const {
        switch (branch) {
        case Branch::machine: return &machine_;
        case Branch::user: return &user_;
        case Branch::package: break;
        }
        return nullptr;
    }

    static std::string path_of(const Place& p, const std::string& key) { return joined(p.base, key); }
    static std::string name_of(const Place& p, const std::string& key) { return joined(p.root_name, path_of(p, key)); }

    LONG open(const Place& p, const std::string& key, REGSAM rights, Key& k) const {
        const auto wkey = wide(path_of(p, key));
        if (!p.root || !wkey) return ERROR_FILE_NOT_FOUND;
        return RegOpenKeyExW(p.root, wkey->c_str(), 0, rights | KEY_WOW64_64KEY, &k.h);
    }

    static std::vector<std::string> subkeys_of(HKEY h) {
        std::vector<std::string> names;
        DWORD longest = 0;
        RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr);
        std::wstring name(longest + 1, L'\0');
        for (DWORD i = 0;; ++i) {
            DWORD size = static_cast<DWORD>(name.size());
            const LONG code = RegEnumKeyExW(h, i, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
            if (code == ERROR_MORE_DATA) {
                name.resize(name.size() * 2);
                --i;
                continue;
            }
            if (code != ERROR_SUCCESS) break;
            names.push_back(narrow(std::wstring_view(name.data(), size)));
        }
        return names;
    }

    // The values of a key and of its subkeys, those with their path in
    // front; only the value `only` where one is named.
    static void add_values(HKEY h, const std::string& prefix, const wchar_t* only, StoreListing& out) {
        DWORD longest_name = 0, longest_data = 0;
        RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest_name, &longest_data,
                         nullptr, nullptr);
        std::wstring name(longest_name + 1, L'\0');
        std::vector<BYTE> data(longest_data + sizeof(wchar_t));
        for (DWORD i = 0;; ++i) {
            DWORD name_size = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = 0;
            const LONG code = RegEnumValueW(h, i, name.data(), &name_size, nullptr, &type, data.data(), &size);
            if (code == ERROR_MORE_DATA) {
                name.resize(name.size() * 2);
                data.resize(data.size() * 2);
                --i;
                continue;
            }
            if (code != ERROR_SUCCESS) break;
            const std::wstring_view wname(name.data(), name_size);
            if (only &&
                CompareStringOrdinal(wname.data(), static_cast<int>(wname.size()), only, -1, TRUE) != CSTR_EQUAL)
                continue;
            out.values.emplace_back(prefix + narrow(wname), type == REG_SZ ? text_of(data, size) : std::string());
        }
        if (only) return;
        for (const auto& sub : subkeys_of(h)) {
            Key k;
            if (RegOpenKeyExW(h, wide(sub).value_or(L"").c_str(), 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &k.h) ==
                ERROR_SUCCESS)
                add_values(k.h, prefix + sub + "\\", nullptr, out);
        }
    }

    StoreListing listing(const Place& p, const std::string& key, const wchar_t* only) const {
        StoreListing out{name_of(p, key), {}, {}};
        Key k;
        const LONG code = open(p, key, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, k);
        if (code == ERROR_SUCCESS)
            add_values(k.h, "", only, out);
        else if (code != ERROR_FILE_NOT_FOUND)
            out.error = system_error(code);
        return out;
    }

    Place machine_, user_;
    bool read_only_;
};

}  // namespace

std::shared_ptr<RegistryStore> system_registry(SystemRegistryKeys keys) {
    return std::make_shared<SystemRegistry>(keys);
}

}  // namespace vor3::store
#endif
