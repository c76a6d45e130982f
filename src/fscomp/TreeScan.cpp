#include "fscomp/TreeScan.h"

#include "platform/findfile.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <algorithm>

namespace g3 {

namespace {

unsigned char foldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Order without regard to ASCII case; 0 only for texts equal but for case.
int compareText(const std::string& a, const std::string& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = foldAscii(static_cast<unsigned char>(a[i]));
        unsigned char y = foldAscii(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Names are compared without case, but on Linux "A.txt" and "a.txt" are two files: they
// keep a fixed order by their bytes, and neither is dropped as a duplicate.
bool nameLess(const std::string& a, const std::string& b) {
    int c = compareText(a, b);
    return c != 0 ? c < 0 : a < b;
}

// The process's current folder, or the root when it cannot be read (it was deleted).
std::string currentDirectory() {
    std::string cwd = processFolder();
    return cwd.empty() ? std::string("/") : cwd;
}

// The start folder with exactly one trailing "/"; the root stays "/".
std::string normaliseStart(const std::string& dir) {
    std::string d = currentFolderForm(dir.empty() ? currentDirectory() : dir);
    if (d.empty()) d = currentDirectory();
    if (d.back() != '/') d += '/';
    return d;
}

bool isBlankOrSeparator(unsigned char c) { return c <= ' ' || c == ','; }

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

// Comma text: entries separated by commas or blanks; a double-quoted entry may hold
// both, with "" standing for one quote.
std::vector<std::string> splitCommaText(const std::string& text) {
    std::vector<std::string> items;
    std::size_t i = 0, n = text.size();
    auto skipBlanks = [&] {
        while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    };
    skipBlanks();
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            for (++i; i < n; ++i) {
                if (text[i] == '"' && (i + 1 >= n || text[i + 1] != '"')) {
                    ++i;
                    break;
                }
                if (text[i] == '"') ++i;
                item += text[i];
            }
        } else {
            while (i < n && !isBlankOrSeparator(static_cast<unsigned char>(text[i])))
                item += text[i++];
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (i < n && text[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
    return items;
}

} // namespace

// ---- masks ----------------------------------------------------------------------------

std::string TTreeScanner::FileMask() const { return masks_.empty() ? std::string() : masks_[0]; }

void TTreeScanner::setFileMask(const std::string& value) {
    if (searchInProgress_) return;
    masks_.clear();
    if (!value.empty()) masks_.push_back(value);
}

std::string TTreeScanner::FileMaskCommaText() const {
    std::string out;
    for (const auto& m : masks_) {
        if (!out.empty()) out += ',';
        bool plain = std::none_of(m.begin(), m.end(), [](char c) {
            return isBlankOrSeparator(static_cast<unsigned char>(c)) || c == '"';
        });
        out += plain ? m : quoted(m);
    }
    return out;
}

void TTreeScanner::setFileMaskCommaText(const std::string& value) {
    if (searchInProgress_) return;
    masks_.clear();
    for (auto& m : splitCommaText(value)) {
        if (m.empty()) continue; // an empty mask matches no name
        auto pos = std::lower_bound(masks_.begin(), masks_.end(), m, nameLess);
        bool duplicate = (pos != masks_.end() && compareText(*pos, m) == 0) ||
                         (pos != masks_.begin() && compareText(*(pos - 1), m) == 0);
        if (!duplicate) masks_.insert(pos, std::move(m));
    }
}

bool TTreeScanner::matchesAnyMask(const std::string& name) const {
    for (const auto& m : masks_)
        if (matchesMask(name, m)) return true;
    return false;
}

// ---- the scan -------------------------------------------------------------------------

void TTreeScanner::Release() {
    if (activeSearches_ == 0) {
        delete this;
        return;
    }
    // The owner may be destroyed right after this call: nothing it gave us is called again.
    releasePending_ = true;
    ContinueSearch = false;
}

void TTreeScanner::pump() {
    if (releasePending_) return;
    if (MessagePump) MessagePump();
}

void TTreeScanner::fire(const NotifyEvent& event) {
    if (!releasePending_ && event) event(*this);
}

void TTreeScanner::Search() {
    if (searchInProgress_ || releasePending_) return;
    // Counted separately from searchInProgress_: OnSearchDone runs after the scan has
    // ended but while this call is still on the stack, and may start the next scan.
    ++activeSearches_;
    try {
        runSearch();
    } catch (...) {
        leaveSearch();
        throw;
    }
    leaveSearch();
}

void TTreeScanner::runSearch() {
    searchInProgress_ = true;
    fileFound_.clear();
    fileSize_ = 0;
    initialDirectory_ = normaliseStart(initialDirectory_);
    ContinueSearch = true;
    // A copy: a handler may assign InitialDirectory during the scan.
    std::string start = initialDirectory_;
    ScanDirectory(start);
    searchInProgress_ = false;
    fire(OnSearchDone);
}

// Frees the scanner when it was released while a Search was on the stack.
void TTreeScanner::leaveSearch() {
    searchInProgress_ = false;
    if (--activeSearches_ == 0 && releasePending_) delete this;
}

void TTreeScanner::ScanDirectory(const std::string& dir) {
    pump();
    if (!ContinueSearch || releasePending_) return;
    fileSize_ = 0;
    fileFound_ = dir;
    fire(OnDirectoryFound);
    Listing listing = listDirectory(dir);
    for (auto& f : listing.files) {
        fileFound_ = std::move(f.path);
        fileSize_ = f.size;
        fire(OnFileFound);
    }
    fileSize_ = 0;
    for (const auto& sub : listing.subdirs) ScanDirectory(sub);
    fire(OnDirectoryDone);
}

// One pass over the folder gives both lists: the subfolders to descend into and the files
// matching any mask (so a file matched by two masks is there once). Only the files that
// are reported cost a stat.
TTreeScanner::Listing TTreeScanner::listDirectory(const std::string& dir) const {
    Listing out;
    const std::string base = currentFolderForm(dir);
    std::vector<std::string> fileNames;
    FindHandle h;
    FindData d;
    for (bool ok = h.first(joinPath(base, "*"), d, FindDetail::NameAndType); ok; ok = h.next(d)) {
        bool hidden = d.attributes & faHidden;
        if (d.isDirectory()) {
            // Linked folders could loop; pseudo file systems are system folders.
            if (Recursive && !d.isDotOrDotDot() && !(d.attributes & (faLink | faSystem)) &&
                (!hidden || FindHiddenFolders))
                out.subdirs.push_back(joinPath(base, d.name) + '/');
        } else if ((!hidden || FindHiddenFiles) && matchesAnyMask(d.name)) {
            fileNames.push_back(std::move(d.name));
        }
    }
    std::sort(out.subdirs.begin(), out.subdirs.end(), nameLess);
    std::sort(fileNames.begin(), fileNames.end(), nameLess);
    out.files.reserve(fileNames.size());
    for (const auto& name : fileNames) {
        std::string path = joinPath(base, name);
        // A file that vanished since the listing is not reported; a link whose target
        // turned out to be a folder is no file either.
        if (!findDataOfPath(path, d) || d.isDirectory()) continue;
        out.files.push_back({std::move(path), d.size});
    }
    return out;
}

} // namespace g3
