// Program entry: the application with its task-bar title, the windows in their start-up
// order, the message loop.
#include "app/startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return g3::runGrottan3(app);
}
