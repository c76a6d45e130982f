#include "platform/paths.h"

#include "platform/mounts.h"

#include <vector>

namespace g3 {

namespace {

// Non-empty components; repeated "/" separate nothing.
std::vector<std::string_view> components(std::string_view p) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < p.size()) {
        std::size_t j = p.find('/', i);
        if (j == std::string_view::npos) j = p.size();
        if (j > i) out.push_back(p.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

} // namespace

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    if (name.empty()) return std::string(folder);
    std::string out = rootRule(folder);
    out.reserve(out.size() + 1 + name.size());
    out += '/';
    out += name;
    return out;
}

std::string parentFolder(std::string_view p) {
    std::size_t pos = p.rfind('/');
    if (pos == std::string_view::npos) return {};
    if (pos == 0) return "/";
    return std::string(p.substr(0, pos));
}

std::string namePart(std::string_view p) {
    std::size_t pos = p.rfind('/');
    return std::string(pos == std::string_view::npos ? p : p.substr(pos + 1));
}

std::string lowerExtension(std::string_view p) {
    const std::string name = namePart(p);
    const std::size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    for (char& c : ext) c = lowerAscii(c);
    return ext;
}

std::string relativePath(std::string_view p, std::string_view base) {
    auto pc = components(p);
    auto bc = components(base);
    std::size_t common = 0;
    while (common < pc.size() && common < bc.size() && equalsIgnoringAsciiCase(pc[common], bc[common]))
        ++common;
    std::string out;
    for (std::size_t i = common; i < pc.size(); ++i) {
        if (!out.empty()) out += '/';
        out += pc[i];
    }
    return out;
}

std::string pathFromFolder(std::string_view from, std::string_view to) {
    const auto fc = components(from);
    const auto tc = components(to);
    std::size_t common = 0;
    while (common < fc.size() && common < tc.size() && fc[common] == tc[common]) ++common;
    std::string out = common == fc.size() ? "." : "";
    for (std::size_t i = common; i < fc.size(); ++i) out += out.empty() ? ".." : "/..";
    for (std::size_t i = common; i < tc.size(); ++i) {
        out += '/';
        out += tc[i];
    }
    return out;
}

std::string rootRule(std::string_view folder) {
    if (folder == "/") return {};
    return std::string(folder);
}

std::string currentFolderForm(std::string_view path) {
    if (path.empty()) return {};
    std::size_t end = path.size();
    while (end > 0 && path[end - 1] == '/') --end;
    if (end == 0) return "/";
    return std::string(path.substr(0, end));
}

std::string lexicallyNormal(std::string_view path) {
    if (path.empty()) return {};
    const bool absolute = path[0] == '/';
    std::vector<std::string_view> kept;
    for (std::string_view c : components(path)) {
        if (c == ".") continue;
        if (c == ".." && absolute) {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        kept.push_back(c);
    }
    std::string out = absolute ? "/" : "";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) out += '/';
        out += kept[i];
    }
    return out.empty() ? std::string(".") : out;
}

bool isVolumeRoot(std::string_view path) {
    std::string p = currentFolderForm(path);
    if (p.empty() || p == "/") return true;
    // Read afresh: volumes come and go while the program runs, and this is asked only
    // before a command that acts on a whole folder.
    for (const auto& m : readMountTable())
        if (m.mountPoint == p) return true;
    return false;
}

bool isSameOrInside(std::string_view inner, std::string_view outer) {
    auto ic = components(inner);
    auto oc = components(outer);
    if (outer.empty() || inner.empty()) return false;
    if ((inner[0] == '/') != (outer[0] == '/')) return false;
    if (oc.size() > ic.size()) return false;
    for (std::size_t i = 0; i < oc.size(); ++i)
        if (ic[i] != oc[i]) return false;
    return true;
}

} // namespace g3
