// The random operator of tests/soak for as long as asked: seed after seed,
// each a fresh panel driven for actions-per-seed steps. A failing seed is
// shortened and printed with the command that reproduces it, and the run
// goes on with the next seed. Resident memory (VmRSS) is sampled every
// 10,000 steps, with the window at one size and freed heap given back, so
// that samples compare; after the warm-up (the first two samples) it may grow
// by at most 1 MB.
//
//   soak_benchmark [actions=1000000] [actions-per-seed=20000] [first-seed=1000]
//   exit 1 when a seed failed or memory grew too much
#include "SoakRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>

#include <cstdio>
#include <malloc.h>

namespace {
const long kGrowthLimitKb = 1024;
const int kSampleEvery = 10000;
const int kWarmUpSamples = 2;

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void quietPlatformNotes(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (!text.startsWith(QLatin1String("This plugin does not support")))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(quietPlatformNotes);
    const qint64 total = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    const int perSeed = argc > 2 ? QByteArray(argv[2]).toInt() : 20000;
    const quint64 firstSeed = argc > 3 ? QByteArray(argv[3]).toULongLong() : 1000;

    SoakRun run;
    QElapsedTimer clock;
    clock.start();
    long baselineKb = -1;
    long maxGrowthKb = 0;
    long lastKb = 0;
    int samples = 0;
    run.setSampler(kSampleEvery, [&](QWidget* panel) {
        panel->resize(800, 600);
        QCoreApplication::processEvents();
        malloc_trim(0);
        lastKb = residentKb();
        if (++samples == kWarmUpSamples)
            baselineKb = lastKb;
        if (baselineKb >= 0)
            maxGrowthKb = qMax(maxGrowthKb, lastKb - baselineKb);
    });
    int faults = 0;
    quint64 seed = firstSeed;
    for (qint64 done = 0; done < total; done += perSeed, ++seed) {
        const int count = int(qMin<qint64>(perSeed, total - done));
        const SoakActions actions = soakActionsFor(seed, count);
        const QString failure = run.run(actions);
        if (!failure.isEmpty()) {
            ++faults;
            const SoakActions shortest = run.shrink(actions);
            std::printf("FAULT seed %llu: %s\n  reproduce: tst_soak --seed %llu --actions %d\n"
                        "  shortest (%d steps): %s\n",
                        seed, qPrintable(failure), seed, count, int(shortest.size()),
                        qPrintable(soakActionsText(shortest)));
        }
        const SoakRun::Figures& f = run.figures();
        std::printf("seed %llu: %lld actions, %lld writes (%lld failed), %lld resets, %lld boxes, "
                    "%lld s, last RSS sample %ld kB (max growth %ld)\n",
                    seed, f.actions, f.writes, f.failedWrites, f.resets, f.boxes,
                    clock.elapsed() / 1000, lastKb, maxGrowthKb);
        std::fflush(stdout);
    }
    const SoakRun::Figures& f = run.figures();
    std::printf("\nactions %lld, writes %lld (failed %lld), resets %lld, boxes %lld, faults %d, "
                "time %lld s, RSS growth after warm-up %ld kB (limit %ld)\n",
                f.actions, f.writes, f.failedWrites, f.resets, f.boxes, faults,
                clock.elapsed() / 1000, maxGrowthKb, kGrowthLimitKb);
    return faults == 0 && maxGrowthKb <= kGrowthLimitKb ? 0 : 1;
}
