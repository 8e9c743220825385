// A driver that answers its output range as -inf..+inf with status 0: that
// is no range, so neither the panel nor --set writes anything (the driver
// aborts on any write).
#include "CliRun.h"
#include "ModalAnswerer.h"
#include "PanelBench.h"

#include "qv4720_fc.h"
#include "qv4720fp_CardSession.h"

#include <QApplication>
#include <QTest>

class tst_hostileRange : public QObject {
    Q_OBJECT
private slots:
    void init() { qputenv("HOSTILE_DRIVER", "unbounded"); }

    void setRefusesWithNothingWritten() {
        CliRun cli;
        const int status = cli.run(
            QStringList{"-r", "VXI0::3::INSTR", "-f", "2", "--set", "1=1000", "--set", "2=-5000"});
        QCOMPARE(status, 1);
        QCOMPARE(cli.out(), QString());
        QVERIFY2(cli.err().contains(QLatin1String("no usable output range")),
                 qPrintable(cli.err()));
    }

    void panelAdmitsOnlyZeroAndWritesNothing() {
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        qv4720_fc fc;
        PanelProbe panel(&fc);
        QCOMPARE(panel.loLimit(), 0.0);
        QCOMPARE(panel.hiLimit(), 0.0);
        QVERIFY(!panel.session()->rangeValid());
        panel.writeChannel(1, 0.0);
        QCOMPARE(answerer.unexpected(), QStringList());
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tst_hostileRange test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostileRange.moc"
