// The quick view over a list of large pictures, in one run:
//   max_pump_gap_ms  the longest the main window's event loop went unserved while the pointer
//                    moved (a hover event every 16 ms) across 50 rows of 6,000 x 4,000
//                    JPEGs with the Image page shown; max_pump_gap_off_ms: the same sweep
//                    with quick view off
//   shown_ms         from the pointer resting on a row to that row's picture painted in the
//                    quick view, against jpeg_preview_ms: the loader's GetImage (igtPreview)
//                    of the same file into a box of the quick view box's size
//   memo_ms          a 1 GiB text file shown on the Memo page, its first 4 MiB all in, and
//                    memo_gap_ms, the longest gap of the event loop meanwhile
// Medians of 7 runs, alternating ours and the loader's.
#include "common.h"
#include "pictures.h"
#include "pump.h"
#include "trees.h"

#include "app/Unit5.h"
#include "app/mein.h"
#include "app/programservices.h"
#include "app/quickview.h"
#include "imgpreview/ImgBox.h"
#include "shellviews/FileView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

constexpr int kRows = 50;
constexpr int kRuns = 7;
constexpr int kHoverMs = 16;

// kRows copies of one 6,000 x 4,000 JPEG, kept under the benchmarks' cache.
std::string ensurePictures() {
    const std::string root = g3::joinPath(bench::kTreeCache, "quickview-24mp");
    const std::string marker = root + ".complete";
    if (access(marker.c_str(), F_OK) == 0) return root;
    std::fprintf(stderr, "generating %s (%d JPEGs of 6000x4000)\n", root.c_str(), kRows);
    bench::shell("rm -rf '" + root + "' && mkdir -p '" + root + "'");
    const std::string ppm = root + "/picture.ppm";
    bench::writePpm(bench::testPicture(6000, 4000), ppm);
    bench::shell("cjpeg -quality 90 -outfile '" + root + "/photo00.jpg' '" + ppm + "'");
    unlink(ppm.c_str());
    for (int i = 1; i < kRows; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/photo%02d.jpg", i);
        bench::shell("cp '" + root + "/photo00.jpg' '" + root + name + "'");
    }
    bench::shell("touch '" + marker + "'");
    return root;
}

// The event loop runs (and sleeps while there is nothing to do, so the decoding thread has
// the processor to itself) for `ms`.
void pumpFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The event loop runs until done() holds, checked after every event batch; false on timeout.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    QTimer wake; // so the timeout is seen when nothing else happens
    wake.start(50);
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Bench {
    g3::TForm1& form;
    QAbstractItemView* view() const { return form.ShellListView1()->itemView(); }

    void hover(int row) {
        const QPoint p = view()->visualRect(view()->model()->index(row, 0)).center();
        QMouseEvent move(QEvent::MouseMove, p, view()->viewport()->mapToGlobal(p), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view()->viewport(), &move);
    }

    // The pointer across every row, one move every kHoverMs, then until the last picture
    // is shown; the longest gap of the event loop meanwhile.
    double sweep(bench::GapMeter& meter, g3::TImgBox* box) {
        meter.start();
        for (int row = 0; row < kRows; ++row) {
            hover(row);
            pumpFor(kHoverMs);
        }
        if (box && !pumpUntil([&] { return !box->Decoding(); })) std::exit(4);
        meter.stop();
        return meter.takeMaxMs();
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir config;
    ::setenv("G3_CONFIG_DIR", config.path().toUtf8().constData(), 1);
    const std::string folder = ensurePictures();

    g3::ProgramServices services;
    g3::TForm1 form(services.services());
    form.resize(900, 1400); // every row in sight
    form.show();
    if (!form.navigateTo(folder)) return 2;
    Bench b{form};
    if (form.listRowNames().size() != kRows) return 2;
    bench::GapMeter meter;

    // Off: the same sweep selects nothing and shows nothing.
    b.sweep(meter, nullptr);
    const double gapOff = b.sweep(meter, nullptr);

    form.buttonOf(g3::ToolSlot::Quick)->click();
    g3::TForm5* q = form.quickView().Form5();
    q->PageControl1->setCurrentIndex(g3::TForm5::tbsImage);
    g3::TImgBox* box = q->ImgBoxmau;
    pumpFor(100);
    b.sweep(meter, box); // warm
    const double gapOn = b.sweep(meter, box);

    // Shown: the pointer rests on a row; the time until that row's picture is painted.
    std::string target;
    QElapsedTimer since;
    double paintedMs = -1;
    QObject::connect(box, &g3::TCustomImgBox::OnPaint, [&] {
        if (paintedMs < 0 && box->HasImage() && box->ShownFile() == target)
            paintedMs = since.nsecsElapsed() / 1e6;
    });
    int row = 0;
    g3::TImgUtil loader; // igtPreview, as the loader's own benchmark
    const auto shown = bench::alternate(
        kRuns,
        [&] {
            row = (row + 1) % kRows;
            target = form.ShellListView1()->GetItemPath(row);
            paintedMs = -1;
            since.start();
            b.hover(row);
            if (!pumpUntil([&] { return paintedMs >= 0; })) std::exit(5);
            return paintedMs / 1000;
        },
        [&] {
            return bench::seconds([&] {
                if (loader.GetImage(target, box->width(), box->height(), 0) != 0) std::exit(3);
            });
        });

    // A 1 GiB text file on the Memo page: 8 MiB of Japanese lines, the rest sparse.
    q->PageControl1->setCurrentIndex(g3::TForm5::tbsMemo);
    const std::string huge = config.filePath(QStringLiteral("huge.txt")).toStdString();
    {
        std::ofstream out(huge, std::ios::binary);
        const std::string line = "洞窟の奥の家に表札がかかっている。 0123456789 abcdefghij\n";
        for (std::size_t n = 0; n < (std::size_t{8} << 20); n += line.size()) out << line;
    }
    if (truncate(huge.c_str(), off_t{1} << 30) != 0) return 2;
    meter.start();
    const double memo = bench::seconds([&] {
        q->showText(huge);
        if (!pumpUntil([&] { return !q->fillingMemo(); })) std::exit(6);
    });
    meter.stop();
    const double memoGap = meter.takeMaxMs();

    char extra[256];
    std::snprintf(extra, sizeof extra,
                  "max_pump_gap_ms=%.1f max_pump_gap_off_ms=%.1f shown_ms=%.1f jpeg_preview_ms=%.1f "
                  "memo_ms=%.1f memo_gap_ms=%.1f box=%dx%d",
                  gapOn, gapOff, shown.ours * 1000, shown.baseline * 1000, memo * 1000, memoGap, box->width(),
                  box->height());
    bench::result("quickview", shown.ours, shown.baseline, extra);
    form.close();
    return 0;
}
