// Runs a check as a user without root's right to read every folder.
#pragma once

#include <functional>

namespace g3test {

enum class Unprivileged { Passed, Failed, NotPossible };

// Calls check in a child process that has given up root (user and group "nobody"), or in
// this process when it is not root. NotPossible when the privileges cannot be dropped.
// Everything the check needs to reach must be open to other users.
Unprivileged runUnprivileged(const std::function<bool()>& check);

} // namespace g3test
