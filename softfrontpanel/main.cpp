#include "qv4000fp_fcSelect.h"
#include "qv4720fp_App.h"
#include "qv4720fp_CommandLine.h"

#include <QApplication>
#include <QCoreApplication>

// Two faces: the modes without a window need no display, so they get only a
// core application; the panel gets the full one (which reads the toolkit's
// own options from the original arguments).
int main(int argc, char* argv[]) {
    const qv4720fp_CommandLine commandLine(argc, argv);
    if (commandLine.headless()) {
        QCoreApplication app(argc, argv);
        return commandLine.run();
    }
    QApplication app(argc, argv);
    // Lets a Wayland desktop match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quorvel.zelvan4720sfp"));
    // Without options the connection workflow asks, exactly as before.
    if (commandLine.request().start != qv4000fp_connectRequest::Start::Ask)
        qv4000fp_fcSelect::setStartRequest(commandLine.request());
    return qv4720fp_run(commandLine.serve());
}
