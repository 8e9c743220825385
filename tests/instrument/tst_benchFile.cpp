// Bench files: one clear message for each kind of fault, the built-in bench
// equal to the example file, and no crash on any input.
#include "SimTestSupport.h"
#include "visa.h"

#include <QtTest>

#include <random>
#include <sys/stat.h>

namespace {

int resourceCount() {
    ViSession rm = VI_NULL;
    ViUInt32 count = 0;
    viOpenDefaultRM(&rm);
    const ViStatus status = viFindRsrc(rm, "?*", nullptr, &count, nullptr);
    viClose(rm);
    return status == VI_SUCCESS ? int(count) : 0;
}

QString description() {
    QByteArray text(zsim_benchDescription(nullptr, 0) + 1, '\0');
    zsim_benchDescription(text.data(), text.size());
    return QString::fromUtf8(text.constData());
}

const char* const kHead = "version: 1\nresources:\n";

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

// Aliases name one 64-card carrier from every resource: a small file whose
// bench would be large.
QByteArray aliasFanOut() {
    QByteArray yaml = "version: 1\nresources:\n  \"ASRL0::INSTR\": {carrier: &k {slots: {";
    for (int slot = 1; slot <= 64; ++slot)
        yaml += QByteArray::number(slot) + (slot == 1 ? ": &c {code: 0x4720}, " : ": *c, ");
    yaml += "}}}\n";
    for (int i = 1; i < 5000; ++i)
        yaml += "  \"ASRL" + QByteArray::number(i) + "::INSTR\": {carrier: *k}\n";
    return yaml;
}

} // namespace

class tst_benchFile : public QObject {
    Q_OBJECT
private slots:
    void badBenchGivesOneMessageAndNoResources_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const QByteArray vxi = "  \"VXI0::3::INSTR\":\n";
        QTest::newRow("not YAML") << QByteArray("  \"VXI0::3::INSTR\": [unclosed\n")
                                  << "bad.yaml:4: not valid YAML";
        QTest::newRow("wrong type")
            << vxi + "    slot: three\n"
            << "bad.yaml:4: \"VXI0::3::INSTR\": \"slot\" must be an integer";
        QTest::newRow("unknown key") << vxi + "    colour: red\n"
                                     << "bad.yaml:4: \"VXI0::3::INSTR\": unknown key \"colour\"";
        QTest::newRow("code out of range")
            << vxi + "    carrier:\n      slots:\n        9: {code: 0x10000}\n"
            << "bad.yaml:6: slot 9: \"code\" must be an integer 0..0xFFFF";
        QTest::newRow("duplicate descriptor")
            << vxi + "    slot: 1\n" + vxi
            << "bad.yaml:5: resources: \"VXI0::3::INSTR\" appears twice";
        QTest::newRow("long subtype")
            << vxi + "    carrier: {slots: {2: {code: 0x4720, subtype: ABCD}}}\n"
            << "bad.yaml:4: slot 2: \"subtype\" must be at most 3 characters";
        QTest::newRow("firmware too long for 16 bytes")
            << vxi + "    carrier: {slots: {2: {firmware: 1.0.3-build-12345}}}\n"
            << "slot 2: \"firmware\" must be at most 15 characters";
        QTest::newRow("bad range") << vxi + "    carrier: {slots: {1: {range: [5, -5]}}}\n"
                                   << "slot 1: \"range\" must have low < high";
        QTest::newRow("not a descriptor")
            << QByteArray("  \"LAB::1\": {}\n")
            << "bad.yaml:3: \"LAB::1\": not a VISA resource descriptor";
        QTest::newRow("unknown function") << vxi + "    faults: {writeChannel: -1}\n"
                                          << "faults: unknown function \"writeChannel\"";
        QTest::newRow("status out of range") << vxi + "    faults: {viOpen: 0x100000000}\n"
                                             << "\"viOpen\" must be an integer status";
        QTest::newRow("slot of a network resource")
            << QByteArray("  \"TCPIP0::h::INSTR\": {slot: 2}\n")
            << "\"slot\" applies to VXI resources only";
        QTest::newRow("slot number") << vxi + "    carrier: {slots: {0: {}}}\n"
                                     << "must be an integer function card number 1..64";
    }
    void badBenchGivesOneMessageAndNoResources() {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        zsim_useDefaultBench();
        simtest::StderrCapture capture;
        QCOMPARE(zsim_loadBenchText(QByteArray(kHead + body).constData(), "bad.yaml"), -1);
        const QStringList lines = capture.lines();
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith("zelvan sim: bad.yaml:"), qPrintable(lines[0]));
        QVERIFY2(lines[0].contains(message), qPrintable(lines[0]));
        QCOMPARE(resourceCount(), 0);
    }

    void badTopLevel() {
        for (const char* text : {"", "version: 2\n", "resources: {}\n", "- 1\n- 2\n", "\x01\x02"}) {
            simtest::StderrCapture capture;
            QCOMPARE(zsim_loadBenchText(text, "top.yaml"), -1);
            const QStringList lines = capture.lines();
            QCOMPARE(lines.size(), 1);
            QVERIFY(lines[0].startsWith("zelvan sim: top.yaml"));
        }
        simtest::StderrCapture capture;
        QCOMPARE(zsim_loadBenchFile("/nonexistent/bench.yaml"), -1);
        QCOMPARE(capture.lines(), QStringList{"zelvan sim: /nonexistent/bench.yaml: cannot be "
                                              "read: No such file or directory"});
    }

    void defaultsAndLenientForms() {
        QCOMPARE(zsim_loadBenchText(R"(version: 1
resources:
  "VXI0::1::INSTR":
    carrier: {model: 0x957, slot_count: 6, slots: {2: {code: 0x4720}, 3: ~}}
  "ASRL3::INSTR":
)",
                                    "ok.yaml"),
                 0);
        QCOMPARE(resourceCount(), 2);
        const QString d = description();
        QVERIFY2(d.contains("slot_count: 6"), qPrintable(d));
        QVERIFY2(d.contains("code: 0x4720, variant: \"\", range: [-10, 10]"), qPrintable(d));
        QVERIFY2(d.contains("subtype: \"AA\", firmware: \"1.0.3\""), qPrintable(d));
        char name[5] = {};
        QCOMPARE(zsim_benchName(name, sizeof name), 7);
        QCOMPARE(QString(name), QString("ok.y")); // cut to fit, terminated
    }

    void defaultBenchFileEqualsTheBuiltInOne() {
        zsim_useDefaultBench();
        const QString builtIn = description();
        QCOMPARE(zsim_loadBenchFile(ZSIM_BENCHES_DIR "/default.yaml"), 0);
        QCOMPARE(description(), builtIn);
        QCOMPARE(resourceCount(), 3);
        QCOMPARE(zsim_loadBenchFile(ZSIM_BENCHES_DIR "/typical.yaml"), 0);
        QCOMPARE(resourceCount(), 1);
    }

    void descriptionReadsBackAsTheSameBench() {
        zsim_useDefaultBench();
        const QByteArray first = description().toUtf8();
        QCOMPARE(zsim_loadBenchText(first.constData(), "again.yaml"), 0);
        QCOMPARE(description().toUtf8(), first);
    }

    void hostileFilesAreRefusedBeforeReading() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo.yaml");
        QCOMPARE(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
        QFile sparse(writeFile(dir, "sparse.yaml", kHead));
        QVERIFY(sparse.resize(qint64(2) << 30)); // no blocks: refused by its size alone
        QByteArray dense = "version: 1\nresources: {}\nx: [";
        for (int i = 0; i < 300000; ++i)
            dense += "1,";
        QByteArray many = kHead;
        for (int i = 0; i <= 10000; ++i)
            many += "  \"ASRL" + QByteArray::number(i) + "::INSTR\": {}\n";
        const QList<std::pair<QString, QString>> cases{
            {fifo, "not a regular file"},
            {"/dev/zero", "not a regular file"},
            {dir.path(), "not a regular file"},
            {sparse.fileName(), "larger than 16 MiB"},
            {writeFile(dir, "empty.yaml", ""), "empty file"},
            {writeFile(dir, "dense.yaml", dense + "1]\n"), "more than 250000 YAML nodes"},
            {QFINDTESTDATA("hostile/deep.yaml"), "nested deeper than 16 levels"},
            {writeFile(dir, "many.yaml", many), "more than 10000 resources"},
            {writeFile(dir, "alias.yaml", aliasFanOut()), "more than 250000 entries"},
        };
        for (const auto& [path, reason] : cases) {
            const QByteArray name = path.toUtf8();
            char text[256] = {};
            QCOMPARE(zsim_checkBenchFile(name.constData(), text, sizeof text), -1);
            QVERIFY2(QString(text).startsWith(path + ":") && QString(text).contains(": " + reason),
                     text);
            simtest::StderrCapture capture;
            QCOMPARE(zsim_loadBenchFile(name.constData()), -1);
            QCOMPARE(capture.lines(), QStringList{"zelvan sim: " + QString(text)});
            QCOMPARE(resourceCount(), 0);
        }
        QCOMPARE(zsim_checkBenchFile(ZSIM_BENCHES_DIR "/typical.yaml", nullptr, 0), 0);
    }

    void fileTextReachesTheTerminalEscaped() {
        simtest::StderrCapture capture;
        QCOMPARE(zsim_loadBenchFile(QFINDTESTDATA("hostile/escape.yaml").toUtf8().constData()), -1);
        const QStringList lines = capture.lines();
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].endsWith("\"\\x1B]0;owned\\x07\\x1B[2J::INSTR\": not a VISA resource "
                                   "descriptor"),
                 qPrintable(lines[0]));
    }

    void survivesHostileInput() {
        simtest::StderrCapture capture; // messages expected; nothing may crash
        const QByteArray deep = QByteArray(100000, '[') + QByteArray(100000, ']');
        QCOMPARE(zsim_loadBenchText(deep.constData(), "deep.yaml"), -1);
        const QByteArray anchors =
            "version: 1\nresources:\n  \"ASRL1::INSTR\": &a {faults: &f {viOpen: -1}}\n"
            "  \"ASRL2::INSTR\": *a\n  \"ASRL3::INSTR\": {faults: *f}\n";
        QCOMPARE(zsim_loadBenchText(anchors.constData(), "anchors.yaml"), 0);
        std::mt19937 random(4720);
        const QByteArray alphabet = "version: 1\nresources{}[]:,\"'&*!|>-#0x4720VXI0::3::INSTR \t";
        for (int round = 0; round < 2000; ++round) {
            QByteArray text = kHead;
            const int length = int(random() % 200);
            for (int i = 0; i < length; ++i)
                text += alphabet[int(random() % alphabet.size())];
            zsim_loadBenchText(text.constData(), "random.yaml");
        }
        QVERIFY(capture.lines().size() > 1);
    }
};

QTEST_GUILESS_MAIN(tst_benchFile)
#include "tst_benchFile.moc"
