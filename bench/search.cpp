// The search button (SearchController) for "*.jpg" over the tree of 200,000 files in 20,000
// folders, through the real results window (offscreen) over a fake main window, against
// TTreeScanner alone over the same tree with the same pump. Also: one header press on the
// full result (sort_ms), the longest the event loop went unserved during our searches
// (max_pump_gap_ms), and the same figures for "*" (every file a row).
#include "common.h"
#include "pump.h"
#include "trees.h"

#include "app/StrSortGrid.h"
#include "app/Unit4.h"
#include "app/search.h"
#include "fscomp/TreeScan.h"
#include "support/fakewindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>

#include <cstdio>
#include <string>
#include <vector>

namespace {

long scannerAlone(const std::string& root, const std::string& mask) {
    long found = 0;
    g3::TTreeScannerPtr scanner = g3::makeTreeScanner();
    scanner->MessagePump = bench::programPump();
    scanner->setInitialDirectory(root);
    scanner->setFileMask(mask);
    scanner->OnFileFound = [&](g3::TTreeScanner&) { ++found; };
    scanner->Search();
    return found;
}

// A press and release of the left button on the middle of a header cell, then the repaint.
void pressHeader(g3::TStrSortGrid& grid, int col) {
    QHeaderView* h = grid.horizontalHeader();
    const QPoint at(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
    const QPoint global = h->viewport()->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, global, Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
        QCoreApplication::sendEvent(h->viewport(), &e);
    }
    QCoreApplication::processEvents();
}

struct Searches {
    g3test::FakeWindow window;
    std::unique_ptr<g3::SearchController> search;
    bench::GapMeter gaps;

    explicit Searches(const std::string& root) {
        window.curDir = root;
        window.bundle.pump = bench::programPump();
        search = std::make_unique<g3::SearchController>(window, window, nullptr);
    }
    // One press on the search button, timed until the window has shown the last rows.
    double run(const std::string& mask) {
        window.typed.push_back(mask);
        gaps.start();
        const double t = bench::seconds([&] {
            window.buttons[g3::ToolSlot::Kensak]->click();
            QCoreApplication::processEvents();
        });
        gaps.stop();
        return t;
    }
    g3::TStrSortGrid& grid() { return *search->Form4()->StrSortGrid1; }
    // The median of five presses on the house header (each flips the direction), in ms.
    double sortMs() {
        std::vector<double> t;
        for (int i = 0; i < 5; ++i) t.push_back(1000 * bench::seconds([&] { pressHeader(grid(), 2); }));
        return bench::median(t);
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string tree = bench::largeTree();

    Searches s(tree);
    long expected = 0;
    auto t = bench::alternate(
        5, [&] { return s.run("*.jpg"); },
        [&] { return bench::seconds([&] { expected = scannerAlone(tree, "*.jpg"); }); });
    if (s.search->hitCount() != expected || s.grid().model()->rowCount() != expected) {
        std::fprintf(stderr, "hits %d, rows %d, scanner %ld\n", s.search->hitCount(),
                     s.grid().model()->rowCount(), expected);
        return 3;
    }
    const double gap = s.gaps.takeMaxMs();
    const double sortMs = s.sortMs();

    // Every file a row.
    const double all = s.run("*");
    const double allGap = s.gaps.takeMaxMs();
    const double allScanner = bench::seconds([&] { scannerAlone(tree, "*"); });
    const double allSortMs = s.sortMs();
    std::printf("\"*\": %d rows in %.3f s (scanner alone %.3f s), longest unserved %.1f ms, "
                "header press %.1f ms\n",
                s.search->hitCount(), all, allScanner, allGap, allSortMs);

    char extra[160];
    std::snprintf(extra, sizeof extra, "sort_ms=%.1f max_pump_gap_ms=%.1f hits=%ld", sortMs, gap,
                  expected);
    bench::result("search", t.ours, t.baseline, extra);
    return 0;
}
