#include "fscomp/folderwatch.h"

#include "platform/errors.h"

#include <cerrno>

namespace g3 {

bool isWatchable(const std::string& folder, std::uint32_t changes, struct stat& st) {
    if (changes == 0) {
        setLastError(EINVAL);
        return false;
    }
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        setLastError(errno ? errno : ENOTDIR);
        return false;
    }
    return true;
}

} // namespace g3
