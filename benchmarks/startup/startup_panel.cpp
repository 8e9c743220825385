// The panel's start-up exactly as main() runs it (application object, then
// splash, connection workflow, panel window, About dialog, event loop), with
// the connection choice box answered by a click; ProbeApplication reports the
// moments the first window, the splash, the choice box and the panel are
// first painted.
//
//   startup_panel [--choice TEXT] [--settle MS]
//
// TEXT is the button clicked ("Run In Demo Mode" unless given; "Auto Find"
// runs the hardware path on the bench ZELVAN_SIM_BENCH names); MS the time
// between the box painted and the click (0: at once).
#include "ChoiceClicker.h"
#include "ProbeApplication.h"
#include "qv4720fp_App.h"

#include <QSplashScreen>

namespace {
const char* const kDemoChoice = "Run In Demo Mode";

QString argument(int argc, char** argv, const char* name, const char* fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], name) == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    }
    return QString::fromLatin1(fallback);
}
} // namespace

int main(int argc, char* argv[]) {
    reportMoment("main", monotonicNs());
    ProbeApplication app(argc, argv);
    reportMoment("application", monotonicNs());
    ChoiceClicker clicker(app, argument(argc, argv, "--choice", kDemoChoice),
                          argument(argc, argv, "--settle", "0").toInt());
    app.watchFirstPaint("first", [](const QWidget*) { return true; });
    app.watchFirstPaint("splash", [](const QWidget* shown) {
        return qobject_cast<const QSplashScreen*>(shown) != nullptr;
    });
    app.watchFirstPaint(
        "panel",
        [](const QWidget* shown) { return qobject_cast<const qv4720fp_App*>(shown) != nullptr; },
        [&app] { app.finish(); });
    return qv4720fp_run();
}
