// Walks the real start-up on the current bench and saves what the operator
// sees at each step: the choice box (with the splash behind it), the card
// selection, the panel and the About dialog. Used by scripts/screenshots.sh.
#include "ModalAnswerer.h"
#include "qv4000fp_About.h"
#include "qv4000fp_fcSelect.h"
#include "qv4720_dblCtrl.h"
#include "qv4720fp_App.h"
#include "qv4720fp_Config.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSplashScreen>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {
template <class T> T* visibleTopLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<T*>(widget); found && found->isVisible())
            return found;
    }
    return nullptr;
}

QPushButton* buttonWithText(QWidget* parent, const QString& text) {
    for (QPushButton* button : parent->findChildren<QPushButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == text)
            return button;
    }
    return nullptr;
}

// Selects the last card listed that the panel can drive, as an operator
// would (on the built-in bench: the VXI card).
void selectLastUsableCard(QTreeWidget* tree) {
    tree->expandAll();
    QTreeWidgetItem* usable = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->flags() & Qt::ItemIsSelectable)
            usable = *it;
    }
    if (usable)
        tree->setCurrentItem(usable);
}
} // namespace

class ScreenshotTaker : public QObject {
public:
    explicit ScreenshotTaker(const QString& folder) : m_folder(folder) {
        m_answerer.handle([this](QWidget* box) { takeChoice(box); });
        m_answerer.handle([this](QWidget* dialog) { takeSelection(dialog); });
        connect(&m_timer, &QTimer::timeout, this, &ScreenshotTaker::poll);
        m_timer.start(200);
    }

    int saved() const { return m_saved; }
    QStringList unexpected() const { return m_answerer.unexpected(); }

private:
    void save(QWidget* widget, const char* name) {
        const QString path = QDir(m_folder).filePath(QString::fromLatin1(name));
        if (widget->grab().save(path)) {
            ++m_saved;
            std::printf("saved %s\n", qPrintable(path));
        }
    }

    void takeChoice(QWidget* box) {
        if (QSplashScreen* splash = visibleTopLevel<QSplashScreen>())
            save(splash, "splash.png");
        save(box, "choice.png");
        ModalAnswerer::clickButton(qobject_cast<QMessageBox*>(box), QStringLiteral("Auto Find"));
    }

    void takeSelection(QWidget* dialog) {
        auto* select = qobject_cast<qv4000fp_fcSelect*>(dialog);
        if (!select) {
            dialog->close();
            return;
        }
        selectLastUsableCard(select->m_tree);
        save(select, "select.png");
        select->m_okButton->click();
    }

    // Once the panel is up: one channel set, then the panel and its About
    // dialog, then Close confirmed.
    void poll() {
        qv4720fp_App* panel = visibleTopLevel<qv4720fp_App>();
        if (!panel || visibleTopLevel<QSplashScreen>())
            return;
        if (m_step == 0) {
            panel->config()->channelControl(1)->setValue(2.5);
            save(panel, "panel.png");
            buttonWithText(panel, QStringLiteral("About"))->click();
        } else if (m_step == 1) {
            if (auto* about = visibleTopLevel<qv4000fp_About>())
                save(about, "about.png");
        } else if (m_step == 2) {
            m_answerer.answer(QStringLiteral("Yes"));
            panel->close();
            m_timer.stop();
        }
        ++m_step;
    }

    QString m_folder;
    ModalAnswerer m_answerer;
    QTimer m_timer;
    int m_step = 0;
    int m_saved = 0;
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    ScreenshotTaker taker(folder);
    qv4720fp_run();
    for (const QString& box : taker.unexpected())
        std::fprintf(stderr, "unexpected box: %s\n", qPrintable(box));
    return taker.saved() == 5 && taker.unexpected().isEmpty() ? 0 : 1;
}
