// The folders visited, in order, with the place the window stands at: back and forward
// walk it; visiting a folder from the middle drops the folders ahead.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace g3 {

class VisitTrail {
public:
    static constexpr std::size_t kCap = 100;

    // The window arrived at path (by any way, a step of the trail included).
    void visited(const std::string& path);
    // One step back or forward: the folder there, or "" at the end of the trail.
    std::string stepBack();
    std::string stepForward();
    // The folder stepped to could not be shown: it leaves the trail, and the place goes
    // back to where the step started from.
    void forgetStep(bool forward);

    const std::vector<std::string>& entries() const { return entries_; }
    std::size_t position() const { return pos_; }

private:
    std::vector<std::string> entries_;
    std::size_t pos_ = 0;
};

} // namespace g3
