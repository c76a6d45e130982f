// img_contact_sheet OUT.png FOLDER...: every file below the folders as the image loader
// draws it into a 150 x 150 box (igtPreview, the custom hook attached, a pale yellow
// background so that transparency shows), one cell each with the file's name and the
// loader's result, on one PNG. For looking at what the codecs make of a corpus.
#include "imgpreview/ImgUtils.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kBox = 150;
constexpr int kCellW = 170, kCellH = 190, kColumns = 10;

QStringList filesBelow(const QStringList& folders) {
    QStringList files;
    for (const QString& folder : folders) {
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    std::sort(files.begin(), files.end());
    return files;
}

void drawCell(QPainter& p, int index, const QString& path, g3::TImgUtil& loader) {
    const int x = index % kColumns * kCellW, y = index / kColumns * kCellH;
    const int r = loader.GetImage(path.toStdString(), kBox, kBox, 0);
    p.fillRect(x + 1, y + 1, kCellW - 2, kCellH - 2, QColor(225, 225, 225));
    const QImage& picture = loader.Bitmap;
    p.drawImage(x + (kCellW - picture.width()) / 2, y + 5 + (kBox - picture.height()) / 2, picture);
    const QFileInfo info(path);
    const QString label = info.dir().dirName() + QLatin1Char('/') + info.fileName();
    const QString result =
        QStringLiteral("%1  %2x%3").arg(r).arg(loader.OrgWidth).arg(loader.OrgHeight);
    const QFontMetrics fm(p.font());
    p.setPen(r == 0 ? Qt::black : Qt::red);
    p.drawText(x + 4, y + kBox + 20, fm.elidedText(label, Qt::ElideMiddle, kCellW - 8));
    p.drawText(x + 4, y + kBox + 34, result);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: img_contact_sheet OUT.png FOLDER...\n");
        return 2;
    }
    const QStringList files = filesBelow(args.mid(2));
    g3::TImgCustomTest hook;
    g3::TImgUtil loader;
    loader.CustomImage = &hook;
    loader.setBKColor(0xC0F0FF); // pale yellow
    const int rows = std::max<int>(1, (static_cast<int>(files.size()) + kColumns - 1) / kColumns);
    QImage sheet(kColumns * kCellW, rows * kCellH, QImage::Format_RGB888);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    QFont small = p.font();
    small.setPixelSize(11);
    p.setFont(small);
    for (int i = 0; i < files.size(); ++i)
        drawCell(p, i, files[i], loader);
    p.end();
    if (!sheet.save(args[1])) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    std::printf("%d files on %s\n", static_cast<int>(files.size()), qPrintable(args[1]));
    return 0;
}
