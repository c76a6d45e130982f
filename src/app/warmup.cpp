#include "app/warmup.h"

#include <QMimeDatabase>
#include <QString>
#include <QThread>

#include <fontconfig/fontconfig.h>

namespace g3 {

StartupWarmUp::StartupWarmUp() {
    // Qt takes the first thread that asks for its thread data for the main thread. The
    // MIME database makes objects on the helper, possibly before the application object
    // exists, so the main thread asks first.
    QThread::currentThread();
    thread_ = std::thread([] {
        FcInit();
        QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
    });
}

StartupWarmUp::~StartupWarmUp() {
    if (thread_.joinable()) thread_.join();
}

} // namespace g3
