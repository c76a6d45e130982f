// Paths longer than the kernel takes in one call (PATH_MAX).
#pragma once

#include "platform/handles.h"

#include <string>

namespace g3 {

// A form of a path that the system calls accept. A path shorter than PATH_MAX stands as
// it is. A longer one (the kernel refuses those with ENAMETOOLONG) is opened folder by
// folder, each step well below the limit, and named below /proc/self/fd/N of the deepest
// folder opened; that descriptor lives as long as the object. When a step cannot be
// opened the path stands as it is, and the call that uses it fails as it would have.
class ReachablePath {
public:
    explicit ReachablePath(const std::string& path);
    const std::string& str() const { return p_; }
    const char* c_str() const { return p_.c_str(); }

private:
    std::string p_;
    UniqueFd dir_;
};

} // namespace g3
