// Usage errors, --help and --version, and the manual page and completion
// kept in step with --help. Every run has no display.
#include "CliRun.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {
const char* const kTryHelp = "Try 'qv4720sfp --help'";
const QString kCard = QStringLiteral("-r VXI0::3::INSTR -f 2");

QStringList args(const QString& line) {
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString sourceFile(const char* name) {
    QFile file(QStringLiteral(QV4720SFP_SOURCE_DIR "/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Every "-x" and "--word" in the texts.
QSet<QString> optionNames(const QStringList& texts) {
    static const QRegularExpression option(
        QStringLiteral("(?<![\\w-])(-[a-zA-Z]|--[a-z][a-z0-9-]*)\\b"));
    QSet<QString> names;
    for (const QString& text : texts) {
        for (const QRegularExpressionMatch& match : option.globalMatch(text))
            names << match.captured(1);
    }
    return names;
}

// The option heads of --help: the lines of its "Options:" block that begin
// with an option.
QStringList helpHeads(const QString& help) {
    const QString block =
        help.section(QStringLiteral("Options:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    QStringList heads;
    for (const QString& line : block.split(QLatin1Char('\n'))) {
        // Wrapped description lines begin in the description column.
        if (line.trimmed().startsWith(QLatin1Char('-')) &&
            !line.startsWith(QString(29, QLatin1Char(' '))))
            heads << line.left(28);
    }
    return heads;
}

// The line after each .TP of the OPTIONS section, with roff's \- unescaped.
QStringList manHeads(const QString& page) {
    const QString options =
        page.section(QStringLiteral(".SH OPTIONS\n"), 1).section(QStringLiteral("\n.SH "), 0, 0);
    QStringList heads;
    const QStringList lines = options.split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines.at(i) == QLatin1String(".TP"))
            heads << QString(lines.at(i + 1)).replace(QLatin1String("\\-"), QLatin1String("-"));
    }
    return heads;
}

// The word list the completion offers for "-".
QStringList completionWords(const QString& script) {
    static const QRegularExpression list(QStringLiteral("compgen -W '(-[^']*)'"));
    return {list.match(script).captured(1)};
}
} // namespace

Q_DECLARE_METATYPE(CliRun::Output)

class TestUsage : public QObject {
    Q_OBJECT
private slots:
    void usageErrorOpensNothing_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("unknown option") << "--frobnicate";
        QTest::newRow("unknown short option") << "-x";
        QTest::newRow("stray argument") << "VXI0::3::INSTR";
        QTest::newRow("value for a flag") << "--demo=1";
        QTest::newRow("missing value") << "--list --bench";
        QTest::newRow("toolkit option without value") << "--demo -platform";
        QTest::newRow("list with set") << "--list --set 1=1";
        QTest::newRow("list with resource") << "--list " + kCard;
        QTest::newRow("demo with resource") << "--demo " + kCard;
        QTest::newRow("json without list") << "--json";
        QTest::newRow("reset without resource") << "--reset";
        QTest::newRow("set without resource") << "--set 1=1";
        QTest::newRow("resource without fc") << "-r VXI0::3::INSTR --set 1=1";
        QTest::newRow("fc without resource") << "--fc 2";
        QTest::newRow("fc 0") << "-r VXI0::3::INSTR -f 0 --set 1=1";
        QTest::newRow("fc 9") << "-r VXI0::3::INSTR -f 9 --set 1=1";
        QTest::newRow("fc not a number") << "-r VXI0::3::INSTR -f two";
        QTest::newRow("resource twice") << kCard + " -r VXI0::4::INSTR";
        QTest::newRow("channel 0") << kCard + " --set 0=1";
        QTest::newRow("channel 9") << kCard + " --set 9=1";
        QTest::newRow("no equals sign") << kCard + " --set 1";
        QTest::newRow("not a number") << kCard + " --set 1=1 --set 2=abc";
        QTest::newRow("decimal comma") << kCard + " --set 1=2,5";
        QTest::newRow("not finite") << kCard + " --set 1=inf";
        QTest::newRow("not a number at all") << kCard + " --set 1=nan";
        QTest::newRow("channel twice") << kCard + " --set 1=1 --set 2=2 --set 1=3";
        QTest::newRow("bench missing") << kCard + " --set 1=1 --bench /nonexistent/bench.yaml";
        QTest::newRow("bench is a folder") << "--list --bench /";
        QTest::newRow("bench is a device") << "--list --bench=/dev/zero";
        QTest::newRow("bench is no bench")
            << "--list --bench " + QFINDTESTDATA("../instrument/hostile/deep.yaml");
    }
    void usageErrorOpensNothing() {
        QFETCH(QString, line);
        CliRun cli;
        QCOMPARE(cli.run(args(line)), 2);
        QCOMPARE(cli.out(), QString());
        const QStringList lines = cli.err().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).startsWith(QLatin1String("qv4720sfp: ")), qPrintable(lines.at(0)));
        QCOMPARE(lines.at(1), QString::fromLatin1(kTryHelp));
        if (line.contains(QLatin1String("--bench ")))
            QVERIFY(lines.at(0).contains(args(line).last()));
        QCOMPARE(cli.trace(), QStringList());
    }

    // A bench named by the environment is checked as --bench is; its name
    // may be any bytes.
    void benchFromEnvironmentAndAnyName() {
        CliRun bad("version: 2\nresources: {}\n");
        QCOMPARE(bad.run(args("--list")), 2);
        QVERIFY2(bad.err().startsWith("qv4720sfp: ZELVAN_SIM_BENCH: not a usable bench: " +
                                      bad.benchPath() + ":1: \"version\" must be"),
                 qPrintable(bad.err()));
        QCOMPARE(bad.trace(), QStringList());

        CliRun cli;
        const QString script = QStringLiteral(
            R"sh(d=$(mktemp -d) && f="$d/$(printf 'b\377.yaml')" &&
               printf 'version: 1\nresources: {"VXI0::3::INSTR": {carrier: {slots: {2: {code: 0x4720}}}}}' >"$f" &&
               "$0" --list --json --bench "$f"; status=$?; rm -rf "$d"; exit $status)sh");
        QCOMPARE(cli.runShell(script), 0);
        QVERIFY2(cli.out().contains("VXI0::3::INSTR"), qPrintable(cli.err()));
    }

    void helpAndVersionNeedNoDisplay() {
        CliRun cli;
        QCOMPARE(cli.run({QStringLiteral("--help")}), 0);
        QVERIFY(cli.out().startsWith(QLatin1String("Usage: qv4720sfp")));
        QVERIFY(cli.out().contains(QLatin1String("Exit status:\n  0  success\n")));
        QCOMPARE(cli.trace(), QStringList());

        // The toolkit's own options are no usage error.
        QCOMPARE(cli.run(args("-platform offscreen -style=fusion -h")), 0);

        QCOMPARE(cli.run({QStringLiteral("--version")}), 0);
        QCOMPARE(cli.out(), QStringLiteral("qv4720sfp (Zelvan 4720 Soft Front Panel) 4.3.1.12523\n"
                                           "Instrument Driver: 2.1.0\n"
                                           "Zelvan Common Library: 3.1.0 (simulated)\n"));
        QCOMPARE(cli.trace(QStringLiteral("qv4720_paramInit")), QStringList());
    }

    void versionSurvivesFailingLibraries() {
        CliRun cli("version: 1\n"
                   "faults: {qv4720_revision_query: -1073807360, qv4000_libraryRevision: "
                   "-1073807360}\n"
                   "resources: {}\n");
        QCOMPARE(cli.run({QStringLiteral("-V")}), 0);
        QCOMPARE(cli.out(), QStringLiteral("qv4720sfp (Zelvan 4720 Soft Front Panel) 4.3.1.12523\n"
                                           "Instrument Driver: (not reported)\n"
                                           "Zelvan Common Library: (not reported)\n"));
    }

    void listNeedsNoDisplay() {
        CliRun cli;
        QCOMPARE(cli.run({QStringLiteral("--list")}), 0);
        QVERIFY2(cli.out().contains(QLatin1String("--resource VXI0::3::INSTR --fc 2")),
                 qPrintable(cli.out()));
        QCOMPARE(cli.run(args("-l --json")), 0);
        QJsonParseError error;
        QJsonDocument::fromJson(cli.out().toUtf8(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
    }

    // As GNU tools do: output that never arrived is a failure, said once.
    void lostOutputFails_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<CliRun::Output>("output");
        QTest::addColumn<int>("reason");
        QTest::newRow("list, full disk") << "--list" << CliRun::Output::FullDisk << ENOSPC;
        QTest::newRow("json, full disk") << "--list --json" << CliRun::Output::FullDisk << ENOSPC;
        QTest::newRow("version, full disk") << "--version" << CliRun::Output::FullDisk << ENOSPC;
        QTest::newRow("set, full disk") << "--demo --set 1=1" << CliRun::Output::FullDisk << ENOSPC;
        QTest::newRow("help, closed") << "--help" << CliRun::Output::Closed << EBADF;
        QTest::newRow("list, closed") << "--list" << CliRun::Output::Closed << EBADF;
    }
    void lostOutputFails() {
        QFETCH(QString, line);
        QFETCH(CliRun::Output, output);
        QFETCH(int, reason);
        CliRun cli;
        QCOMPARE(cli.run(args(line), output), 1);
        QCOMPARE(cli.err(), QStringLiteral("qv4720sfp: write error: %1\n")
                                .arg(QString::fromLocal8Bit(std::strerror(reason))));
    }

    void blankPaddedResourceIsRefused() {
        CliRun cli;
        for (const char* resource : {" VXI0::3::INSTR", "VXI0::3::INSTR\t"}) {
            QCOMPARE(cli.run({"-r", resource, "-f", "2", "--set", "1=1"}), 2);
            QVERIFY2(cli.err().startsWith("qv4720sfp: --resource: leading or trailing blanks"),
                     qPrintable(cli.err()));
        }
        QCOMPARE(cli.trace(), QStringList());
    }

    // The toolkit would abort; the program explains instead, and leaves an
    // explicit platform to the toolkit.
    void panelWithoutDisplay() {
        CliRun cli;
        QCOMPARE(cli.run({}), 2);
        QVERIFY2(cli.err().startsWith("qv4720sfp: the panel needs a display"),
                 qPrintable(cli.err()));
        QVERIFY(cli.err().contains("--list, --set, --reset, --version and --help"));
        QCOMPARE(cli.trace(), QStringList());
        QVERIFY(cli.run(args("-platform nosuchplatform")) != 2);
        QVERIFY2(!cli.err().contains("qv4720sfp:"), qPrintable(cli.err()));
    }

    void helpManPageAndCompletionNameTheSameOptions() {
        CliRun cli;
        QCOMPARE(cli.run({QStringLiteral("--help")}), 0);
        const QSet<QString> help = optionNames(helpHeads(cli.out()));
        QCOMPARE(help.size(), 26);
        QCOMPARE(optionNames(manHeads(sourceFile("qv4720sfp.1"))), help);
        QCOMPARE(optionNames(completionWords(sourceFile("qv4720sfp.bash-completion"))), help);
        // Every exit status of --help is explained in the manual page too.
        QVERIFY(sourceFile("qv4720sfp.1").contains(QLatin1String(".SH EXIT STATUS\n.TP\n.B 0\n")));
    }
};

QTEST_GUILESS_MAIN(TestUsage)
#include "tst_usage.moc"
