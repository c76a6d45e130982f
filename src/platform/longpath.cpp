#include "platform/longpath.h"

#include <fcntl.h>

#include <climits>

namespace g3 {

ReachablePath::ReachablePath(const std::string& path) : p_(path) {
    if (path.size() < PATH_MAX || path[0] != '/') return;
    constexpr std::size_t kStep = 2048;
    UniqueFd dir(open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t pos = 1;
    while (dir && path.size() - pos >= kStep) {
        std::size_t end = path.rfind('/', pos + kStep);
        if (end == std::string::npos || end <= pos) return;
        std::string part = path.substr(pos, end - pos);
        UniqueFd next(openat(dir.get(), part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!next) return;
        dir = std::move(next);
        pos = end + 1;
    }
    if (!dir) return;
    p_ = "/proc/self/fd/" + std::to_string(dir.get()) + "/" + path.substr(pos);
    dir_ = std::move(dir);
}

} // namespace g3
