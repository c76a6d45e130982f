#include "platform/registry.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <cerrno>

namespace g3 {

namespace {

// The default value's name in the file; a key's other values are never written.
constexpr std::string_view kDefault = "@";

// A section header cannot hold brackets or a line break; control characters have no place
// in a key name either.
bool validKeyPath(std::string_view key) {
    if (key.empty()) return false;
    for (char c : key)
        if (c == '[' || c == ']' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

std::vector<std::string> splitCommandLine(std::string_view line, const std::string& file) {
    // The form the program writes: the whole quoted path, whatever it holds, then "%1".
    constexpr std::string_view ownTail = "\" \"%1\"";
    if (line.size() > 1 + ownTail.size() && line.front() == '"' && line.ends_with(ownTail))
        return {std::string(line.substr(1, line.size() - 1 - ownTail.size())), file};
    std::vector<std::string> args;
    std::string arg;
    bool quoted = false, started = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
            started = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (started) args.push_back(std::move(arg));
            arg.clear();
            started = false;
        } else if (c == '%' && i + 1 < line.size() && (line[i + 1] == '1' || line[i + 1] == 'L')) {
            arg += file;
            started = true;
            ++i;
        } else {
            arg += c;
            started = true;
        }
    }
    if (started) args.push_back(std::move(arg));
    return args;
}

} // namespace

std::string registryStorePath() { return joinPath(configFolder(), "registry.ini"); }

RegistryStore::RegistryStore(std::string path) : file_(std::move(path)) {}

bool RegistryStore::setDefaultValue(std::string_view keyPath, std::string_view value) {
    if (!validKeyPath(keyPath)) {
        setLastError(EINVAL);
        return false;
    }
    return file_.writeString(keyPath, kDefault, value);
}

std::string RegistryStore::defaultValue(std::string_view keyPath) const {
    return file_.readString(keyPath, kDefault);
}

std::vector<std::string> storedOpenCommand(const RegistryStore& store, const std::string& path) {
    const std::string name = namePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return {};
    const std::string progId = store.defaultValue(name.substr(dot));
    if (!validKeyPath(progId)) return {};
    const std::string command = store.defaultValue(progId + "\\shell\\open\\command");
    return command.empty() ? std::vector<std::string>{} : splitCommandLine(command, path);
}

} // namespace g3
