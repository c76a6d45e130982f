// Evicting one folder's contents to the trash in one command: 2,000 files of 4 KiB and 50
// folders of 100 files, through the shell file operation's delete to the trash (what the
// evict button runs behind its window), against `gio trash` of the same items in one
// command; `trash-put` of the same items is printed beside it. Each run starts with the
// items made afresh and an empty trash on the same file system (untimed).
#include "common.h"

#include "engine/shellfileop.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string kRoot = "/var/tmp/g3bench/evict";
const std::string kItems = kRoot + "/items";
const std::string kData = kRoot + "/data";

void writeFile(const std::string& path, const std::string& bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::exit(2);
    close(fd);
}

// The items, made afresh, and an empty trash; returns their paths.
std::vector<std::string> prepare() {
    bench::shell("rm -rf '" + kItems + "' '" + kData + "' && mkdir -p '" + kItems + "' '" + kData + "'");
    const std::string page(4096, 'x');
    std::vector<std::string> items;
    for (int i = 0; i < 2000; ++i) {
        items.push_back(g3::joinPath(kItems, "file" + std::to_string(i) + ".txt"));
        writeFile(items.back(), page);
    }
    for (int d = 0; d < 50; ++d) {
        items.push_back(g3::joinPath(kItems, "folder" + std::to_string(d)));
        mkdir(items.back().c_str(), 0755);
        for (int i = 0; i < 100; ++i) writeFile(g3::joinPath(items.back(), std::to_string(i)), "x");
    }
    bench::shell("sync");
    return items;
}

void expectEmpty() {
    if (std::system(("test -z \"$(ls -A '" + kItems + "')\"").c_str()) != 0) {
        std::fprintf(stderr, "items were left behind\n");
        std::exit(2);
    }
}

double ours() {
    std::vector<std::string> items = prepare();
    g3::ShellFileOpRequest r;
    r.func = g3::FO_DELETE;
    r.from = items;
    r.flags = g3::FOF_ALLOWUNDO | g3::FOF_SIMPLEPROGRESS;
    const double t = bench::seconds([&] {
        g3::ShellFileOperation op(r);
        if (op.run() != 0) std::exit(2);
    });
    expectEmpty();
    return t;
}

double tool(const std::string& command) {
    prepare();
    const double t = bench::shell("cd '" + kItems + "' && ls -A | xargs -d '\\n' " + command + " >/dev/null");
    expectEmpty();
    return t;
}

} // namespace

int main() {
    setenv("XDG_DATA_HOME", kData.c_str(), 1);
    bench::shell("mkdir -p '" + kRoot + "'");
    const bench::Pair p = bench::alternate(5, ours, [] { return tool("gio trash"); });
    std::vector<double> put;
    if (std::system("command -v trash-put >/dev/null") == 0)
        for (int i = 0; i < 3; ++i) put.push_back(tool("trash-put"));
    bench::shell("rm -rf '" + kRoot + "'");
    bench::result("evict", p.ours, p.baseline,
                  "items=2050 trash_put=" + (put.empty() ? std::string("none") : std::to_string(bench::median(put))));
}
