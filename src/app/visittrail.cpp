#include "app/visittrail.h"

namespace g3 {

void VisitTrail::visited(const std::string& path) {
    if (!entries_.empty() && entries_[pos_] == path) return;
    if (!entries_.empty()) entries_.resize(pos_ + 1);
    entries_.push_back(path);
    if (entries_.size() > kCap) entries_.erase(entries_.begin());
    pos_ = entries_.size() - 1;
}

std::string VisitTrail::stepBack() {
    if (entries_.empty() || pos_ == 0) return {};
    return entries_[--pos_];
}

std::string VisitTrail::stepForward() {
    if (pos_ + 1 >= entries_.size()) return {};
    return entries_[++pos_];
}

void VisitTrail::forgetStep(bool forward) {
    if (entries_.empty()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(pos_));
    // A step back left the start right behind the gone entry, which is now at pos_; a
    // step forward left it right before.
    if (forward && pos_ > 0) --pos_;
    if (pos_ >= entries_.size() && !entries_.empty()) pos_ = entries_.size() - 1;
}

} // namespace g3
