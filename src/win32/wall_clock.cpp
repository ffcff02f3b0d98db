#include "win32/wall_clock.h"

#include <windows.h>

#include <cstdio>

#include "win32/port_text.h"

namespace vor3::win32 {

std::string Win32WallClock::date_text() const {
    wchar_t text[80] = {};
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, 80, nullptr) == 0) return {};
    return port_text::narrow(text);
}

std::string Win32WallClock::time_text() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
    return text;
}

form::WallTime Win32WallClock::now() const {
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    // 100 ns steps since 1601; 1970 is 11644473600 s later.
    const ULONGLONG ticks = (ULONGLONG{utc.dwHighDateTime} << 32) | utc.dwLowDateTime;
    const auto epoch_ms = static_cast<std::int64_t>(ticks / 10000) - 11644473600000LL;
    FILETIME local_file;
    SYSTEMTIME t;
    FileTimeToLocalFileTime(&utc, &local_file);
    FileTimeToSystemTime(&local_file, &t);
    char iso[32];
    std::snprintf(iso, sizeof iso, "%04u-%02u-%02uT%02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond, t.wMilliseconds);
    return {epoch_ms, iso};
}

}  // namespace vor3::win32
