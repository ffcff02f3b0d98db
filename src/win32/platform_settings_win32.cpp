#include "win32/platform_settings_win32.h"

#include <windows.h>

#include "win32/port_text.h"

namespace vor3::win32 {

std::string program_folder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        // A path that fills the buffer may have been cut.
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t cut = path.find_last_of(L"\\/");
    return port_text::narrow(cut == std::wstring::npos ? std::wstring_view() : std::wstring_view(path).substr(0, cut));
}

std::string decimal_separator(const store::CRegistry& registry) {
    const std::string own = registry.Werte(store::kInternationalKey, "sDecimal");
    if (!own.empty()) return own;
    wchar_t sep[LOCALE_NAME_MAX_LENGTH] = {};
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, sep, LOCALE_NAME_MAX_LENGTH);
    return n > 1 ? port_text::narrow(std::wstring_view(sep, static_cast<std::size_t>(n - 1))) : std::string();
}

model::PlatformSettings platform_settings() {
    model::PlatformSettings settings;
    settings.machine_key = store::kMachineRoot;
    settings.user_key = store::kUserRoot;
    settings.locale_decimal_sep = decimal_separator(store::platform_registry(settings));
    return settings;
}

}  // namespace vor3::win32
