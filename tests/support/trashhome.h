// A trash of the test's own: XDG_DATA_HOME inside a temporary folder for as long as the
// object lives (the value before is put back afterwards).
#pragma once

#include "platform/paths.h"
#include "support/tempdir.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace g3test {

struct TrashHome {
    TempDir t;
    std::string data = t.mkdir("data");
    std::string work = t.mkdir("work");

    TrashHome() {
        if (const char* v = std::getenv("XDG_DATA_HOME")) before_ = v;
        setenv("XDG_DATA_HOME", data.c_str(), 1);
    }
    ~TrashHome() {
        if (before_)
            setenv("XDG_DATA_HOME", before_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    TrashHome(const TrashHome&) = delete;
    TrashHome& operator=(const TrashHome&) = delete;

    std::string trash() const { return g3::joinPath(data, "Trash"); }
    std::string trashed(const std::string& name) const { return g3::joinPath(trash(), "files/" + name); }

private:
    std::optional<std::string> before_;
};

} // namespace g3test
