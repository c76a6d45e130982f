// img_fuzz_corpus FOLDER...: every file below the folders through every fuzz target once, as
// the fuzzers start; ctest runs it over the picture corpus and the loader's samples.
#include "targets.h"

#include <QDirIterator>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    g3fuzz::startGui();
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        QDirIterator it(QString::fromLocal8Bit(argv[i]), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QByteArray bytes = f.readAll();
            // A copy of exactly the file's length, so a read past it is a read past the buffer.
            std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
            for (const g3fuzz::Target& t : g3fuzz::targets())
                t.run(exact.data(), exact.size());
            ++files;
        }
    }
    std::printf("%d files through %d targets\n", files, static_cast<int>(g3fuzz::targets().size()));
    return files > 0 ? 0 : 1;
}
