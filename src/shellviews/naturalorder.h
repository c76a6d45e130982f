// The name order of the shell folders: natural and case-insensitive ("file2" before
// "file10", "ABC" beside "abc"). Case folding covers ASCII; other bytes compare as bytes.
#pragma once

#include <string_view>

namespace g3 {

// Negative, 0 or positive. Runs of digits compare by value, leading zeros ignored; 0 for
// names that differ only in ASCII case or in leading zeros.
int naturalCompare(std::string_view a, std::string_view b);

// naturalCompare, with names it calls equal ordered by their bytes: 0 only for identical
// names, so two names that differ only in case stay two distinct items.
int compareNames(std::string_view a, std::string_view b);

} // namespace g3
