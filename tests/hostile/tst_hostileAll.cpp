// VISA, carrier library and driver all replaced: attribute reads fail after
// writing into their buffers, so the window shows no slot and no host.
#include "ModalAnswerer.h"
#include "PanelBench.h"

#include "qv4720_fc.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

class tst_hostileAll : public QObject {
    Q_OBJECT
private slots:
    void failedAttributeReadsShowNothingTheyWrote() {
        qputenv("HOSTILE_VISA", "count=1 list=1 open-ok");
        qputenv("HOSTILE_DRIVER", "");
        qputenv("HOSTILE_CARRIER", "");
        qv4720_fc fc;
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        PanelProbe panel(&fc);
        QCOMPARE(answerer.unexpected(), QStringList());
        QVERIFY(!panel.demo());
        QVERIFY(panel.lxi());
        QCOMPARE(panel.windowTitle(), QStringLiteral("Zelvan 4720 Soft Front Panel"));
        QCOMPARE(panel.slotLabel()->text(), QString());
        QCOMPARE(panel.fcLabel()->text(), QStringLiteral("FC 2"));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tst_hostileAll test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostileAll.moc"
