#pragma once
#include <string>

#include "model/globals.h"
#include "store/registry.h"

// What a Windows program takes from the system at start: where it is, where
// its settings are, and the user's number format.
namespace vor3::win32 {

// The folder of the running program, as UTF-8.
std::string program_folder();

// The user's decimal separator: the user's own regional setting as the
// registry class reads it, else the one of the user's locale ("": neither
// names one).
std::string decimal_separator(const store::CRegistry& registry);

// The settings live in the system's registry, under HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER; there are no hive files.
model::PlatformSettings platform_settings();

}  // namespace vor3::win32
