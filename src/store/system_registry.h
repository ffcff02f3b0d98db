#pragma once
#include <memory>
#include <string>

#include "store/registry_store.h"

// The system's registry of Windows as the registry class's store
// (registry_windows.cpp; there is none elsewhere). Keys are opened in the
// 64-bit view; names and texts are UTF-8 here and UTF-16 in the registry.
namespace vor3::store {

struct SystemRegistryKeys {
    // The keys the machine's and the user's settings are kept below, root
    // first: the roots themselves for the program, keys of its own for a
    // test ("HKEY_CURRENT_USER\SOFTWARE\vor3-test-42\machine").
    std::string machine = kMachineRoot;
    std::string user = kUserRoot;
    // Every key is opened to read only, so that each write is refused as a
    // normal user's write below HKEY_LOCAL_MACHINE is.
    bool read_only = false;
};

// A key or a root that is neither HKEY_LOCAL_MACHINE nor HKEY_CURRENT_USER
// holds nothing and takes no write.
std::shared_ptr<RegistryStore> system_registry(SystemRegistryKeys keys);

}  // namespace vor3::store
