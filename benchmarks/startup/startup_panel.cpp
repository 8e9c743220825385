// The panel's start-up exactly as main() runs it (application object, then
// splash, connection workflow, panel window, About dialog, event loop), with
// the connection choice answered "Run In Demo Mode" and the moment the main
// window is first painted reported by ShownProbe.
#include "ShownProbe.h"
#include "qv4720fp_App.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {
const char* const kChoice = "Run In Demo Mode";

// Clicks the demo button of the first message box that offers one.
class DemoChooser : public QObject {
public:
    DemoChooser() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = event->type() == QEvent::Show ? qobject_cast<QMessageBox*>(watched) : nullptr;
        if (!box)
            return false;
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == QLatin1String(kChoice)) {
                QTimer::singleShot(0, button, &QAbstractButton::click);
                qApp->removeEventFilter(this);
            }
        }
        return false;
    }
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    DemoChooser chooser;
    ShownProbe probe(
        [](const QWidget* shown) { return qobject_cast<const qv4720fp_App*>(shown) != nullptr; });
    return qv4720fp_run();
}
