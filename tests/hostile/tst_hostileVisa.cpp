// A VISA search whose count promises more or fewer resources than its list
// holds, whose names fill the buffer with no zero, and whose failing calls
// write anyway: the search lists what it can, bounded, and ends.
#include "qv4000fp_discovery.h"
#include "qv4720_fc.h"

#include <QCoreApplication>
#include <QTest>

class tst_hostileVisa : public QObject {
    Q_OBJECT
private:
    QStringList search(const char* mode) {
        qputenv("HOSTILE_VISA", mode);
        qv4000fp_discovery discovery(&m_fc);
        discovery.run([](const qv4000fp_discovery::Queries& q) {
            QFuture<void> future = q.future;
            future.waitForFinished();
        });
        QStringList names;
        for (const resourceInfo_t& record : discovery.records())
            names << record.descriptor;
        return names;
    }

    qv4720_fc m_fc;

private slots:
    void countPromisesMoreOrFewer_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("listed");
        QTest::newRow("promises 1000, holds 3") << "count=1000 list=3" << 3;
        QTest::newRow("promises 2, holds 5") << "count=2 list=5" << 2;
        QTest::newRow("never ends") << "count=2000000000 list=2000000000" << 65536;
    }
    void countPromisesMoreOrFewer() {
        QFETCH(QString, mode);
        QFETCH(int, listed);
        const QStringList names = search(mode.toLatin1().constData());
        QCOMPARE(names.size(), listed);
        QVERIFY(!names.contains(QStringLiteral("SCRIBBLED")));
    }

    void namesFillingTheBufferAreBounded() {
        const QStringList names = search("count=3 list=3 long-names");
        QCOMPARE(names.size(), 3);
        for (const QString& name : names)
            QCOMPARE(name.size(), VI_FIND_BUFLEN);
    }
};

QTEST_GUILESS_MAIN(tst_hostileVisa)
#include "tst_hostileVisa.moc"
