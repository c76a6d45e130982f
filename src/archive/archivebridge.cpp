#include "archive/archivebridge.h"

#include "archive/archiverapi.h"
#include "fscomp/FindF.h"
#include "platform/handles.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <dlfcn.h>
#include <unistd.h>

#include <memory>

namespace g3 {

namespace {

const ArchiverModule kUnlha{"UNLHA32.DLL", "Unlha", true};
const ArchiverModule kSevenZip{"7-zip32.dll", "SevenZip", false};
const ArchiverModule kCab{"cab32.dll", "Cab", false};
const ArchiverModule kUnrar{"unrar32.dll", "Unrar", false};

// The extension from the last "." of the name, upper-cased (ASCII).
std::string upperExtension(std::string_view path) {
    const std::string name = namePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

std::string withoutExtension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// The process's current folder; whether it could be set does not matter to the caller.
void setProcessFolder(const std::string& path) {
    [[maybe_unused]] int ignored = chdir(path.c_str());
}

// A module loaded for one command: unloaded when this goes. `entry` is null when the
// module or its entry point is missing.
struct LoadedModule {
    LibraryHandle library;
    ArchiverEntryPoint entry = nullptr;

    LoadedModule(const std::string& folder, const ArchiverModule& m)
        : library(dlopen((folder + m.library).c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (library) entry = reinterpret_cast<ArchiverEntryPoint>(dlsym(library.get(), m.entry));
    }
};

// The call itself, with the freshly made output buffer the modules are always given.
void callModule(ArchiverEntryPoint entry, void* owner, const std::string& line) {
    auto buffer = std::make_unique<char[]>(kArchiverOutputSize);
    entry(owner, line.c_str(), buffer.get(), kArchiverOutputSize); // the result is not used
}

} // namespace

const ArchiverModule* archiverFor(std::string_view path) {
    const std::string ext = upperExtension(path);
    if (ext == ".LZH") return &kUnlha;
    if (ext == ".ZIP" || ext == ".7Z") return &kSevenZip;
    if (ext == ".CAB") return &kCab;
    if (ext == ".RAR") return &kUnrar;
    return nullptr;
}

const ArchiverModule& freezer() {
    return kSevenZip;
}

std::string dllFolder() {
    return joinPath(executableFolder(), "DLL") + "/";
}

std::string thawCommandLine(const ArchiverModule& m, const std::string& archive,
                            const std::string& destination) {
    if (&m == &kSevenZip) return "x " + quoted(archive) + " -o" + quoted(destination);
    if (&m == &kUnlha) return "x " + quoted(archive) + " " + quoted(destination + "/") + " ";
    return "-x " + quoted(archive) + " " + quoted(destination + "/");
}

std::string freezeCommandLine(const std::string& name, const std::vector<std::string>& files) {
    std::string line = "a " + quoted(name + ".7z") + " ";
    for (const std::string& f : files)
        line += " " + quoted(f);
    return line;
}

ArchiveBridge::ArchiveBridge(ArchiveCommandContext& context, std::string moduleFolder)
    : ctx_(context), folder_(std::move(moduleFolder)) {}

void ArchiveBridge::failkaito() {
    if (ctx_.selectionCount() != 1) return;
    const std::string archive = ctx_.selectedPath();
    const ArchiverModule* m = archiverFor(archive);
    if (!m) return;
    ctx_.monitorOff();
    {
        LoadedModule module(folder_, *m);
        if (module.entry) {
            const std::string shownBefore = ctx_.currentFolder();
            const std::string dest = joinPath(shownBefore, withoutExtension(namePart(archive)));
            const std::string question = m->lha ? "の洞窟に解凍しますが、いいですか？"
                                                : "のフォルダに解凍しますが、良いですか？";
            if (ctx_.confirm(namePart(archive) + "を\n\r" + dest + "\r\n" + question)) {
                const std::string target = m->lha ? dest + "/" : dest;
                setProcessFolder(target); // as a rule the folder is not there yet
                callModule(module.entry, ctx_.ownerWindow(), thawCommandLine(*m, archive, dest));
                ctx_.treeRefresh();
                if (!ctx_.navigateTo(target)) ctx_.navigateTo(shownBefore);
            }
        }
    }
    ctx_.monitorOn();
    ctx_.treeRefresh();
}

void ArchiveBridge::failasyuk() {
    const std::string cur = ctx_.currentFolder();
    if (isVolumeRoot(cur)) {
        ctx_.inform("地表や惑星直下\n\rでは圧縮しませんので、どこかサブ洞窟を掘って\n\r"
                    "そこに家を入れて冷凍してください");
        return;
    }
    std::vector<std::string> files;
    TFindFile finder;
    finder.FileMask = "*.*";
    finder.DirMask = "*.*";
    finder.setBaseDir(cur);
    finder.setSearchSubDir(true);
    finder.OnFind = [&](TFindFile&, const FindData& fd, const std::string& dir, bool&) {
        if (!fd.isDirectory()) files.push_back(joinPath(dir, fd.name));
    };
    finder.Run();
    if (files.empty()) return;

    LoadedModule module(folder_, freezer());
    if (!module.entry) return;
    std::vector<std::string> relative;
    for (const std::string& f : files)
        relative.push_back(relativePath(f, cur));
    std::string name = withoutExtension(relative.front());
    if (!ctx_.askArchiveName("7z凍結します 洞窟は" + cur,
                             "洞窟内の" + std::to_string(files.size()) +
                                 "軒の家を凍結する冷凍団地の名前(.7zは自動で付きます)を入力してね",
                             name))
        return;
    setProcessFolder(cur + "/");
    callModule(module.entry, ctx_.ownerWindow(), freezeCommandLine(name, relative));
}

} // namespace g3
