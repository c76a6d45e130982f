// Another X client for the end-to-end drop tests: a small window at the top left of the
// screen that starts a drag of the files named on its command line when a button goes
// down on it. It reports on standard output, one line each:
//   "ready X Y W H"  its window is shown at that place of the screen;
//   "dragging"       the drag has begun (the pointer is the drag's from now on);
//   "result N"       the drag ended with the target's action N (Qt::DropAction).
// It goes on serving the dropped data (the target reads it after the source has its answer)
// until it is ended.
#include "fscomp/dropformats.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

class Source : public QWidget {
public:
    explicit Source(std::vector<std::string> files) : files_(std::move(files)) {
        setWindowFlag(Qt::FramelessWindowHint);
        setGeometry(0, 0, 120, 80);
    }

protected:
    void showEvent(QShowEvent*) override {
        QTimer::singleShot(0, this, [this] {
            const QRect g(mapToGlobal(QPoint(0, 0)), size());
            say("ready " + std::to_string(g.x()) + " " + std::to_string(g.y()) + " " +
                std::to_string(g.width()) + " " + std::to_string(g.height()));
        });
    }

    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        QByteArray list;
        for (const std::string& f : files_) list += g3::fileUriOf(f) + "\r\n";
        data->setData(QStringLiteral("text/uri-list"), list);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        say("dragging");
        const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        say("result " + std::to_string(static_cast<int>(result)));
    }

private:
    std::vector<std::string> files_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::string> files(argv + 1, argv + argc);
    Source w(std::move(files));
    w.show();
    return app.exec();
}
