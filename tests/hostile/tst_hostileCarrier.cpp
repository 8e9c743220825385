// A carrier library that reports success without objects, claims impossible
// slot counts, leaves texts unterminated or writes its outputs when it fails:
// the panel lists what it can, shows bounded texts and goes on.
#include "HostileSupport.h"
#include "ModalAnswerer.h"
#include "PanelBench.h"

#include "qv4000.h"
#include "qv4000fp_fcSelect.h"
#include "qv4000fp_resourceInfo.h"
#include "qv4720_fc.h"
#include "zelvan_sim.h"

#include <QApplication>
#include <QTest>

namespace {
const QString kFailedWithNoText =
    QStringLiteral("Function Call failed due to []\nDo you want to exit?");
}

class tst_hostileCarrier : public QObject {
    Q_OBJECT
private:
    resourceInfo_t query(const char* mode) {
        qputenv("HOSTILE_CARRIER", mode);
        PanelBench bench(kOneCardBench);
        ViSession rm = 0;
        viOpenDefaultRM(&rm);
        getResourceInfo_params_t item;
        item.fc = &m_fc;
        item.defaultRM = rm;
        item.info.descriptor = QStringLiteral("VXI0::3::INSTR");
        getResourceInfo(&item);
        viClose(rm);
        return item.info;
    }

    // The panel on the one-card bench, its reset failing, reset pressed once.
    QString resetReport(const char* mode, QString* commonLibrary) {
        qputenv("HOSTILE_CARRIER", mode);
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        PanelProbe panel(&m_fc);
        zsim_setInjectedStatus("qv4720_reset", -1);
        answerer.answer(QStringLiteral("No"));
        panel.pressReset();
        zsim_clearInjectedStatus(nullptr);
        *commonLibrary = aboutRows(panel.about(), QStringLiteral("Software Revisions"))
                             .value(QStringLiteral("Zelvan Common Library:"), QStringLiteral("?"));
        return answerer.seen().size() == 2 ? answerer.seen().last().text : QString();
    }

    qv4720_fc m_fc;

private slots:
    void successWithoutAnObjectListsNothing_data() {
        QTest::addColumn<QString>("mode");
        QTest::newRow("no carrier object") << "open-no-carrier";
        QTest::newRow("no description") << "open-no-description";
        QTest::newRow("failed open writes a pointer") << "open-fails-writing";
    }
    void successWithoutAnObjectListsNothing() {
        QFETCH(QString, mode);
        const resourceInfo_t info = query(mode.toLatin1().constData());
        QVERIFY(info.systemText.isEmpty());
        QVERIFY(info.fcColumns.isEmpty());
    }

    void slotCountOutsideTheRange_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("cards");
        QTest::newRow("100000 slots") << "slots=100000" << 1;
        QTest::newRow("65 slots") << "slots=65" << 1;
        QTest::newRow("-7 slots") << "slots=-7" << 0;
    }
    void slotCountOutsideTheRange() {
        QFETCH(QString, mode);
        QFETCH(int, cards);
        const resourceInfo_t info = query(mode.toLatin1().constData());
        QCOMPARE(info.systemText, QStringList{QStringLiteral("Slot 3 - 4160 MB")});
        QCOMPARE(info.fcColumns.size(), cards);
        if (cards == 1)
            QCOMPARE(info.fcNumbers, QList<int>{2});
    }

    void unterminatedTextsAreBounded() {
        QString commonLibrary;
        const QString report = resetReport("text-unterminated", &commonLibrary);
        QCOMPARE(report, QStringLiteral("Function Call failed due to [%1]\nDo you want to exit?")
                             .arg(QString(QV4000_ERROR_MESSAGE_BUFLEN, QLatin1Char('M'))));
        QCOMPARE(commonLibrary, QString(QV4000_LIBRARY_REVISION_BUFLEN, QLatin1Char('R')));
    }

    void failedTextCallsShowNoText() {
        QString commonLibrary;
        QCOMPARE(resetReport("text-fails-writing", &commonLibrary), kFailedWithNoText);
        QCOMPARE(commonLibrary, QString());

        // The card does not open and neither library has a text for it.
        PanelBench bench(kOneCardBench);
        zsim_setInjectedStatus("qv4720_paramInit", -1);
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        answerer.answer(QStringLiteral("Cancel"));
        qv4000fp_fcSelect select(&m_fc, 0);
        QVERIFY(!select.connectFunctionCard());
        zsim_clearInjectedStatus(nullptr);
        QCOMPARE(answerer.seen().size(), 2);
        QCOMPARE(answerer.seen().last().text,
                 QStringLiteral("Selected 4720 Function Card is unavailable.\nError: "));
        QCOMPARE(select.m_vi, ViSession(0));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tst_hostileCarrier test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostileCarrier.moc"
