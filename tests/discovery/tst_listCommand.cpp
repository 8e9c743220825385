#include "CliRun.h"
#include "qv4000fp_terminalProgress.h"
#include "qv4720fp_ListCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

// "--list" as a script meets it: the qv4720sfp program in a child process
// with no display, its standard output, standard error and exit status.
class tst_listCommand : public QObject {
    Q_OBJECT
private slots:
    void builtInBenchAsText();
    void builtInBenchAsJson();
    void nothingUsable_data();
    void nothingUsable();
    void failedSearch_data();
    void failedSearch();
    void cardLimitWarnsOnStandardError();
    void thousandCardsMatchTheSchema();
    void descriptorsQuotedForShell();
    void progressLineIsErased();
};

namespace {
const char* const kNoCard = "qv4720sfp: No 4720 Function Card found on your system.\n";

QJsonObject parsedJson(const QString& out) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(out.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("%s in: %s", qPrintable(error.errorString()), qPrintable(out));
    return document.object();
}

QStringList descriptorsOf(const QJsonObject& document) {
    QStringList descriptors;
    for (const QJsonValue& resource : document.value("resources").toArray())
        descriptors << resource.toObject().value("descriptor").toString();
    return descriptors;
}

// count VXI carriers with eight 4720 cards each.
QByteArray fullCarriers(int count) {
    QByteArray yaml = "version: 1\nresources:\n";
    for (int i = 0; i < count; ++i) {
        yaml += QStringLiteral("  \"VXI0::%1::INSTR\": {slot: %1, carrier: {model: 2391, slots: "
                               "{1: {code: 0x4720}, 2: {code: 0x4720}, 3: {code: 0x4720}, 4: "
                               "{code: 0x4720}, 5: {code: 0x4720}, 6: {code: 0x4720}, 7: {code: "
                               "0x4720}, 8: {code: 0x4720}}}}\n")
                    .arg(i + 1)
                    .toLatin1();
    }
    return yaml;
}
} // namespace

// The selection dialog's tree, row for row, and how to open each usable card.
void tst_listCommand::builtInBenchAsText() {
    CliRun cli;
    QCOMPARE(cli.run({"--list"}), 0);
    QCOMPARE(cli.out(),
             QStringLiteral(
                 "System                      FC Model  Open with\n"
                 "ASRL1\n"
                 "TCPIP0\n"
                 "  192.168.2.100 - 4160 LXI\n"
                 "    FC 1                    4720      --resource TCPIP0::192.168.2.100::INSTR "
                 "--fc 1\n"
                 "VXI0\n"
                 "  Slot 3 - 4160 MB\n"
                 "    FC 1                    4650      (not usable)\n"
                 "    FC 2                    4720      --resource VXI0::3::INSTR --fc 2\n"
                 "    FC 4                    4860-AB   (not usable)\n"));
    QCOMPARE(cli.err(), QString());
    QCOMPARE(cli.trace("viFindRsrc").size(), 1);
    QVERIFY(cli.trace("viFindRsrc").first().contains("expr=\"?*INSTR\""));
}

void tst_listCommand::builtInBenchAsJson() {
    CliRun cli;
    QCOMPARE(cli.run({"--list", "--json"}), 0);
    const QJsonObject document = parsedJson(cli.out());
    QCOMPARE(descriptorsOf(document),
             (QStringList{"ASRL1::INSTR", "TCPIP0::192.168.2.100::INSTR", "VXI0::3::INSTR"}));
    QCOMPARE(document.value("usableCards").toInt(), 2);
    const QJsonArray resources = document.value("resources").toArray();
    QVERIFY(resources.at(0).toObject().value("carrier").isNull());

    const QJsonObject lxi = resources.at(1).toObject();
    QCOMPARE(
        lxi.value("carrier").toObject(),
        (QJsonObject{{"model", 4160}, {"address", "192.168.2.100"}, {"host", "lab-carrier-1"}}));

    const QJsonObject vxi = resources.at(2).toObject();
    QCOMPARE(vxi.value("carrier").toObject(), (QJsonObject{{"model", 4160}, {"slot", 3}}));
    const QJsonArray cards = vxi.value("cards").toArray();
    QCOMPARE(cards.size(), 3);
    QCOMPARE(cards.at(0).toObject(),
             (QJsonObject{{"fc", 1}, {"model", "4650"}, {"usable", false}}));
    QCOMPARE(cards.at(1).toObject().value("arguments").toArray(),
             (QJsonArray{"--resource", "VXI0::3::INSTR", "--fc", "2"}));
    QCOMPARE(cards.at(2).toObject().value("model").toString(), QStringLiteral("4860-AB"));
    QCOMPARE(cli.err(), QString());
}

void tst_listCommand::nothingUsable_data() {
    QTest::addColumn<QByteArray>("bench");
    QTest::addColumn<QStringList>("groups");
    QTest::newRow("empty bench") << QByteArray("version: 1\nresources: {}\n") << QStringList();
    QTest::newRow("other cards only")
        << QByteArray("version: 1\nresources:\n  \"VXI0::2::INSTR\": {slot: 2, carrier: {model: "
                      "2391, slots: {1: {code: 0x5C5C}}}}\n  \"ASRL1::INSTR\": {}\n")
        << QStringList{"ASRL1::INSTR", "VXI0::2::INSTR"};
}

void tst_listCommand::nothingUsable() {
    QFETCH(QByteArray, bench);
    QFETCH(QStringList, groups);
    CliRun cli(bench.constData());
    QCOMPARE(cli.run({"--list"}), 1);
    QCOMPARE(cli.err(), QString(kNoCard));
    QCOMPARE(cli.out().isEmpty(), groups.isEmpty());
    QVERIFY(!cli.out().contains("--resource"));
    QCOMPARE(cli.run({"--list", "--json"}), 1);
    const QJsonObject document = parsedJson(cli.out());
    QCOMPARE(descriptorsOf(document), groups);
    QCOMPARE(document.value("usableCards").toInt(), 0);
    QVERIFY(!document.contains("searchError"));
}

void tst_listCommand::failedSearch_data() {
    QTest::addColumn<QByteArray>("faults");
    QTest::newRow("no resource manager") << QByteArray("viOpenDefaultRM: VI_ERROR_SYSTEM_ERROR");
    QTest::newRow("search failed") << QByteArray("viFindRsrc: VI_ERROR_SYSTEM_ERROR");
}

// A search the library could not run is a failure (1), not a usage error.
void tst_listCommand::failedSearch() {
    QFETCH(QByteArray, faults);
    const QByteArray bench = "version: 1\nfaults: {" + faults +
                             "}\nresources:\n  \"VXI0::3::INSTR\": {slot: 3, carrier: {model: "
                             "2391, slots: {2: {code: 0x4720}}}}\n";
    CliRun cli(bench.constData());
    QCOMPARE(cli.run({"--list"}), 1);
    QCOMPARE(cli.out(), QString());
    QVERIFY2(
        cli.err().startsWith("qv4720sfp: The VISA resource search failed: VI_ERROR_SYSTEM_ERROR"),
        qPrintable(cli.err()));
    QCOMPARE(cli.run({"--list", "--json"}), 1);
    const QJsonObject document = parsedJson(cli.out());
    QVERIFY(document.value("searchError").toString().contains("0xBFFF0000"));
    QVERIFY(document.value("resources").toArray().isEmpty());
}

// The dialog's warning box would need a display: its text goes to standard
// error, and the text listing stops where the dialog's does; the JSON has
// every card.
void tst_listCommand::cardLimitWarnsOnStandardError() {
    const QByteArray bench = fullCarriers(33);
    CliRun cli(bench.constData());
    QCOMPARE(cli.run({"--list"}), 0);
    QCOMPARE(cli.out().count("--resource"), 256);
    // As in the dialog, the carrier at which the limit ends the listing keeps its row.
    QVERIFY(cli.out().endsWith("--resource VXI0::32::INSTR --fc 8\n  Slot 33 - 4160 MB\n"));
    QVERIFY2(cli.err().startsWith("qv4720sfp: Found more Function Cards than supported by this "
                                  "SoftFrontPanel. Only first 256 are available.\nqv4720sfp: "),
             qPrintable(cli.err()));
    QCOMPARE(cli.run({"--list", "--json"}), 0);
    QCOMPARE(cli.err(), QString());
    const QJsonObject document = parsedJson(cli.out());
    QCOMPARE(document.value("usableCards").toInt(), 264);
    const QJsonArray resources = document.value("resources").toArray();
    QCOMPARE(resources.size(), 33);
    QCOMPARE(resources.last().toObject().value("cards").toArray().size(), 8);
}

// Debian's validator checks the machine listing of a large bench against the
// schema the package ships.
void tst_listCommand::thousandCardsMatchTheSchema() {
    const QByteArray bench = fullCarriers(125);
    CliRun cli(bench.constData());
    QCOMPARE(cli.run({"--list", "--json"}), 0);
    QTemporaryFile listing;
    QVERIFY(listing.open());
    listing.write(cli.out().toUtf8());
    listing.close();
    QProcess validator;
    validator.start(
        QStringLiteral(SFP_PYTHON3),
        {"-c",
         "import json, sys, jsonschema\n"
         "jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])))",
         listing.fileName(), QStringLiteral(QV4720SFP_SOURCE_DIR "/qv4720sfp-list.schema.json")});
    QVERIFY(validator.waitForFinished(60000));
    QVERIFY2(validator.exitStatus() == QProcess::NormalExit && validator.exitCode() == 0,
             validator.readAllStandardError().right(2000).constData());
    const QJsonObject document = parsedJson(cli.out());
    QCOMPARE(document.value("version").toInt(), 1);
    QCOMPARE(document.value("usableCards").toInt(), 1000);
}

void tst_listCommand::descriptorsQuotedForShell() {
    QCOMPARE(qv4720fp_ListCommand::openArguments("TCPIP0::10.0.0.1::inst0::INSTR", 3),
             QStringLiteral("--resource TCPIP0::10.0.0.1::inst0::INSTR --fc 3"));
    QCOMPARE(qv4720fp_ListCommand::openArguments("TCPIP0::lab rack::INSTR", 1),
             QStringLiteral("--resource 'TCPIP0::lab rack::INSTR' --fc 1"));
    QCOMPARE(qv4720fp_ListCommand::openArguments("VXI0::it's::INSTR", 1),
             QStringLiteral("--resource 'VXI0::it'\\''s::INSTR' --fc 1"));
    QCOMPARE(qv4720fp_ListCommand::openArguments("$(reboot)", 1),
             QStringLiteral("--resource '$(reboot)' --fc 1"));

    // Library texts cannot break a row or act on the terminal.
    resourceInfo_t record;
    record.descriptor = QStringLiteral("TCPIP0::a\nb::INSTR");
    record.systemText = QStringList{QStringLiteral("\x1b[2J - 4160 LXI")};
    record.fcColumns = {QStringList{"FC 1", "4720"}};
    record.fcNumbers = {1};
    record.fcSlots = {1};
    const QList<resourceInfo_t> records{record};
    QCOMPARE(
        QString::fromLocal8Bit(qv4720fp_ListCommand::text(records, qv4000fp_resourceTree(records))),
        QStringLiteral("System             FC Model  Open with\n"
                       "TCPIP0\n"
                       "  ?[2J - 4160 LXI\n"
                       "    FC 1           4720      --resource 'TCPIP0::a?b::INSTR' --fc 1\n"));
}

// Steps the search reports for resources queried before the wait do not
// count; the line is rewritten in place and blanked at the end.
void tst_listCommand::progressLineIsErased() {
    QTemporaryFile file;
    QVERIFY(file.open());
    std::FILE* stream = fdopen(dup(file.handle()), "w");
    QVERIFY(stream);
    {
        qv4000fp_terminalProgress progress(stream, true, 2, 10);
        progress.show(1);
        progress.show(5);
        progress.show(12);
    }
    {
        qv4000fp_terminalProgress silent(stream, false, 0, 10);
        silent.show(4);
    }
    std::fclose(stream);
    file.seek(0);
    QCOMPARE(file.readAll(), QByteArray("\rSearching... 0 of 10\rSearching... 3 of 10"
                                        "\rSearching... 10 of 10\r                     \r"));
}

QTEST_GUILESS_MAIN(tst_listCommand)
#include "tst_listCommand.moc"
