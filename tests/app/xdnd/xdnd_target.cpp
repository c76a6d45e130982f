// Another X client for the drag-out tests: a small window at the top left of the screen
// that takes any drag with the action proposed to it. It reports on standard output, one
// line each:
//   "ready X Y W H"     its window is shown at that place of the screen;
//   "format NAME HEX"   one format of a drop and its bytes in hex, for every format;
//   "drop N"            the drop was taken with action N (Qt::DropAction), after its formats;
//   "leave"             a drag left the window without a drop.
#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <string>

namespace {

void say(const QByteArray& line) {
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

class Target : public QWidget {
public:
    Target() {
        setWindowFlag(Qt::FramelessWindowHint);
        setGeometry(0, 0, 160, 120);
        setAcceptDrops(true);
    }

protected:
    void showEvent(QShowEvent*) override {
        QTimer::singleShot(0, this, [this] {
            const QRect g(mapToGlobal(QPoint(0, 0)), size());
            say("ready " + QByteArray::number(g.x()) + " " + QByteArray::number(g.y()) + " " +
                QByteArray::number(g.width()) + " " + QByteArray::number(g.height()));
        });
    }
    void dragEnterEvent(QDragEnterEvent* e) override { e->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* e) override { e->acceptProposedAction(); }
    void dragLeaveEvent(QDragLeaveEvent*) override { say("leave"); }
    void dropEvent(QDropEvent* e) override {
        for (const QString& f : e->mimeData()->formats())
            say("format " + f.toUtf8() + " " + e->mimeData()->data(f).toHex());
        e->acceptProposedAction();
        say("drop " + QByteArray::number(static_cast<int>(e->dropAction())));
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Target w;
    w.show();
    return app.exec();
}
