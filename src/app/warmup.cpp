#include "app/warmup.h"

#include <QMimeDatabase>
#include <QString>

#include <fontconfig/fontconfig.h>

namespace g3 {

StartupWarmUp::StartupWarmUp()
    : thread_([] {
          FcInit();
          QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
      }) {}

StartupWarmUp::~StartupWarmUp() {
    if (thread_.joinable()) thread_.join();
}

} // namespace g3
