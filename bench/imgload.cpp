// The image loader against other programs on the same pixels, in one run:
//   jpeg_preview  GetImage (igtPreview) of a 6,000 x 4,000 JPEG into a 445 x 404 box
//                 vs djpeg -scale 1/8 of the same file to a PPM file
//   reduce        ResizeBitmap 6,000 x 4,000 -> 445 x 297 vs Pillow's resize with BOX
//   enlarge       ResizeBitmap 400 x 300 -> 1,600 x 1,200 vs Pillow's resize with BICUBIC
// Pillow is timed inside Python, without loading the picture. Medians of 7 warm runs,
// alternating ours and the baseline. Needs cjpeg, djpeg (libjpeg-turbo-progs) and
// /usr/bin/python3 with Pillow (python3-pil).
#include "common.h"
#include "pictures.h"

#include "imgpreview/ImgUtils.h"

#include <QGuiApplication>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr int kRuns = 7;

// Runs the Pillow script on a PPM and returns the seconds it reports for one resize.
double pillowResize(const std::string& script, const std::string& ppm, int w, int h,
                    const char* filter) {
    const std::string cmd = "/usr/bin/python3 " + script + " " + ppm + " " + std::to_string(w) +
                            " " + std::to_string(h) + " " + filter;
    FILE* p = popen(cmd.c_str(), "r");
    double t = -1;
    if (!p || std::fscanf(p, "%lf", &t) != 1 || pclose(p) != 0 || t < 0) {
        std::fprintf(stderr, "Pillow run failed: %s\n", cmd.c_str());
        std::exit(2);
    }
    return t;
}

double ourResize(const QImage& source, int w, int h) {
    QImage copy = source.copy();
    return bench::seconds([&] { g3::TImgUtil::ResizeBitmap(copy, w, h); });
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    char dirTemplate[] = "/tmp/g3-bench-imgload-XXXXXX";
    const std::string dir = mkdtemp(dirTemplate);
    const std::string ppm = dir + "/big.ppm", jpg = dir + "/big.jpg", out = dir + "/out.ppm";
    const std::string script = dir + "/resize.py";
    std::ofstream(script) << "import sys, time\nfrom PIL import Image\n"
                             "im = Image.open(sys.argv[1]); im.load()\n"
                             "size = (int(sys.argv[2]), int(sys.argv[3]))\n"
                             "f = getattr(Image, sys.argv[4])\n"
                             "t = time.perf_counter(); im.resize(size, f); "
                             "print(time.perf_counter() - t)\n";

    bench::writePpm(bench::testPicture(6000, 4000), ppm);
    bench::shell("cjpeg -quality 90 -outfile " + jpg + " " + ppm);

    g3::TImgUtil loader; // igtPreview, jpBestSpeed: as a new loader starts
    const auto preview = bench::alternate(
        kRuns,
        [&] {
            return bench::seconds([&] {
                if (loader.GetImage(jpg, 445, 404, 0) != 0) std::exit(3);
            });
        },
        [&] { return bench::shell("djpeg -scale 1/8 -outfile " + out + " " + jpg); });
    bench::result("jpeg_preview", preview.ours, preview.baseline,
                  "size=" + std::to_string(loader.Bitmap.width()) + "x" +
                      std::to_string(loader.Bitmap.height()));

    // The same pixels for both: the JPEG as decoded at full size.
    loader.setGetType(g3::igtNormal);
    loader.GetImage(jpg, 0, 0, 0);
    const QImage big = loader.Bitmap;
    bench::writePpm(big, ppm);
    const auto reduce = bench::alternate(
        kRuns, [&] { return ourResize(big, 445, 297); },
        [&] { return pillowResize(script, ppm, 445, 297, "BOX"); });
    bench::result("reduce", reduce.ours, reduce.baseline);

    const QImage small = big.copy(2800, 1800, 400, 300);
    const std::string smallPpm = dir + "/small.ppm";
    bench::writePpm(small, smallPpm);
    const auto enlarge = bench::alternate(
        kRuns, [&] { return ourResize(small, 1600, 1200); },
        [&] { return pillowResize(script, smallPpm, 1600, 1200, "BICUBIC"); });
    bench::result("enlarge", enlarge.ours, enlarge.baseline);

    for (const std::string& f : {ppm, jpg, out, script, smallPpm})
        unlink(f.c_str());
    rmdir(dir.c_str());
    return 0;
}
