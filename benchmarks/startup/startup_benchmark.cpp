// Start-up of the panel split into what the operator waits for, each figure
// beside a bare Qt 6 program that shows one window, all started alternately
// in one run (so the machine's load falls on all alike) and compared by
// their medians (and, as a check on a busy machine, by the median of each
// round's own panel/bare ratio):
//
//   1. the first window (the splash) painted, from process start;
//   2. from the operator's click on the choice box's button to the panel
//      painted, in demo mode and on the hardware path ("Auto Find" with one
//      local card), the click coming a while after the box was painted;
//   3. the whole, with the choice answered at once: process start to the
//      panel painted, and peak resident memory (VmHWM).
//
//   startup_benchmark [runs] [settle ms]   prints the table; exit 1 when a
//                                          figure misses its goal
//
// The platform is the environment's: under xvfb-run it is xcb, without a
// display offscreen.

#include "StartupRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
const int kDefaultRuns = 21;
// An operator needs longer than this to read the box and reach the button.
const int kDefaultSettleMs = 300;
const double kFirstWindowGoal = 1.1;
const double kDemoClickGoalMs = 30;
const double kCardClickGoalMs = 50;
const double kWholeGoal = 1.3;
const char* const kDemoChoice = "Run In Demo Mode";
const char* const kCardChoice = "Auto Find";

QProcessEnvironment baseEnvironment(const QString& profile) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) &&
        !env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The built-in bench, no trace, a descriptor folder of its own.
    env.remove(QStringLiteral("ZELVAN_SIM_BENCH"));
    env.remove(QStringLiteral("ZELVAN_SIM_TRACE"));
    env.insert(QStringLiteral("ALLUSERSPROFILE"), profile);
    return env;
}

QProcessEnvironment withBench(QProcessEnvironment env, const char* bench) {
    env.insert(QStringLiteral("ZELVAN_SIM_BENCH"), QString::fromLocal8Bit(bench));
    return env;
}

QString range(const QList<double>& values, const char* format) {
    if (values.isEmpty())
        return QStringLiteral("-");
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    return QString::asprintf(format, median(values), *lo, *hi);
}

// The median of the runs' own ratios: each panel run is set beside the bare
// run just before it, which met the same load.
double pairedRatio(const QList<double>& bare, const QList<double>& panel) {
    QList<double> ratios;
    for (qsizetype i = 0; i < qMin(bare.size(), panel.size()); ++i)
        ratios << panel[i] / bare[i];
    return median(ratios);
}

// The ratio of the medians is held against the goal (0: none, the row is for
// information); the median of the paired ratios is shown beside it.
bool printRatioRow(const char* figure, const QList<double>& bare, const QList<double>& panel,
                   double goal, const char* unit) {
    const double ratio = median(panel) / median(bare);
    const char* format = qstrcmp(unit, "kB") == 0 ? "%.0f (%.0f-%.0f)" : "%.1f (%.1f-%.1f)";
    std::printf("%-44s %-22s %-22s %6.2f %6.2f", figure, qPrintable(range(bare, format)),
                qPrintable(range(panel, format)), ratio, pairedRatio(bare, panel));
    if (goal > 0)
        std::printf("  <= %.2f x  %s", goal, ratio <= goal ? "met" : "MISSED");
    std::printf("\n");
    return goal <= 0 || ratio <= goal;
}

bool printSpanRow(const char* figure, const QList<double>& panel, double goalMs) {
    const double ms = median(panel);
    std::printf("%-44s %-22s %-22s %6.2f %6s  <= %.0f ms   %s\n", figure, "",
                qPrintable(range(panel, "%.1f (%.1f-%.1f)")), ms / goalMs, "", goalMs,
                ms <= goalMs ? "met" : "MISSED");
    return ms <= goalMs;
}

// Every moment the program reported, in the order of their medians, with
// the page faults up to it.
void printMoments(const StartupRun& run) {
    QList<QPair<double, QByteArray>> moments;
    for (const QByteArray& name : run.samples().value(0).ms.keys())
        moments << qMakePair(median(run.spans("start", name)), name);
    std::sort(moments.begin(), moments.end());
    std::printf("\n%s, median ms from process start, page faults so far:\n", run.label());
    for (const auto& [ms, name] : moments)
        std::printf("  %-20s %8.1f %8.0f\n", name.constData(), ms, median(run.faults(name)));
}

bool runAll(QList<StartupRun*> programs, int runs) {
    // One unmeasured start each fills the page cache.
    for (StartupRun* p : programs) {
        StartupRun warmUp = *p;
        if (!warmUp.runOnce())
            return false;
    }
    for (int i = 0; i < runs; ++i) {
        for (StartupRun* p : programs) {
            if (!p->runOnce())
                return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : kDefaultRuns;
    const QString settle =
        QString::number(argc > 2 ? std::max(0, atoi(argv[2])) : kDefaultSettleMs);
    const QDir here(QCoreApplication::applicationDirPath());
    const QString minimalPath = here.filePath(QStringLiteral("startup_minimal"));
    const QString panelPath = here.filePath(QStringLiteral("startup_panel"));
    QTemporaryDir profile;
    const QProcessEnvironment env = baseEnvironment(profile.path());

    StartupRun bare("bare window", minimalPath, {}, env);
    StartupRun whole("panel, choice answered at once", panelPath, {}, env);
    StartupRun demo("panel, demo clicked", panelPath,
                    {QStringLiteral("--settle"), settle, QStringLiteral("--choice"),
                     QString::fromLatin1(kDemoChoice)},
                    env);
    StartupRun card("panel, Auto Find clicked", panelPath,
                    {QStringLiteral("--settle"), settle, QStringLiteral("--choice"),
                     QString::fromLatin1(kCardChoice)},
                    withBench(env, SFP_TYPICAL_BENCH));
    if (!runAll({&bare, &whole, &demo, &card}, runs))
        return 2;

    std::printf("Start-up beside a bare Qt 6 window; platform %s; %d alternating runs of each "
                "program;\nmedian (min-max) in ms from process start unless said; the click %s ms "
                "after the choice box was painted\n\n",
                qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))),
                runs, qPrintable(settle));
    std::printf("%-44s %-22s %-22s %6s %6s  %s\n", "figure", "bare window", "panel", "ratio",
                "paired", "goal");
    bool met = printRatioRow("1 first window (splash) painted", bare.spans("start", "first"),
                             whole.spans("start", "first"), kFirstWindowGoal, "ms");
    met &= printSpanRow("2 click \"Run In Demo Mode\" -> panel painted",
                        demo.spans("click", "panel"), kDemoClickGoalMs);
    met &= printSpanRow("  click \"Auto Find\" (1 local card) -> painted",
                        card.spans("click", "panel"), kCardClickGoalMs);
    met &= printRatioRow("3 whole, choice at once: panel painted", bare.spans("start", "panel"),
                         whole.spans("start", "panel"), kWholeGoal, "ms");
    met &= printRatioRow("  peak resident memory (VmHWM kB)", bare.kb("VmHWM"), whole.kb("VmHWM"),
                         kWholeGoal, "kB");
    printRatioRow("  of which at the end anonymous (kB)", bare.kb("RssAnon"), whole.kb("RssAnon"),
                  0, "kB");
    printRatioRow("  and file-backed (kB)", bare.kb("RssFile"), whole.kb("RssFile"), 0, "kB");
    printMoments(bare);
    printMoments(whole);
    std::printf("\n%s\n", met ? "all goals met" : "GOAL MISSED");
    return met ? 0 : 1;
}
