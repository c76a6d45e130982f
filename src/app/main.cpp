// Program entry: the application with its task-bar title, the windows in their start-up
// order, the message loop.
#include "app/application.h"
#include "app/startup.h"

int main(int argc, char* argv[]) {
    g3::Application app(argc, argv);
    return g3::runGrottan3(app);
}
