#include "qv4720fp_App.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Torn down in order: splash screen, panel window, descriptor, application.
    return qv4720fp_run();
}
