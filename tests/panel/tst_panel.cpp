// The DAC panel end to end on simulated benches: what the operator sees and
// exactly what reaches the card (the simulator's trace).
#include "ModalAnswerer.h"
#include "PanelBench.h"

#include "qv4000.h"
#include "qv4000fp_About.h"
#include "qv4000fp_led.h"
#include "qv4720.h"
#include "qv4720_dblCtrl.h"
#include "qv4720_fc.h"
#include "qv4720fp_Config.h"
#include "zelvan_sim.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <memory>

namespace {
const ViStatus kWriteError = -1074001919;
const ViStatus kWarning = 1073481985;
const char* const kWriteErrorChild = "--write-error-child";

// One 4720 at FC 2 of a VXI carrier, with the given range and card faults.
QByteArray cardBench(const QString& range, const QString& faults = QString()) {
    QString card =
        QStringLiteral("{code: 0x4720, range: [%1], serial: 0x00001A2B, subtype: \"AA\", "
                       "firmware: \"1.0.3\"%2}")
            .arg(range,
                 faults.isEmpty() ? QString() : QStringLiteral(", faults: {%1}").arg(faults));
    return QStringLiteral("version: 1\nresources:\n  \"VXI0::3::INSTR\":\n    slot: 3\n"
                          "    carrier:\n      model: 2391\n      slots:\n        2: %1\n")
        .arg(card)
        .toUtf8();
}

QByteArray lxiBench(bool withHost) {
    return QByteArray("version: 1\nresources:\n  \"TCPIP0::192.168.2.100::INSTR\":\n"
                      "    address: 192.168.2.100\n") +
           (withHost ? "    hostname: lab-carrier-1\n" : "") +
           "    device_name: inst0\n    carrier: {model: 2391, slots: {1: {code: 0x4720}}}\n";
}

QString driverText(ViStatus status) {
    char text[QV4720_ERROR_MESSAGE_BUFLEN] = {};
    qv4720_error_message(0, status, text);
    return QString::fromLocal8Bit(text);
}

QString carrierText(ViStatus status) {
    char text[QV4000_ERROR_MESSAGE_BUFLEN] = {};
    qv4000_errorMessage(status, text);
    return QString::fromLocal8Bit(text);
}

QImage image(const QString& resource) {
    return QPixmap(resource).toImage();
}

QString writeLine(ViSession vi, int channel, const QString& value, ViStatus status = 0) {
    return QStringLiteral("qv4720_writeChannel(vi=%1, channel=%2, value=%3) = %4")
        .arg(vi)
        .arg(channel)
        .arg(value)
        .arg(status);
}

// The panel base alone, started without the connection workflow.
class BaseProbe : public qv4000fp_AppFC {
public:
    explicit BaseProbe(qv4000fp_genFC* fc) : qv4000fp_AppFC(fc, 0, true, nullptr, false) {}
    int fcNumber(int i) const { return d_fcNumbers[i]; }
    int fcCount() const { return d_fcCount; }
};

// Reached only through the child process: a write error answered Yes.
int runWriteErrorChild() {
    ModalAnswerer answerer;
    answerer.answer(QStringLiteral("Auto Find"));
    answerer.answer(QStringLiteral("Yes"));
    qv4720_fc fc;
    qv4720fp_App panel(&fc);
    panel.config()->channelControl(1)->setValue(1.5);
    return 3;
}
} // namespace

class TestPanel : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<PanelProbe> openPanel(ModalAnswerer& answerer,
                                          const char* choice = "Auto Find") {
        answerer.answer(QString::fromLatin1(choice));
        return std::make_unique<PanelProbe>(&m_fc);
    }

    qv4720_fc m_fc;

private slots:
    void typicalRunConnectsAndWritesOneChannel() {
        PanelBench bench(kOneCardBench);
        QVERIFY(bench.loaded());
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        QCOMPARE(answerer.unexpected(), QStringList());
        QCOMPARE(answerer.seen().first().text,
                 QStringLiteral("How to connect to 4720 Function Card?"));

        QCOMPARE(panel->slotLabel()->text(), QStringLiteral("Slot 3"));
        QCOMPARE(panel->fcLabel()->text(), QStringLiteral("FC 2"));
        QVERIFY(!panel->slotLabel()->isHidden() && !panel->fcLabel()->isHidden());
        QCOMPARE(panel->led()->value(), 1);
        QCOMPARE(panel->windowTitle(), QStringLiteral("Zelvan 4720 Soft Front Panel"));
        QVERIFY(!panel->lxi());
        QVERIFY(!image(QStringLiteral(":/vxi-logo.bmp")).isNull());
        QCOMPARE(panel->busLogo()->pixmap().toImage(), image(QStringLiteral(":/vxi-logo.bmp")));
        QCOMPARE(panel->fcCount(), 1);
        QCOMPARE(panel->config()->rangeLabel()->text(),
                 QStringLiteral("*Voltage Range: -10V to 10V"));

        QVERIFY(bench.trace(QStringLiteral("qv4720_writeChannel")).isEmpty());
        panel->config()->channelControl(1)->setValue(2.5);
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel")),
                 QStringList{writeLine(panel->vi(), 1, QStringLiteral("2.5"))});
        double volts = 0;
        QCOMPARE(zsim_channelOutput("VXI0::3::INSTR", 2, 1, &volts), 0);
        QCOMPARE(volts, 2.5);
    }

    void driverCallsFollowTheRunWithHardware() {
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        const ViSession vi = panel->vi();
        QVERIFY(vi != 0);
        panel->config()->channelControl(3)->setValue(1.0);
        panel->pressReset();
        panel.reset();

        QCOMPARE(bench.driverCalls(), QStringList({"qv4720_paramInit", "qv4720_revision_query vi=0",
                                                   "qv4720_getOutputRange", "qv4720_readSerialNo",
                                                   "qv4720_revision_query", "qv4720_writeChannel",
                                                   "qv4720_reset", "qv4720_close"}));
        QCOMPARE(bench.trace(QStringLiteral("qv4720_close")),
                 QStringList{QStringLiteral("qv4720_close(vi=%1) = 0").arg(vi)});
        QCOMPARE(answerer.unexpected(), QStringList());
    }

    void demoPanelTouchesNoHardware() {
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        auto panel = openPanel(answerer, "Run In Demo Mode");
        QVERIFY(panel->demo());
        QCOMPARE(panel->vi(), ViSession(0));
        QCOMPARE(panel->led()->value(), 0);
        QVERIFY(panel->slotLabel()->isHidden() && panel->fcLabel()->isHidden());
        QCOMPARE(panel->windowTitle(), QStringLiteral("Zelvan 4720 Soft Front Panel"));
        QCOMPARE(panel->busLogo()->pixmap().toImage(), image(QStringLiteral(":/vxi-logo.bmp")));
        QCOMPARE(panel->config()->rangeLabel()->text(),
                 QStringLiteral("*Voltage Range: -20V to 20V"));

        panel->config()->channelControl(4)->setValue(-3.25);
        panel->pressReset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(panel->config()->channelControl(4)->value(), -3.25);
        panel.reset();

        QCOMPARE(bench.driverCalls(), QStringList{"qv4720_revision_query vi=0"});
        QVERIFY(bench.trace(QStringLiteral("vi")).isEmpty());
        QCOMPARE(answerer.unexpected(), QStringList());
    }

    void lxiCarrierShowsDeviceAndHost_data() {
        QTest::addColumn<bool>("withHost");
        QTest::addColumn<QString>("title");
        QTest::newRow("host name") << true << "Zelvan 4720 Soft Front Panel: lab-carrier-1";
        QTest::newRow("host name read fails") << false << "Zelvan 4720 Soft Front Panel";
    }
    void lxiCarrierShowsDeviceAndHost() {
        QFETCH(bool, withHost);
        QFETCH(QString, title);
        const QByteArray yaml = lxiBench(withHost);
        PanelBench bench(yaml.constData());
        QVERIFY(bench.loaded());
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        QCOMPARE(answerer.unexpected(), QStringList());

        QVERIFY(panel->lxi());
        QCOMPARE(panel->windowTitle(), title);
        QCOMPARE(panel->slotLabel()->text(), QStringLiteral("inst0"));
        QCOMPARE(panel->slotLabel()->whatsThis(),
                 QStringLiteral("Shows which LXI module is connected to the Soft Front Panel"));
        QCOMPARE(panel->fcLabel()->text(), QStringLiteral("FC 1"));
        QVERIFY(!image(QStringLiteral(":/lxi-logo.bmp")).isNull());
        QCOMPARE(panel->busLogo()->pixmap().toImage(), image(QStringLiteral(":/lxi-logo.bmp")));
    }

    void resetWarningShowsCarrierText() {
        const QByteArray yaml =
            cardBench("-10, 10", QStringLiteral("qv4720_reset: %1").arg(kWarning));
        PanelBench bench(yaml.constData());
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        answerer.answer(QStringLiteral("OK"));
        panel->pressReset();

        QCOMPARE(answerer.seen().size(), 2);
        QCOMPARE(answerer.seen().last().icon, QMessageBox::Warning);
        QCOMPARE(answerer.seen().last().text,
                 QStringLiteral("Warning [%1]").arg(carrierText(kWarning)));
        QVERIFY(!carrierText(kWarning).isEmpty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(answerer.unexpected(), QStringList());
    }

    void resetErrorAnsweredNoRestoresCursorAndGoesOn() {
        const QByteArray yaml =
            cardBench("-10, 10", QStringLiteral("qv4720_reset: %1").arg(kWriteError));
        PanelBench bench(yaml.constData());
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        panel->config()->channelControl(2)->setValue(4.0);

        Qt::CursorShape duringBox = Qt::ArrowCursor;
        answerer.handle([&duringBox](QWidget* box) {
            if (QApplication::overrideCursor())
                duringBox = QApplication::overrideCursor()->shape();
            ModalAnswerer::clickButton(qobject_cast<QMessageBox*>(box), QStringLiteral("No"));
        });
        panel->pressReset();

        QCOMPARE(answerer.seen().last().text,
                 QStringLiteral("Function Call failed due to [%1]\nDo you want to exit?")
                     .arg(carrierText(kWriteError)));
        QCOMPARE(duringBox, Qt::BusyCursor);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // The panel goes on: the control keeps its value and writes still go out.
        QCOMPARE(panel->config()->channelControl(2)->value(), 4.0);
        panel->config()->channelControl(2)->setValue(5.0);
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel")).size(), 2);
        QCOMPARE(answerer.unexpected(), QStringList());
    }

    void writeStatusIsReported_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::newRow("error answered No")
            << int(kWriteError)
            << QStringLiteral("qv4720_writeChannel(app->vi(), indx, val) failed due to [%1]\n"
                              "Do you want to exit?")
                   .arg(driverText(kWriteError))
            << "No";
        QTest::newRow("warning") << int(kWarning)
                                 << QStringLiteral("Warning: [%1]").arg(driverText(kWarning))
                                 << "OK";
    }
    void writeStatusIsReported() {
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(QString, button);
        const QByteArray yaml =
            cardBench("-10, 10", QStringLiteral("qv4720_writeChannel: %1").arg(status));
        PanelBench bench(yaml.constData());
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        answerer.answer(button);
        panel->config()->channelControl(6)->setValue(1.5);

        QCOMPARE(answerer.seen().size(), 2);
        QCOMPARE(answerer.seen().last().text, text);
        QCOMPARE(panel->config()->channelControl(6)->value(), 1.5);
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel")),
                 QStringList{writeLine(panel->vi(), 6, QStringLiteral("1.5"), status)});
        QCOMPARE(answerer.unexpected(), QStringList());
    }

    void writeErrorAnsweredYesEndsWithoutClose() {
        QTemporaryDir dir;
        const QString benchPath = dir.filePath(QStringLiteral("bench.yaml"));
        const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
        QFile benchFile(benchPath);
        QVERIFY(benchFile.open(QIODevice::WriteOnly));
        benchFile.write(
            cardBench("-10, 10", QStringLiteral("qv4720_writeChannel: %1").arg(kWriteError)));
        benchFile.close();

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZELVAN_SIM_BENCH"), benchPath);
        env.insert(QStringLiteral("ZELVAN_SIM_TRACE"), tracePath);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kWriteErrorChild)});
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);

        QFile trace(tracePath);
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QString lines = QString::fromLocal8Bit(trace.readAll());
        QVERIFY(lines.contains(QStringLiteral("qv4720_writeChannel(")));
        QVERIFY(!lines.contains(QStringLiteral("qv4720_close(")));
    }

    void clampingHoldsTheCardRange_data() {
        QTest::addColumn<bool>("demo");
        QTest::addColumn<double>("entered");
        QTest::addColumn<double>("limit");
        QTest::newRow("demo, above") << true << 25.0 << 20.0;
        QTest::newRow("demo, below") << true << -25.0 << -20.0;
        QTest::newRow("hardware, above") << false << 25.0 << 20.0;
        QTest::newRow("hardware, below") << false << -25.0 << -20.0;
    }
    void clampingHoldsTheCardRange() {
        QFETCH(bool, demo);
        QFETCH(double, entered);
        QFETCH(double, limit);
        const QByteArray yaml = cardBench("-20, 20");
        PanelBench bench(yaml.constData());
        ModalAnswerer answerer;
        auto panel = openPanel(answerer, demo ? "Run In Demo Mode" : "Auto Find");
        qv4720_dblCtrl* control = panel->config()->channelControl(5);

        // A value from outside the card's range is set back to the limit;
        // the control's own change writes the limit, and so does the first run.
        panel->config()->setValue_slot(5, entered);
        QCOMPARE(control->value(), limit);
        const QString line = writeLine(panel->vi(), 5, QString::number(limit));
        const QStringList expected = demo ? QStringList() : QStringList{line, line};
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel")), expected);

        // The control itself offers no more than the card's range.
        control->setValue(0.0);
        control->setValue(entered);
        QCOMPARE(control->value(), limit);
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel")).size(), demo ? 0 : 4);
    }

    void typedValueIsWrittenOnlyWhenConfirmed() {
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        qv4720_dblCtrl* control = panel->config()->channelControl(3);
        control->selectAll();
        QTest::keyClicks(control, QStringLiteral("-9.5"));
        QVERIFY(bench.trace(QStringLiteral("qv4720_writeChannel")).isEmpty());
        QTest::keyClick(control, Qt::Key_Return);
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel")),
                 QStringList{writeLine(panel->vi(), 3, QStringLiteral("-9.5"))});
    }

    void negativeVoltagesReachTheCard() {
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        auto panel = openPanel(answerer);
        for (int channel = 1; channel <= qv4720fp_Config::ChannelCount; ++channel) {
            QCOMPARE(panel->config()->channelControl(channel)->minimum(), -10.0);
            QCOMPARE(panel->config()->channelControl(channel)->maximum(), 10.0);
            QCOMPARE(panel->config()->channelControl(channel)->value(), 0.0);
        }
        panel->config()->channelControl(8)->setValue(-7.5);
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel")),
                 QStringList{writeLine(panel->vi(), 8, QStringLiteral("-7.5"))});
        double volts = 0;
        QCOMPARE(zsim_channelOutput("VXI0::3::INSTR", 2, 8, &volts), 0);
        QCOMPARE(volts, -7.5);
    }

    // A range that could not be read is none: the controls hold 0 V and
    // nothing is written.
    void rangeReadFailureAdmitsZeroOnly() {
        const QByteArray yaml =
            cardBench("-10, 10", QStringLiteral("qv4720_getOutputRange: %1").arg(kWriteError));
        PanelBench bench(yaml.constData());
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        answerer.answer(QStringLiteral("No"));
        PanelProbe panel(&m_fc);

        QVERIFY(answerer.seen().last().text.startsWith(
            QStringLiteral("qv4720_getOutputRange(vi(), &m_loLimit, &m_hiLimit) failed due to [")));
        QCOMPARE(panel.loLimit(), 0.0);
        QCOMPARE(panel.hiLimit(), 0.0);
        QCOMPARE(panel.config()->rangeLabel()->text(), QStringLiteral("*Voltage Range: 0V to 0V"));
        panel.config()->setValue_slot(1, 5.0);
        QCOMPARE(panel.config()->channelControl(1)->value(), 0.0);
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel")), QStringList());
        QCOMPARE(answerer.unexpected(), QStringList());
    }

    void constructionQueriesAreReported_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("range");
        QTest::newRow("range warning") << QStringLiteral("qv4720_getOutputRange: %1").arg(kWarning)
                                       << QStringLiteral("Warning: [%1]").arg(driverText(kWarning))
                                       << "*Voltage Range: -10V to 10V";
        QTest::newRow("serial number error")
            << QStringLiteral("qv4720_readSerialNo: %1").arg(kWriteError)
            << QStringLiteral("qv4720_readSerialNo(d_vi, &serialNumber, subtype) failed due to "
                              "[%1]\nDo you want to exit?")
                   .arg(driverText(kWriteError))
            << "*Voltage Range: -10V to 10V";
    }
    void constructionQueriesAreReported() {
        QFETCH(QString, fault);
        QFETCH(QString, text);
        QFETCH(QString, range);
        const QByteArray yaml = cardBench("-10, 10", fault);
        PanelBench bench(yaml.constData());
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        answerer.handle([](QWidget* box) {
            auto* messageBox = qobject_cast<QMessageBox*>(box);
            if (!ModalAnswerer::clickButton(messageBox, QStringLiteral("No")))
                ModalAnswerer::clickButton(messageBox, QStringLiteral("OK"));
        });
        PanelProbe panel(&m_fc);
        QCOMPARE(answerer.seen().size(), 2);
        QCOMPARE(answerer.seen().last().text, text);
        QCOMPARE(panel.config()->rangeLabel()->text(), range);
        QVERIFY(panel.isWindow());
        QCOMPARE(answerer.unexpected(), QStringList());
    }

    void aboutShowsHardwareRows_data() {
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("revision");
        QTest::addColumn<QString>("model");
        QTest::newRow("demo") << true << "4720 (DEMO)"
                              << "1.0.1.0 (DEMO)"
                              << "4720-AA (DEMO)";
        QTest::newRow("hardware") << false << "00001a2b"
                                  << "1.0.3"
                                  << "4720-AA";
    }
    void aboutShowsHardwareRows() {
        QFETCH(bool, demo);
        QFETCH(QString, serial);
        QFETCH(QString, revision);
        QFETCH(QString, model);
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        auto panel = openPanel(answerer, demo ? "Run In Demo Mode" : "Auto Find");
        // Nothing of the dialog is built before the operator opens it.
        QVERIFY(panel->about()->findChildren<QGroupBox*>().isEmpty());
        const QMap<QString, QString> rows = hardwareRows(panel->about());
        QCOMPARE(rows.value(QStringLiteral("Serial Number:")), serial);
        QCOMPARE(rows.value(QStringLiteral("Revision:")), revision);
        QCOMPARE(rows.value(QStringLiteral("Device Model:")), model);
    }

    void rangeText_data() {
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<QString>("text");
        QTest::newRow("demo") << -20.0 << 20.0 << "*Voltage Range: -20V to 20V";
        QTest::newRow("bipolar") << -10.0 << 10.0 << "*Voltage Range: -10V to 10V";
        QTest::newRow("unipolar") << 0.0 << 5.0 << "*Voltage Range: 0V to 5V";
        QTest::newRow("three digits") << 2.5 << 12.345 << "*Voltage Range: 2.5V to 12.3V";
    }
    void rangeText() {
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(QString, text);
        QCOMPARE(qv4720fp_rangeText(lo, hi), text);
    }

    void skipConnectStartsInDemoWithAnEmptyRecord() {
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        BaseProbe base(&m_fc);
        QVERIFY(base.demo());
        QCOMPARE(base.vi(), ViSession(0));
        QCOMPARE(base.fcCount(), 0);
        for (int i = 0; i < qv4000fp_AppFC::MaxCards; ++i)
            QCOMPARE(base.fcNumber(i), 0);
        QCOMPARE(base.windowTitle(), QStringLiteral("Zelvan 4720 Soft Front Panel"));
        QVERIFY(answerer.seen().isEmpty());
        QVERIFY(bench.trace(QStringLiteral("vi")).isEmpty());
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], kWriteErrorChild) == 0)
        return runWriteErrorChild();
    TestPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panel.moc"
