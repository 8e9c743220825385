// With a test double of the carrier library first on LD_LIBRARY_PATH, the
// double answers the carrier calls while VISA and the driver stay simulated.
#include "qv4000.h"
#include "qv4720.h"

#include <QtTest>

class tst_libraryReplaced : public QObject {
    Q_OBJECT
private slots:
    void doubleTakesThePlaceOfOneLibrary() {
        char revision[QV4000_LIBRARY_REVISION_BUFLEN] = {};
        QCOMPARE(qv4000_libraryRevision(revision), VI_SUCCESS);
        QCOMPARE(QString(revision), QString("double 0.1"));

        ViSession rm = VI_NULL, vi = VI_NULL;
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        QCOMPARE(viOpen(rm, "VXI0::3::INSTR", 0, 0, &vi), VI_SUCCESS);
        qv4000_carrierRecord record = {nullptr, 0, rm, 0, 0};
        QCOMPARE(qv4000_openCarrier(vi, &record), QV4000_ERROR_NOT_CARRIER);

        ViSession card = VI_NULL;
        QCOMPARE(qv4720_paramInit(const_cast<char*>("VXI0::3::INSTR"), 2, 1, 1, &card), VI_SUCCESS);
        QCOMPARE(qv4720_writeChannel(card, 1, 1.5), VI_SUCCESS);
        QCOMPARE(qv4720_close(card), VI_SUCCESS);
        viClose(rm);
    }
};

QTEST_GUILESS_MAIN(tst_libraryReplaced)
#include "tst_libraryReplaced.moc"
