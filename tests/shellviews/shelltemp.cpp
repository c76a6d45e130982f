#include "shellviews/shelltemp.h"

#include "shellviews/shellnamespace.h"

#include <QtGlobal>

#include <cstdlib>

namespace g3test {

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        old_ = old;
        had_ = true;
    }
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (had_)
        setenv(name_, old_.c_str(), 1);
    else
        unsetenv(name_);
}

g3::ItemIDList parsedPath(const std::string& path) {
    g3::ItemIDList out;
    if (!g3::ParseDisplayName(path, out)) qWarning("cannot parse %s", path.c_str());
    return out;
}

} // namespace g3test
