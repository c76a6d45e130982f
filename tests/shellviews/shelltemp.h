// The shell view tests' helpers beyond the shared temporary folder (support/tempdir.h).
#pragma once

#include "shellviews/itemidlist.h"
#include "support/tempdir.h"

#include <string>

namespace g3test {

// The absolute ID list of an existing path (a warning and the null list otherwise).
g3::ItemIDList parsedPath(const std::string& path);

} // namespace g3test
