// The SCPI engine without a network: program messages and the errors they
// raise, the error queue's bound, and the status registers.
#include "RemoteLock.h"
#include "ScpiEngine.h"
#include "StandInInstrument.h"

#include <QTest>

namespace {
QList<int> drainErrors(ScpiSession& session) {
    QList<int> codes;
    for (int i = 0; i < 64 && session.status().errorCount() > 0; ++i)
        codes << session.status().takeError().code();
    return codes;
}
} // namespace

class TestScpiEngine : public QObject {
    Q_OBJECT
private slots:
    void messages_data();
    void messages();
    void queueOverflowKeepsTheOldestAndEndsInOverflow();
    void errorsSetTheirEventBitsAndSummaries();
    void operationRegisterSummarises();
    void lockRefusesOthersAndReportsLocalTakeoverOnce();
    void registrationRefusesClashes();
};

void TestScpiEngine::messages_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<QList<int>>("errors");
    using L = QList<int>;
    const QByteArray unknown = "9.91E+37\n";
    QTest::newRow("identity") << QByteArray("*idn?") << QByteArray("MAKER,MODEL,0001,1.0\n") << L{};
    QTest::newRow("path after ;") << QByteArray("SOUR2:VOLT 1.5;VOLT?")
                                  << QByteArray("1.500000E+00\n") << L{};
    QTest::newRow("long forms, unit") << QByteArray("source2:voltage:lev:imm:ampl 2 V;:SOUR2:VOLT?")
                                      << QByteArray("2.000000E+00\n") << L{};
    QTest::newRow("path skips optional")
        << QByteArray("SOUR1:VOLT:LEV 1;AMPL?") << QByteArray("1.000000E+00\n") << L{};
    QTest::newRow("child of leaf not at path")
        << QByteArray("SOUR:VOLT 1;LEV?") << QByteArray() << L{-113};
    QTest::newRow("root after ;:") << QByteArray("SOUR2:VOLT 1;:VOLT?") << unknown << L{};
    QTest::newRow("NSELect default suffix") << QByteArray("INST:NSEL 3;:VOLT 25E-1;:SOUR3:VOLT?")
                                            << QByteArray("2.500000E+00\n") << L{};
    QTest::newRow("common keeps path")
        << QByteArray("SOUR4:VOLT 1;*OPC?;VOLT?") << QByteArray("1;1.000000E+00\n") << L{};
    QTest::newRow("milli, exponent")
        << QByteArray("VOLT -500e+0mV;VOLT?") << QByteArray("-5.000000E-01\n") << L{};
    QTest::newRow("MAX, ? MIN") << QByteArray("VOLT MAX;VOLT?;VOLT? MIN")
                                << QByteArray("1.000000E+01;-1.000000E+01\n") << L{};
    QTest::newRow("hex number, NUL as space")
        << QByteArray("VOLT #H7\0;VOLT?", 15) << QByteArray("7.000000E+00\n") << L{};
    QTest::newRow("out of range not written")
        << QByteArray("VOLT 10.001;VOLT?") << unknown << L{-222};
    QTest::newRow("kilo out of range") << QByteArray("VOLT 1 KV") << QByteArray() << L{-222};
    QTest::newRow("micro, mega") << QByteArray("VOLT 2000000 UV;VOLT?;VOLT 1 MAV")
                                 << QByteArray("2.000000E+00\n") << L{-222};
    QTest::newRow("wrong unit") << QByteArray("VOLT 1 A") << QByteArray() << L{-131};
    QTest::newRow("suffix out of range") << QByteArray("SOUR9:VOLT 1") << QByteArray() << L{-114};
    QTest::newRow("suffix zero") << QByteArray("SOUR0:VOLT?") << QByteArray() << L{-114};
    QTest::newRow("suffix where none") << QByteArray("SYST2:VERS?") << QByteArray() << L{-114};
    QTest::newRow("missing parameter") << QByteArray("VOLT") << QByteArray() << L{-109};
    QTest::newRow("extra parameter") << QByteArray("VOLT 1,2") << QByteArray() << L{-108};
    QTest::newRow("query with parameter") << QByteArray("*IDN? 1") << QByteArray() << L{-108};
    QTest::newRow("character for number") << QByteArray("VOLT HIGH") << QByteArray() << L{-104};
    QTest::newRow("string for number") << QByteArray("VOLT 'it''s'") << QByteArray() << L{-104};
    QTest::newRow("half form") << QByteArray("VOLTA 1") << QByteArray() << L{-113};
    QTest::newRow("no such query") << QByteArray("INST:NSEL?") << QByteArray() << L{-113};
    QTest::newRow("no such set") << QByteArray("*ESR 1") << QByteArray() << L{-113};
    QTest::newRow("two points") << QByteArray("VOLT 1.2.3") << QByteArray() << L{-102};
    QTest::newRow("two numbers") << QByteArray("VOLT 1 2") << QByteArray() << L{-103};
    QTest::newRow("bad header separator") << QByteArray("VOLT$1") << QByteArray() << L{-111};
    QTest::newRow("high byte") << QByteArray("\x80VOLT 1") << QByteArray() << L{-101};
    QTest::newRow("empty unit") << QByteArray("VOLT 1;;VOLT?") << QByteArray() << L{-102};
    QTest::newRow("mnemonic too long") << QByteArray("VOLTAGEVOLTAGE 1") << QByteArray() << L{-112};
    QTest::newRow("bad hex digit") << QByteArray("VOLT #HG") << QByteArray() << L{-120};
    QTest::newRow("lone sign") << QByteArray("VOLT -") << QByteArray() << L{-120};
    QTest::newRow("unterminated string") << QByteArray("VOLT \"1") << QByteArray() << L{-151};
    QTest::newRow("block data") << QByteArray("VOLT #15hello") << QByteArray() << L{-104};
    QTest::newRow("rest discarded after command error")
        << QByteArray("*IDN?;BOGUS;*IDN?") << QByteArray("MAKER,MODEL,0001,1.0\n") << L{-113};
    QTest::newRow("execution error goes on")
        << QByteArray("VOLT 99;*OPC?") << QByteArray("1\n") << L{-222};
    QTest::newRow("no error, version")
        << QByteArray("SYST:ERR?;:SYST:VERS?") << QByteArray("0,\"No error\";1999.0\n") << L{};
    QTest::newRow("trailing ; and spaces") << QByteArray("  *OPC? ; ") << QByteArray("1\n") << L{};
}

void TestScpiEngine::messages() {
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, response);
    QFETCH(QList<int>, errors);
    RemoteLock lock;
    ScpiEngine engine(lock);
    StandInInstrument instrument(engine);
    const auto session = engine.createSession(QStringLiteral("test"));
    QCOMPARE(engine.execute(*session, message), response);
    QCOMPARE(drainErrors(*session), errors);
}

void TestScpiEngine::queueOverflowKeepsTheOldestAndEndsInOverflow() {
    RemoteLock lock;
    ScpiEngine engine(lock);
    const auto session = engine.createSession(QStringLiteral("test"));
    engine.execute(*session, "VOLT 1"); // -113 first: the stand-in is not registered
    for (int i = 0; i < 40; ++i)
        engine.execute(*session, "*ESE 999");
    QCOMPARE(engine.execute(*session, "SYST:ERR:COUN?"), QByteArray("32\n"));
    const QList<int> codes = drainErrors(*session);
    QCOMPARE(codes.first(), -113);
    QCOMPARE(codes.at(1), -222);
    QCOMPARE(codes.last(), -350);
    QCOMPARE(engine.execute(*session, "*ESR?"), QByteArray("56\n")); // CME, EXE, DDE
}

void TestScpiEngine::errorsSetTheirEventBitsAndSummaries() {
    RemoteLock lock;
    ScpiEngine engine(lock);
    const auto session = engine.createSession(QStringLiteral("test"));
    QCOMPARE(engine.execute(*session, "*STB?"), QByteArray("0\n"));
    session->postError(ScpiError::standard(ScpiError::QueryInterrupted));
    session->postError(ScpiError::standard(ScpiError::InputBufferOverrun));
    QCOMPARE(engine.execute(*session, "*ESE 4;*STB?"), QByteArray("36\n"));   // ESB + queue
    QCOMPARE(engine.execute(*session, "*SRE 32;*STB?"), QByteArray("100\n")); // + RQS
    QCOMPARE(engine.execute(*session, "*ESR?;*ESR?"), QByteArray("12;0\n"));  // QYE + DDE
    engine.execute(*session, "*OPC");
    QCOMPARE(engine.execute(*session, "*CLS;*ESR?;SYST:ERR:COUN?"), QByteArray("0;0\n"));
    QCOMPARE(engine.execute(*session, "*OPC?;*STB?"), QByteArray("1;16\n")); // MAV
}

void TestScpiEngine::operationRegisterSummarises() {
    RemoteLock lock;
    ScpiEngine engine(lock);
    const auto session = engine.createSession(QStringLiteral("test"));
    engine.execute(*session, "STAT:OPER:ENAB 16;*SRE 128");
    engine.setCondition(ScpiStatus::Register::Operation, 16);
    QCOMPARE(engine.execute(*session, "*STB?;STAT:OPER:COND?"), QByteArray("192;16\n"));
    QCOMPARE(engine.execute(*session, "STAT:OPER?;OPER:EVEN?"), QByteArray("16;0\n"));
    engine.execute(*session, "STAT:PRES");
    engine.setCondition(ScpiStatus::Register::Operation, 0);
    engine.setCondition(ScpiStatus::Register::Operation, 16);
    QCOMPARE(engine.execute(*session, "*STB?;STAT:OPER:ENAB?"), QByteArray("0;0\n"));
}

void TestScpiEngine::lockRefusesOthersAndReportsLocalTakeoverOnce() {
    RemoteLock lock;
    ScpiEngine engine(lock);
    StandInInstrument instrument(engine);
    const auto a = engine.createSession(QStringLiteral("A"));
    const auto b = engine.createSession(QStringLiteral("B"));
    QCOMPARE(engine.execute(*a, "SYST:LOCK:REQ?"), QByteArray("1\n"));
    QCOMPARE(engine.execute(*b, "SYST:LOCK:REQ?;OWN?"), QByteArray("0;\"A\"\n"));
    QCOMPARE(engine.execute(*b, "VOLT 1;VOLT?"), QByteArray("9.91E+37\n"));
    QCOMPARE(b->status().takeError().text(), QByteArray("Command protected;locked by A"));
    lock.takeLocal();
    engine.execute(*a, "VOLT 2");
    QCOMPARE(a->status().takeError().text(),
             QByteArray("Command protected;lock lost to the local operator"));
    QCOMPARE(engine.execute(*a, "VOLT 3;VOLT?;:SYST:LOCK:OWN?"),
             QByteArray("3.000000E+00;\"NONE\"\n"));
    QCOMPARE(instrument.writes, 1);
}

// A binding mistake must fail at registration, never shadow a command.
void TestScpiEngine::registrationRefusesClashes() {
    RemoteLock lock;
    ScpiEngine engine(lock);
    StandInInstrument instrument(engine);
    const auto entry = [](const char* pattern, const QList<ScpiCommandEntry::Suffix>& suffixes) {
        ScpiCommandEntry s;
        s.pattern = pattern;
        s.suffixes = suffixes;
        s.query = [](ScpiCall&) { return ScpiReply::response("x"); };
        return s;
    };
    const struct {
        const char* pattern;
        QList<ScpiCommandEntry::Suffix> suffixes;
    } clashes[] = {
        {"SOURce#:VOLTage", {{1, 8, "channel"}}}, // a header the stand-in has
        {"SOURce#:CURRent", {{1, 4, {}}}},        // same node, other range
        {"SYSTem:ERRor", {}},                     // an optional-node variant taken
        {"*IDN", {}},
        {"[BAD", {}},
        {"TOOLONGMNEMONIC", {}},
    };
    for (const auto& clash : clashes) {
        QString why;
        QVERIFY2(!engine.addCommand(entry(clash.pattern, clash.suffixes), &why), clash.pattern);
        QVERIFY(!why.isEmpty());
    }
    QVERIFY(engine.addCommand(entry("SOURce#:CURRent", {{1, 8, "channel"}})));
    const auto session = engine.createSession(QStringLiteral("test"));
    QCOMPARE(engine.execute(*session, "SYST:ERR?;:SOUR:CURR?"), QByteArray("0,\"No error\";x\n"));
}

QTEST_GUILESS_MAIN(TestScpiEngine)
#include "tst_scpiEngine.moc"
