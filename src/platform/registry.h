// The program's file-type registry: the keys it would write under HKEY_CLASSES_ROOT, kept
// in a text file of the configuration folder (registry.ini), one section per key path with
// the key's default value under "@". Key paths match without regard to ASCII case, as the
// registry's do; a key keeps the case in which it was first written. Every write is a
// whole-file write under a temporary name followed by a rename, so the file is never seen
// half written.
#pragma once

#include "platform/profile.h"

#include <string>
#include <string_view>
#include <vector>

namespace g3 {

// registry.ini in configFolder().
std::string registryStorePath();

class RegistryStore {
public:
    explicit RegistryStore(std::string path = registryStorePath());

    // Creates the key when missing and sets its default value (the other keys stay as they
    // are). False when the file cannot be written (lastError() tells why), or with EINVAL,
    // nothing written, for a key path that is empty or holds "[", "]" or a control
    // character, or a value with a line break.
    bool setDefaultValue(std::string_view keyPath, std::string_view value);
    // The key's default value; empty when the key or its value is missing.
    std::string defaultValue(std::string_view keyPath) const;

private:
    ProfileFile file_;
};

// What the registry says opens path: "." + its extension names a program identifier, whose
// "shell\open\command" holds the command line. The line is split into arguments at blanks
// outside double quotes (the quotes go), and "%1" or "%L" in it stand for path. Empty
// when the name has no extension or the store has no command for it.
std::vector<std::string> storedOpenCommand(const RegistryStore& store, const std::string& path);

} // namespace g3
