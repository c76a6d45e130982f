#include "app/programservices.h"

#include <QCoreApplication>

namespace g3 {

ProgramServices::ProgramServices()
    : pump(throttledPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); })) {}

} // namespace g3
