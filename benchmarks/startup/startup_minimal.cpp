// The baseline of the start-up benchmark: the smallest Qt 6 program that
// shows one window.
#include "ShownProbe.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Hello"));
    ShownProbe probe([&window](const QWidget* shown) { return shown == &window; });
    window.show();
    return app.exec();
}
