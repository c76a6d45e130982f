// Thaw and freeze through the archiver module's entry point, as the program calls it:
// a ZIP of 10,000 files of 4 KiB in 100 folders thawed by 7-zip32.dll against
// `bsdtar -xf`, and the same tree frozen into 7z (LZMA2) against
// `bsdtar --format 7zip` with the same compression. The module runs in a QApplication
// with its own progress window over a window of ours; a 1 ms timer records the longest
// gap between two turns of the event loop during our runs.
#include "common.h"
#include "pump.h"
#include "trees.h"

#include "archive/archivebridge.h"
#include "archive/archiverapi.h"
#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <QApplication>
#include <QWidget>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// One call of the module's entry point, loaded for it as the program loads it.
void callSevenZip(QWidget* owner, const std::string& line) {
    g3::LibraryHandle lib(dlopen((g3::dllFolder() + "7-zip32.dll").c_str(), RTLD_NOW | RTLD_LOCAL));
    auto entry =
        lib ? reinterpret_cast<g3::ArchiverEntryPoint>(dlsym(lib.get(), "SevenZip")) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "no module in %s\n", g3::dllFolder().c_str());
        std::exit(2);
    }
    auto out = std::make_unique<char[]>(g3::kArchiverOutputSize);
    if (int r = entry(owner, line.c_str(), out.get(), g3::kArchiverOutputSize);
        r != g3::kArchiverOk) {
        std::fprintf(stderr, "the module failed (%d): %s\n", r, out.get());
        std::exit(3);
    }
}

// The tree's files as relative paths, folder by folder.
std::vector<std::string> filesOf(const std::string& root) {
    std::vector<std::string> files;
    for (int d = 0; d < 100; ++d) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "d%03d", d);
        for (int f = 0; f < 100; ++f)
            files.push_back(std::string(folder) + "/f" + std::to_string(f) + ".dat");
    }
    for (const std::string& f : files)
        if (!g3::pathExists(g3::joinPath(root, f))) std::exit(2);
    return files;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(400, 300);
    window.show();
    const std::string src = bench::ensureFileTree("copy10k", 100);
    const std::string zip = g3::joinPath(bench::kTreeCache, "copy10k.zip");
    if (!g3::pathExists(zip))
        bench::shell("cd '" + src + "' && bsdtar --format zip -cf '" + zip + "' d0*");
    std::string work = g3::joinPath(bench::kTreeCache, "archive.XXXXXX");
    if (!mkdtemp(work.data())) return 2;
    int serial = 0;
    auto fresh = [&](const char* what) {
        std::string out = g3::joinPath(work, what + std::to_string(serial++));
        sync();
        return out;
    };
    // The timed runs go without the gap meter, whose 1 ms wake-ups would take their share
    // of the two cores from the module's worker; one more run of each is metered.
    bench::GapMeter gaps;
    auto run = [&](bool metered, const std::function<void()>& f) {
        return metered ? gaps.timed(f) : bench::seconds(f);
    };
    const g3::ArchiverModule& m = *g3::archiverFor(zip);
    auto thawOnce = [&](bool metered) {
        const std::string out = fresh("ours");
        return run(metered, [&] { callSevenZip(&window, g3::thawCommandLine(m, zip, out)); });
    };
    auto thaw = bench::alternate(
        5, [&] { return thawOnce(false); },
        [&] {
            const std::string out = fresh("theirs");
            g3::forceDirectories(out);
            return bench::shell("bsdtar -xf '" + zip + "' -C '" + out + "'");
        });
    thawOnce(true);
    const double thawGap = gaps.takeMaxMs();

    const std::vector<std::string> files = filesOf(src);
    const std::string here = g3::processFolder();
    std::string lastOurs, lastTheirs;
    auto freezeOnce = [&](bool metered) {
        lastOurs = fresh("ours") + ".7z";
        if (chdir(src.c_str()) != 0) std::exit(2);
        const std::string name = lastOurs.substr(0, lastOurs.size() - 3);
        double t = run(metered, [&] { callSevenZip(&window, g3::freezeCommandLine(name, files)); });
        if (chdir(here.c_str()) != 0) std::exit(2);
        return t;
    };
    auto freeze = bench::alternate(
        5, [&] { return freezeOnce(false); },
        [&] {
            lastTheirs = fresh("theirs") + ".7z";
            return bench::shell("cd '" + src +
                                "' && bsdtar --format 7zip --options 7zip:compression=lzma2 -cf '" +
                                lastTheirs + "' d0*");
        });
    freezeOnce(true);
    const double freezeGap = gaps.takeMaxMs();
    std::printf("archive sizes: ours %lld bytes, bsdtar's %lld bytes\n",
                static_cast<long long>(g3::fileSizeOf(lastOurs)),
                static_cast<long long>(g3::fileSizeOf(lastTheirs)));

    bench::shell("rm -rf '" + work + "'");
    char extra[96];
    std::snprintf(extra, sizeof extra, "files=10000 max_pump_gap_ms=%.1f", thawGap);
    bench::result("thaw", thaw.ours, thaw.baseline, extra);
    std::snprintf(extra, sizeof extra, "files=10000 max_pump_gap_ms=%.1f", freezeGap);
    bench::result("freeze", freeze.ours, freeze.baseline, extra);
    return 0;
}
