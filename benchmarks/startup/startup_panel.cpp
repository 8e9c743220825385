// The panel's start-up exactly as main() runs it (application object, then
// splash, connection workflow, panel window, About dialog, event loop), with
// the connection choice answered (demo mode unless told otherwise) and the
// moment the main window is first painted reported by ShownProbe.
#include "ShownProbe.h"
#include "qv4000fp_fcSelect.h"
#include "qv4720fp_App.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidget>

namespace {
// The connection choice: demo unless SFP_STARTUP_CHOICE names another button
// ("Auto Find" runs the hardware path on the bench).
QString choice() {
    const QString named = qEnvironmentVariable("SFP_STARTUP_CHOICE");
    return named.isEmpty() ? QStringLiteral("Run In Demo Mode") : named;
}

// Answers the connection choice box, and takes the first usable card when
// the search finds several.
class ChoiceAnswerer : public QObject {
public:
    ChoiceAnswerer() : m_choice(choice()) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show)
            return false;
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == m_choice)
                    QTimer::singleShot(0, button, &QAbstractButton::click);
            }
        } else if (auto* dialog = qobject_cast<qv4000fp_fcSelect*>(watched)) {
            QTimer::singleShot(0, dialog, [dialog] { acceptFirstCard(dialog); });
        }
        return false;
    }

private:
    static void acceptFirstCard(qv4000fp_fcSelect* dialog) {
        for (QTreeWidgetItemIterator it(dialog->m_tree); *it; ++it) {
            if ((*it)->flags() & Qt::ItemIsSelectable) {
                (*it)->setSelected(true);
                dialog->okPressed();
                return;
            }
        }
    }

    const QString m_choice;
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ChoiceAnswerer answerer;
    ShownProbe probe(
        [](const QWidget* shown) { return qobject_cast<const qv4720fp_App*>(shown) != nullptr; });
    return qv4720fp_run();
}
