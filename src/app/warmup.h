// Loads, on a second thread, process-wide data the first window would otherwise wait for,
// while the main thread starts the application and builds the window.
#pragma once

#include <thread>

namespace g3 {

// The font configuration (several milliseconds of configuration files and caches, read
// when the first text is measured) and the MIME database (read when the first type is
// named) are each loaded once per process and shared by every thread, and neither needs
// the application object, so the thread can start before it. Qt's own font list and
// font engines are left to the main thread: they are filled under one lock, and filling
// them here only made the window wait for this thread. Joined on destruction.
class StartupWarmUp {
public:
    StartupWarmUp();
    ~StartupWarmUp();
    StartupWarmUp(const StartupWarmUp&) = delete;
    StartupWarmUp& operator=(const StartupWarmUp&) = delete;

private:
    std::thread thread_;
};

} // namespace g3
