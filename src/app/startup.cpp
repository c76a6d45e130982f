#include "app/startup.h"

#include "app/application.h"
#include "app/programservices.h"
#include "ui/msgbox.h"
#include "engine/Sinkou.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/xdgdirs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace g3 {

void avoidSessionBusAutolaunch() {
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS")) return;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
        struct stat st {};
        const std::string bus = joinPath(runtime, "bus");
        if (::stat(bus.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) return; // found there
    }
    // An address of no known kind: the connection fails at once, and the accessibility
    // bridge and the rest go without a bus.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

void useGStreamerMedia() { ::setenv("QT_MEDIA_BACKEND", "gstreamer", 0); }

std::string secondInstanceProgram() {
    const std::string folder = executableFolder();
    const std::string grotx = joinPath(folder, "grotx");
    if (::access(grotx.c_str(), X_OK) == 0 && !isFolder(grotx)) return grotx;
    std::string self(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
    self.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return self;
}

ProgramWindows::ProgramWindows(const Services& services)
    : form_(services), okRightDlg_(services.boxes, &form_) {
    // Each later window joins here when it exists.
    form_.setOKRightDlg(&okRightDlg_);
}

int runGrottan3(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Grottan3"));
    setApplicationTitle(QStringLiteral("Grottan3")); // the task bar shows the window's own title
    ProgramServices services;
    if (auto* a = qobject_cast<Application*>(&app)) a->setErrorDisplay(&services.boxes);
    ProgramWindows windows(services.services());
    TForm1& form = windows.form();
    form.show();
    const char* exitWhenShown = std::getenv("G3_EXIT_WHEN_SHOWN");
    if (exitWhenShown && std::strcmp(exitWhenShown, "1") == 0)
        QTimer::singleShot(0, &app, [] {
            // The moment the window stands, for whoever measures the start-up.
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("G3_SHOWN %lld\n", now.tv_sec * 1'000'000'000LL + now.tv_nsec);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    return app.exec();
}

} // namespace g3
