// The program's windows as the program starts them: a run started through the window
// shows the progress window.
#include "app/programservices.h"
#include "app/startup.h"
#include "support/testservices.h"
#include "engine/Sinkou.h"
#include "engine/copyworker.h"
#include "engine/dropmenu.h"
#include "fscomp/DirMontr.h"
#include "mein_fixture.h"
#include "platform/fileops.h"

#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void aRunThroughTheWindowShowsTheProgressWindow() {
        g3test::Folders f;
        const std::string src = f.scratch("src"), dst = f.scratch("dst");
        ::mkdir(src.c_str(), 0755);
        ::mkdir(dst.c_str(), 0755);
        f.write(g3::joinPath(src, "big.bin"), std::string(64 << 20, 'b'));
        // The program's own progress windows and pump; boxes and menu the test answers.
        g3::ProgramServices program;
        g3test::TestServices answers;
        answers.menuItem = QStringLiteral("popMcopyFast");
        g3::ProgramWindows windows(
            g3::Services{answers, answers, answers, &program.progressWindows, program.pump});
        g3::TForm1& form = windows.form();
        form.show();
        QVERIFY(form.navigateTo(dst));
        // Looks at the screen between the pieces of the copy, and clicks another folder in
        // the tree meanwhile: the monitor stays off until the run ends all the same.
        QStringList seen;
        bool clicked = false, monitorOnDuringRun = false;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (!form.copyEngine()->running()) return;
            g3::TDlgSinkou* d = program.progressWindows.current();
            if (d && d->isVisible()) seen << d->windowTitle();
            if (!clicked) clicked = form.navigateTo(src);
            monitorOnDuringRun = monitorOnDuringRun || form.DirMonitor1()->Active();
        });
        look.start(0);
        form.DropDst1FileDrop(nullptr, {g3::joinPath(src, "big.bin")}, 5, 5);
        look.stop();
        QVERIFY(g3::fileSizeOf(g3::joinPath(dst, "big.bin")) == (64 << 20));
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.first(), QString::fromUtf8(g3::TCopyEngine::kProgressCaption));
        QVERIFY(!program.progressWindows.current()); // gone after the run
        QVERIFY(clicked);
        QVERIFY(!monitorOnDuringRun);
        QVERIFY(form.DirMonitor1()->Active());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_qtest.moc"
