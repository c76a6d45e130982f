// The shell view tests' helpers beyond the shared temporary folder (support/tempdir.h).
#pragma once

#include "shellviews/itemidlist.h"
#include "support/tempdir.h"

#include <string>

namespace g3test {

// Sets an environment variable for the life of the object and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

// The absolute ID list of an existing path (a warning and the null list otherwise).
g3::ItemIDList parsedPath(const std::string& path);

} // namespace g3test
