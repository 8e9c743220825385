// A random operator on the real panel: seeded step lists of typing, keys,
// wheel, Reset, About, What's This, Close and resizing, while the bench
// injects statuses. A failure prints the shortest list that still fails and
// the command that reproduces it:
//   tst_soak --seed N [--actions M]     tst_soak --replay "type 3 '1e3' enter; ..."
#include "SoakRun.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {
const char* const kYesChild = "--yes-child";
const int kCiActions = 5000;
const int kActionsPerSeed = 1000;
const long kWriteError = -1074001919;

// The offscreen platform says, for each window, what it cannot do (raise,
// grab the keyboard); thousands of steps would bury the test's own output.
QtMessageHandler g_previousHandler = nullptr;
void withoutPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.startsWith(QLatin1String("This plugin does not support")) && g_previousHandler)
        g_previousHandler(type, context, text);
}

void filterPlatformNotes() {
    const QtMessageHandler previous = qInstallMessageHandler(withoutPlatformNotes);
    if (previous != withoutPlatformNotes)
        g_previousHandler = previous;
}

int envNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Runs the list; on a failure prints it shortened and returns the failure.
QString runAndShrink(const SoakActions& actions, const QString& reproduce) {
    SoakRun run;
    const QString failure = run.run(actions);
    const SoakRun::Figures& f = run.figures();
    std::fprintf(stderr, "soak: %lld actions, %lld writes (%lld failed), %lld resets, %lld boxes\n",
                 f.actions, f.writes, f.failedWrites, f.resets, f.boxes);
    if (failure.isEmpty())
        return failure;
    const SoakActions shortest = run.shrink(actions);
    const QString report = QStringLiteral("%1\n  reproduce: %2\n  shortest (%3 steps): %4\n  %5")
                               .arg(failure, reproduce)
                               .arg(shortest.size())
                               .arg(soakActionsText(shortest), run.run(shortest));
    std::fprintf(stderr, "%s\n", qPrintable(report));
    return report;
}

// Child process: error boxes are answered Yes, which must end the process
// with 0 and leave the session open.
int runYesChild(quint64 seed, const QString& tracePath) {
    SoakRun run;
    run.setTracePath(tracePath);
    run.setAnswerErrorsYes(true);
    SoakActions actions = soakActionsFor(seed, 200);
    SoakAction fault;
    fault.kind = SoakAction::Kind::Fault;
    fault.word = QStringLiteral("qv4720_writeChannel");
    fault.status = kWriteError;
    SoakAction hold;
    hold.kind = SoakAction::Kind::Hold;
    hold.text = QStringLiteral("up");
    actions << fault << hold;
    run.run(actions);
    return 3; // no error box ended the run
}

int runFromCommandLine(const QStringList& args) {
    SoakActions actions;
    QString reproduce = args.join(QLatin1Char(' '));
    const int replay = args.indexOf(QStringLiteral("--replay"));
    if (replay >= 0) {
        if (!soakActionsFromText(args.value(replay + 1), &actions)) {
            std::fprintf(stderr, "cannot read the step list\n");
            return 2;
        }
    } else {
        const quint64 seed = args.value(args.indexOf(QStringLiteral("--seed")) + 1).toULongLong();
        const int at = args.indexOf(QStringLiteral("--actions"));
        actions = soakActionsFor(seed, at >= 0 ? args.value(at + 1).toInt() : kActionsPerSeed);
    }
    const QString failure = runAndShrink(actions, reproduce);
    std::printf("%s\n", failure.isEmpty() ? "soak: every check held" : "soak: FAILED");
    return failure.isEmpty() ? 0 : 1;
}
} // namespace

class tst_soak : public QObject {
    Q_OBJECT
private slots:
    void init() { filterPlatformNotes(); }

    // SOAK_ACTIONS and SOAK_SEED change the amount and the first seed.
    void randomOperatorKeepsEveryCheck() {
        const int total = envNumber("SOAK_ACTIONS", kCiActions);
        const int first = envNumber("SOAK_SEED", 1);
        for (int done = 0, seed = first; done < total; done += kActionsPerSeed, ++seed) {
            const int count = qMin(kActionsPerSeed, total - done);
            const QString reproduce = QStringLiteral("%1 --seed %2 --actions %3")
                                          .arg(QCoreApplication::applicationFilePath())
                                          .arg(seed)
                                          .arg(count);
            const QString failure = runAndShrink(soakActionsFor(quint64(seed), count), reproduce);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        }
    }

    // Step lists that once broke a check.
    void regressions_data() {
        QTest::addColumn<QString>("steps");
        QTest::newRow("warning text refused")
            << "fault qv4720_error_message 1; fault qv4720_writeChannel 1073481985; wheel 2 1";
    }
    void regressions() {
        QFETCH(QString, steps);
        SoakActions actions;
        QVERIFY(soakActionsFromText(steps, &actions));
        SoakRun run;
        const QString failure = run.run(actions);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void errorAnsweredYesEndsWithoutClose() {
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("trace.txt"));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kYesChild), QStringLiteral("7"), trace});
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray lines = file.readAll();
        QVERIFY(lines.contains("qv4720_writeChannel(") || lines.contains("qv4720_reset("));
        QVERIFY(!lines.contains("qv4720_close("));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 3 && args[1] == QLatin1String(kYesChild))
        return runYesChild(args[2].toULongLong(), args[3]);
    if (args.contains(QStringLiteral("--seed")) || args.contains(QStringLiteral("--replay")))
        return runFromCommandLine(args.mid(1));
    filterPlatformNotes();
    tst_soak test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_soak.moc"
