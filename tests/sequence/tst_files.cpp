#include "SequenceCsv.h"
#include "SetupFile.h"
#include "SetupRecall.h"

#include <QtTest>

class tst_files : public QObject {
    Q_OBJECT
private slots:
    void csvAsSpreadsheetsWriteIt();
    void csvErrorsNameLineAndColumn_data();
    void csvErrorsNameLineAndColumn();
    void setupRefusesWhatItCannotTrust_data();
    void setupRefusesWhatItCannotTrust();
    void recallOntoAnotherCardWarnsAndListsChanges();
};

void tst_files::csvAsSpreadsheetsWriteIt() {
    // Byte order mark, semicolons with decimal commas, quotes, CRLF, columns
    // in any order, a blank line and a missing trailing cell.
    const QByteArray text = "\xEF\xBB\xBF"
                            "\"Ramp\";ch2;dwell_s;CH1\r\n"
                            "no;\"1,5\";0,01;-2\r\n"
                            "\r\n"
                            "yes;;2;\"3e-1\"\r\n"
                            "; \"-0,25\" ;0,005\r\n";
    const CsvReadResult r = SequenceCsv::read(text, 8);
    QVERIFY2(r.ok, qPrintable(r.error));
    const ChannelValues none(8);
    auto values = [&](std::initializer_list<std::pair<int, double>> set) {
        ChannelValues v = none;
        for (const auto& [ch, volts] : set)
            v[size_t(ch - 1)] = volts;
        return v;
    };
    const std::vector<SequenceStep> expected{{values({{1, -2}, {2, 1.5}}), 0.01, false},
                                             {values({{1, 0.3}}), 2, true},
                                             {values({{2, -0.25}}), 0.005, false}};
    QCOMPARE(r.steps, expected);
    QCOMPARE(r.lines, (std::vector<int>{2, 4, 5}));
    const CsvReadResult back = SequenceCsv::read(SequenceCsv::write(r.steps, 8), 8);
    QVERIFY(back.ok);
    QCOMPARE(back.steps, expected);
}

void tst_files::csvErrorsNameLineAndColumn_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown column")
        << QByteArray("dwell_s,ch1,ch9\n") << "line 1, column 3: unknown";
    QTest::newRow("no dwell") << QByteArray("ch1,ch2\n1,2\n")
                              << "line 1: the header names no dwell_s";
    QTest::newRow("twice") << QByteArray("dwell_s,ch1,CH1\n")
                           << "line 1, column 3: column \"CH1\" appears twice";
    QTest::newRow("not a number") << QByteArray("dwell_s,ch1\n1,2\r\n1,2V\n")
                                  << "line 3, column 2: \"2V\"";
    QTest::newRow("decimal comma in comma file")
        << QByteArray("dwell_s,ch1\n\"0,5\",1\n") << "line 2, column 1";
    QTest::newRow("empty dwell") << QByteArray("ch1;dwell_s\n1;\n")
                                 << "line 2, column 2: the dwell is empty";
    QTest::newRow("short dwell") << QByteArray("dwell_s\n0.0001\n") << "line 2, column 1: dwell";
    QTest::newRow("extra cell") << QByteArray("dwell_s,ch1\n1,2,3\n") << "line 2, column 3";
    QTest::newRow("bad ramp") << QByteArray("dwell_s,ramp\n1,maybe\n") << "line 2, column 2";
    QTest::newRow("line counted in quotes")
        << QByteArray("dwell_s,ch1\n\"1\n\",x\n") << "line 3, column 2";
    QTest::newRow("open quote") << QByteArray("dwell_s,ch1\n1,\"2\n") << "line 2: a quote";
    QTest::newRow("infinite") << QByteArray("dwell_s,ch1\n1,inf\n") << "line 2, column 2";
}

void tst_files::csvErrorsNameLineAndColumn() {
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const CsvReadResult r = SequenceCsv::read(text, 8);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.startsWith(error), qPrintable(r.error));
}

void tst_files::setupRefusesWhatItCannotTrust_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");
    const QByteArray head = R"({"version": 1, "model": "m", "serial": "s", "channels": )";
    QTest::newRow("version 2") << QByteArray(R"({"version": 2})") << "version 2";
    QTest::newRow("no version") << QByteArray(R"({"model": "m"})") << "version (none)";
    QTest::newRow("not json") << QByteArray("{") << "not JSON";
    QTest::newRow("channel 9") << head + R"([{"channel": 9}]})"
                               << "channels entry 1";
    QTest::newRow("twice") << head + R"([{"channel": 2}, {"channel": 2}]})"
                           << "channels entry 2: channel 2 appears twice";
    QTest::newRow("one limit") << head + R"([{"channel": 1, "low": 1}]})"
                               << "channels entry 1";
    QTest::newRow("setpoint outside")
        << head + R"([{"channel": 1, "setpoint": 6, "low": 0, "high": 5}]})"
        << "channels entry 1: the setpoint";
    QTest::newRow("slew 0") << head + R"([{"channel": 1, "slew_vps": 0}]})"
                            << "channels entry 1";
    QTest::newRow("too big") << QByteArray(SetupFile::kMaxBytes + 1, ' ') << "the file is larger";
}

void tst_files::setupRefusesWhatItCannotTrust() {
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    const SetupReadResult r = SetupFile::read(json, 8);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.startsWith(error), qPrintable(r.error));
}

void tst_files::recallOntoAnotherCardWarnsAndListsChanges() {
    SafetySettings saved;
    QVERIFY(saved.setLimits(1, -1, 5).isEmpty());
    QVERIFY(saved.setSlew(2, 0.5).isEmpty());
    ChannelValues setpoints(8);
    setpoints[0] = 4.5;
    setpoints[1] = 1.0;
    const SavedSetup setup = SetupFile::capture("4720", "00001A2B", saved, setpoints);
    const SetupReadResult r = SetupFile::read(SetupFile::write(setup), 8);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.setup, setup);

    ChannelValues known(8);
    known[1] = 1.0; // unchanged: no write
    const SetupRecall::Plan other =
        SetupRecall::plan(r.setup, "4720", "00009999", SafetySettings(), known);
    QVERIFY(other.error.isEmpty());
    QVERIFY(other.warning.contains("00001A2B") && other.warning.contains("00009999"));
    QCOMPARE(other.safety, saved);
    QCOMPARE(other.changes.size(), size_t(3));
    QCOMPARE(other.changes[1].kind, SetupChange::Setpoint);
    QCOMPARE(other.changes[1].from, "unknown");
    QCOMPARE(other.changes[1].volts, 4.5);
    QVERIFY(
        SetupRecall::plan(r.setup, "4720", "00001A2B", SafetySettings(), known).warning.isEmpty());
    // A slew-limited channel whose value is not known cannot be ramped.
    known[1].reset();
    QVERIFY(SetupRecall::plan(r.setup, "4720", "00001A2B", SafetySettings(), known)
                .error.contains("channel 2"));
    // Limits that do not fit this card's range.
    QVERIFY(SetupRecall::plan(r.setup, "4720", "00001A2B", SafetySettings(8, 0, 4), known)
                .error.contains("range"));
}

QTEST_GUILESS_MAIN(tst_files)
#include "tst_files.moc"
