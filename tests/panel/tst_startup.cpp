// Start-up as the operator meets it: the splash under the connection
// workflow, the window shown centred, and the tear-down after Close.
#include "ModalAnswerer.h"
#include "PanelBench.h"

#include "qv4000fp_messages.h"

#include <QApplication>
#include <QScreen>
#include <QSplashScreen>
#include <QTest>
#include <QTimer>

namespace {
QSplashScreen* visibleSplash() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* splash = qobject_cast<QSplashScreen*>(widget); splash && splash->isVisible())
            return splash;
    }
    return nullptr;
}

qv4720fp_App* visiblePanel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* panel = qobject_cast<qv4720fp_App*>(widget); panel && panel->isVisible())
            return panel;
    }
    return nullptr;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void splashDescriptionSpellsOutFunctionCard_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the DAC card") << "8-Channel, 18-bit DAC Function Card"
                                      << "8-Channel, 18-bit DAC Function Card";
        QTest::newRow("at the end") << "Quad DAC FC"
                                    << "Quad DAC Function Card";
        QTest::newRow("every occurrence")
            << "DAC FC, FC slot, FCX"
            << "DAC Function Card, Function Card slot, Function CardX";
        QTest::newRow("case and blank matter") << "DAC fc AFC"
                                               << "DAC fc AFC";
    }
    void splashDescriptionSpellsOutFunctionCard() {
        QFETCH(QString, description);
        QFETCH(QString, shown);
        QCOMPARE(qv4720fp_splashDescription(description), shown);
    }

    void runShowsSplashThenPanelAndClosesTheCard() {
        PanelBench bench(kOneCardBench);
        QVERIFY(bench.loaded());
        ModalAnswerer answerer;
        bool splashUnderChoice = false;
        answerer.handle([&splashUnderChoice](QWidget* box) {
            splashUnderChoice = visibleSplash() != nullptr;
            ModalAnswerer::clickButton(qobject_cast<QMessageBox*>(box),
                                       QStringLiteral("Auto Find"));
        });

        bool splashGone = false;
        QRect geometry;
        QString title;
        QTimer poll;
        poll.setInterval(20);
        int polls = 0;
        connect(&poll, &QTimer::timeout, [&] {
            // The splash closes once the window is on screen; closing the
            // window before that would leave the splash as the last window.
            qv4720fp_App* panel = visiblePanel();
            splashGone = visibleSplash() == nullptr;
            if (!panel || (!splashGone && ++polls < 250))
                return;
            poll.stop();
            geometry = panel->geometry();
            title = panel->windowTitle();
            answerer.answer(QStringLiteral("Yes"));
            panel->close();
        });
        poll.start();

        QCOMPARE(qv4720fp_run(), 0);

        QVERIFY(splashUnderChoice);
        QVERIFY(splashGone);
        QCOMPARE(title, QStringLiteral("Zelvan 4720 Soft Front Panel"));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(geometry.x(), (available.width() - geometry.width()) / 2);
        QCOMPARE(geometry.y(), (available.height() - geometry.height()) / 2);

        // Box titles name the card; the close confirmation came last.
        QCOMPARE(panelName, QStringLiteral("4720"));
        QCOMPARE(answerer.seen().size(), 2);
        QCOMPARE(answerer.seen().last().title, QStringLiteral("Zelvan 4720 SFP"));
        QCOMPARE(answerer.unexpected(), QStringList());
        QCOMPARE(bench.driverCalls().last(), QStringLiteral("qv4720_close"));
        QVERIFY(visibleSplash() == nullptr);
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
