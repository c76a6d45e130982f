// Program entry: the application with its task-bar title, the windows in their start-up
// order, the message loop.
#include "app/application.h"
#include "app/startup.h"
#include "app/warmup.h"
#include "shellviews/mimetypes.h"

int main(int argc, char* argv[]) {
    g3::avoidSessionBusAutolaunch(); // changes the environment: before any thread
    g3::useGStreamerMedia();
    g3::useJapaneseTypeNames();      // before the warm-up reads the MIME database
    const g3::StartupWarmUp warmUp; // first thread: it overlaps the application's own start
    g3::Application app(argc, argv);
    return g3::runGrottan3(app);
}
