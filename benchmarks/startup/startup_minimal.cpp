// The baseline of the start-up benchmark: the smallest Qt 6 program that
// shows one window. Its first window is also its main window.
#include "ProbeApplication.h"

#include <QLabel>

int main(int argc, char* argv[]) {
    reportMoment("main", monotonicNs());
    ProbeApplication app(argc, argv);
    reportMoment("application", monotonicNs());
    QLabel window(QStringLiteral("Hello"));
    const auto isWindow = [&window](const QWidget* shown) { return shown == &window; };
    app.watchFirstPaint("first", isWindow);
    app.watchFirstPaint("panel", isWindow, [&app] { app.finish(); });
    window.show();
    return app.exec();
}
