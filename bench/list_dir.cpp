// FindHandle (every field of every record) over 100,000 entries against
// `find DIR -maxdepth 1 -printf '%s %T@ %f\n'`.
#include "common.h"

#include "platform/findfile.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    std::string base = "/var/tmp/g3bench-list.XXXXXX";
    if (!mkdtemp(base.data())) return 2;
    std::string dir = g3::joinPath(base, "many");
    mkdir(dir.c_str(), 0755);
    for (int i = 0; i < 100000; ++i) {
        std::string name = g3::joinPath(dir, "entry_" + std::to_string(i) + (i % 10 ? ".txt" : ""));
        if (i % 10 == 0) mkdir(name.c_str(), 0755);
        else close(open(name.c_str(), O_WRONLY | O_CREAT, 0644));
    }
    std::uint64_t checksum = 0;
    auto t = bench::alternate(
        7,
        [&] {
            return bench::seconds([&] {
                g3::FindHandle h;
                g3::FindData d;
                std::size_t n = 0;
                for (bool ok = h.first(g3::joinPath(dir, "*.*"), d); ok; ok = h.next(d)) {
                    checksum += d.size + d.lastWriteTime + d.attributes + d.name.size();
                    ++n;
                }
                if (n != 100002 || h.error() != 0) std::exit(3);
            });
        },
        [&] {
            return bench::shell("find " + dir + " -maxdepth 1 -printf '%s %T@ %f\\n' > /dev/null");
        });
    bench::shell("rm -rf " + base);
    std::fprintf(stderr, "checksum %llu\n", static_cast<unsigned long long>(checksum));
    bench::result("list_dir", t.ours, t.baseline, "entries=100002");
    return 0;
}
