// The panel's guarded writes and the sequence window on a simulated bench:
// what reaches the card (the simulator's trace) is what the soft limits and
// the sequence table say, and it goes through the set-point engine.
#include "ModalAnswerer.h"
#include "PanelBench.h"

#include "qv4720_dblCtrl.h"
#include "qv4720_fc.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_Config.h"
#include "qv4720fp_SafetyDialog.h"
#include "qv4720fp_SequenceWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {
QStringList writes(const PanelBench& bench) {
    QStringList lines;
    for (const QString& line : bench.trace(QStringLiteral("qv4720_writeChannel")))
        lines << line.section(QLatin1Char('('), 1).section(QLatin1String(") ="), 0, 0);
    return lines;
}

QString write(ViSession vi, int channel, double volts) {
    return QStringLiteral("vi=%1, channel=%2, value=%3").arg(vi).arg(channel).arg(volts);
}
} // namespace

class TestPanelSequence : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<PanelProbe> openPanel(ModalAnswerer& answerer) {
        answerer.answer(QStringLiteral("Auto Find"));
        return std::make_unique<PanelProbe>(&m_fc);
    }
    qv4720_fc m_fc;

private slots:
    void guardedWriteClampsToTheSoftRange_data() {
        QTest::addColumn<double>("entered");
        QTest::addColumn<double>("written");
        QTest::newRow("above the soft high") << 7.0 << 2.0;
        QTest::newRow("below the soft low, beyond the card") << -25.0 << -1.0;
        QTest::newRow("inside") << 0.5 << 0.5;
    }
    void guardedWriteClampsToTheSoftRange() {
        QFETCH(double, entered);
        QFETCH(double, written);
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        SetpointEngine& engine = panel->cardEngine()->engine();
        SafetySettings safety = engine.safety();
        QVERIFY(safety.setLimits(3, -1.0, 2.0).isEmpty());
        QVERIFY(engine.setSafety(safety).ok);
        panel->config()->refreshGuards();
        qv4720_dblCtrl* control = panel->config()->channelControl(3);
        QCOMPARE(control->maximum(), 2.0);
        QCOMPARE(control->minimum(), -1.0);

        panel->config()->setValue_slot(3, entered);
        QTRY_COMPARE(writes(bench), QStringList{write(panel->vi(), 3, written)});
        QTRY_COMPARE(control->value(), written); // shown from the queued setpointChanged
        // The write went through the engine: its log has it.
        uint64_t next = 0;
        const std::vector<WriteRecord> logged = engine.log().readFrom(0, &next);
        QCOMPARE(logged.size(), size_t(1));
        QCOMPARE(logged[0].volts, written);
        QVERIFY(answerer.unexpected().isEmpty());
    }

    void limitsDialogAppliesOrSaysWhy_data() {
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("slew");
        QTest::addColumn<QString>("refusal"); // empty: taken
        QTest::newRow("limits and slew") << "-1"
                                         << "2"
                                         << "0.5"
                                         << "";
        QTest::newRow("one limit") << "-1"
                                   << ""
                                   << ""
                                   << "give both limits";
        QTest::newRow("not a number") << "x"
                                      << "2"
                                      << ""
                                      << "is not a number";
        QTest::newRow("beyond the card") << "-20"
                                         << "2"
                                         << ""
                                         << "Channel 4: ";
    }
    void limitsDialogAppliesOrSaysWhy() {
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(QString, slew);
        QFETCH(QString, refusal);
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        qv4720fp_SafetyDialog* dialog = panel->openSafetyDialog();
        dialog->cell(4, qv4720fp_SafetyDialog::Low)->setText(low);
        dialog->cell(4, qv4720fp_SafetyDialog::High)->setText(high);
        dialog->cell(4, qv4720fp_SafetyDialog::Slew)->setText(slew);

        QCOMPARE(dialog->apply(), refusal.isEmpty());
        const ChannelSafety taken = panel->cardEngine()->safety().channel(4);
        if (refusal.isEmpty()) {
            QCOMPARE(taken, (ChannelSafety{-1.0, 2.0, 0.5}));
            QCOMPARE(panel->config()->channelControl(4)->maximum(), 2.0);
        } else {
            QCOMPARE(taken, ChannelSafety{});
            QVERIFY2(dialog->statusLabel()->text().contains(refusal),
                     qPrintable(dialog->statusLabel()->text()));
        }
        QCOMPARE(writes(bench), QStringList()); // settings alone write nothing
    }

    void sequenceFromTheWindowWritesTheTable() {
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        qv4720fp_SequenceWindow* window = panel->openSequenceWindow();
        QVERIFY(window->hasPlot());
        SequenceStep first{{1.5, std::nullopt, -2.0}, 0.01, false};
        SequenceStep second{{std::nullopt, 4.0}, 0.01, false};
        window->setSteps({first, second});
        window->repeatBox()->setValue(2);
        QVERIFY2(window->start(), qPrintable(window->statusLabel()->text()));
        QVERIFY(panel->cardEngine()->engine().waitUntilIdle(std::chrono::seconds(5)));

        const ViSession vi = panel->vi();
        const QStringList pass{write(vi, 1, 1.5), write(vi, 3, -2.0), write(vi, 2, 4.0)};
        QCOMPARE(writes(bench), pass + pass);
        panel->config()->refreshGuards();
        QVERIFY(!panel->config()->channelControl(1)->isReadOnly());

        // A cell that is not a number is refused, naming step and column.
        window->table()->item(1, 0)->setText(QStringLiteral("abc"));
        QVERIFY(!window->start());
        QVERIFY(window->statusLabel()->text().contains(QStringLiteral("Step 2, column dwell_s")));
        QCOMPARE(writes(bench).size(), pass.size() * 2);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TestPanelSequence test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panelSequence.moc"
