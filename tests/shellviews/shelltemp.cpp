#include "shellviews/shelltemp.h"

#include "shellviews/shellnamespace.h"

#include <QtGlobal>

namespace g3test {

g3::ItemIDList parsedPath(const std::string& path) {
    g3::ItemIDList out;
    if (!g3::ParseDisplayName(path, out)) qWarning("cannot parse %s", path.c_str());
    return out;
}

} // namespace g3test
