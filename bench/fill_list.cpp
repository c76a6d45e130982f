// TFileView::FillList of a folder of 100,000 files (sorted by name) against `ls -l` of the
// same folder; also the resident memory the rows add, per row.
#include "common.h"

#include "platform/paths.h"
#include "shellviews/FileView.h"

#include <QApplication>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::string base = "/var/tmp/g3bench-fill.XXXXXX";
    if (!mkdtemp(base.data())) return 2;
    const std::string dir = g3::joinPath(base, "many");
    mkdir(dir.c_str(), 0755);
    constexpr int kFiles = 100000;
    for (int i = 0; i < kFiles; ++i) {
        std::string name = g3::joinPath(dir, "file_" + std::to_string(i) + (i % 3 ? ".txt" : ".png"));
        close(open(name.c_str(), O_WRONLY | O_CREAT, 0644));
    }
    g3::ItemIDList id;
    if (!g3::ParseDisplayName(dir, id)) return 2;

    g3::TFileView view;
    view.resize(600, 400);
    view.show();
    QCoreApplication::processEvents();
    const long long before = bench::residentBytes();
    view.ShowFolder(id); // sorted by name: the sort state of a new view
    QCoreApplication::processEvents();
    const long long after = bench::residentBytes();
    const int rows = view.model()->rowCount();
    if (rows != kFiles) {
        std::fprintf(stderr, "rows %d\n", rows);
        return 3;
    }
    auto t = bench::alternate(
        5,
        [&] {
            return bench::seconds([&] {
                view.FillList();
                QCoreApplication::processEvents();
            });
        },
        [&] { return bench::shell("ls -l " + dir + " > /dev/null"); });
    bench::shell("rm -rf " + base);
    const long long perRow = (after - before) / rows;
    bench::result("fill_list", t.ours, t.baseline, "bytes_per_row=" + std::to_string(perRow));
    return 0;
}
