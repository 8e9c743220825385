// A driver that writes its outputs when it fails, answers "no text" after
// writing one, or leaves texts unterminated: the panel uses nothing a failed
// call wrote and shows bounded texts.
#include "HostileSupport.h"
#include "ModalAnswerer.h"
#include "PanelBench.h"

#include "qv4720.h"
#include "qv4720_fc.h"

#include <QApplication>
#include <QTest>

namespace {
const char* const kExit = "\nDo you want to exit?";
}

class tst_hostileDriver : public QObject {
    Q_OBJECT
private:
    qv4720_fc m_fc;

private slots:
    // The driver's message call answers non-zero after writing "SCRIBBLED":
    // every report shows an empty text, and nothing a failed query wrote shows.
    // A range that could not be read is none: nothing is written then.
    void failedCallsShowNothingTheyWrote() {
        qputenv("HOSTILE_DRIVER", "fails-writing");
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        for (int i = 0; i < 3; ++i)
            answerer.answer(QStringLiteral("No"));
        PanelProbe panel(&m_fc);
        panel.writeChannel(1, 0.0);

        QStringList reports;
        for (const ModalAnswerer::Seen& seen : answerer.seen().mid(1))
            reports << seen.text;
        const QString tail = QStringLiteral(" failed due to []") + QLatin1String(kExit);
        QCOMPARE(reports, QStringList({"qv4720_getOutputRange(vi(), &m_loLimit, &m_hiLimit)" + tail,
                                       "qv4720_readSerialNo(d_vi, &serialNumber, subtype)" + tail,
                                       "qv4720_revision_query(d_vi, driverRevision, "
                                       "instrumentFirmwareRevision)" +
                                           tail}));
        QCOMPARE(panel.loLimit(), 0.0);
        QCOMPARE(panel.hiLimit(), 0.0);
        const auto hardware = aboutRows(panel.about(), QStringLiteral("Hardware Information"));
        QCOMPARE(hardware.value(QStringLiteral("Serial Number:")), QStringLiteral("00000000"));
        QCOMPARE(hardware.value(QStringLiteral("Device Model:")), QStringLiteral("4720-"));
        QCOMPARE(hardware.value(QStringLiteral("Revision:")), QString());
        QCOMPARE(aboutRows(panel.about(), QStringLiteral("Software Revisions"))
                     .value(QStringLiteral("Instrument Driver:")),
                 QString());
        QCOMPARE(answerer.unexpected(), QStringList());
    }

    void unterminatedTextsAreBounded() {
        qputenv("HOSTILE_DRIVER", "unterminated");
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        answerer.answer(QStringLiteral("No"));
        PanelProbe panel(&m_fc);
        panel.writeChannel(1, 1.0);

        QCOMPARE(answerer.seen().size(), 2);
        QCOMPARE(answerer.seen().last().text,
                 QStringLiteral("qv4720_writeChannel(app->vi(), indx, val) failed due to [%1]")
                         .arg(QString(QV4720_ERROR_MESSAGE_BUFLEN, QLatin1Char('E'))) +
                     QLatin1String(kExit));
        const auto hardware = aboutRows(panel.about(), QStringLiteral("Hardware Information"));
        QCOMPARE(hardware.value(QStringLiteral("Device Model:")), QStringLiteral("4720-ABCD"));
        QCOMPARE(hardware.value(QStringLiteral("Revision:")),
                 QString(QV4720_REVISION_BUFLEN, QLatin1Char('F')));
        QCOMPARE(aboutRows(panel.about(), QStringLiteral("Software Revisions"))
                     .value(QStringLiteral("Instrument Driver:")),
                 QString(64, QLatin1Char('D')));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tst_hostileDriver test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostileDriver.moc"
