// Program entry: the application with its task-bar title, the windows in their start-up
// order, the message loop.
#include "app/application.h"
#include "app/startup.h"
#include "app/warmup.h"

int main(int argc, char* argv[]) {
    const g3::StartupWarmUp warmUp; // first: it overlaps the application's own start
    g3::Application app(argc, argv);
    return g3::runGrottan3(app);
}
