// Start-up of the panel on the demo path, from process start until its main
// window is first painted, beside a minimal Qt 6 program that shows one
// window: both started alternately in one run, several times each; the
// medians of wall time and of peak resident memory (VmHWM) are compared.
//
//   startup_benchmark [runs]     prints the table; exit 1 when a ratio is
//                                above its target

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
const int kDefaultRuns = 15;
const double kTimeTarget = 1.3;
const double kMemoryTarget = 1.3;
const int kTimeoutMs = 60000;

struct Sample {
    double ms = 0;
    long peakKb = 0;
};

struct Program {
    const char* label;
    QString path;
    QList<Sample> samples;
};

// One start of the program: time until it reports its window shown.
bool runOnce(const QString& path, const QProcessEnvironment& env, Sample* sample) {
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(path, {});
    QByteArray out;
    while (!out.contains('\n') && clock.elapsed() < kTimeoutMs) {
        if (!child.waitForReadyRead(kTimeoutMs - int(clock.elapsed())))
            break;
        out += child.readAllStandardOutput();
    }
    sample->ms = clock.nsecsElapsed() / 1e6;
    const QList<QByteArray> fields = out.trimmed().split(' ');
    const bool shown = fields.size() == 2 && fields[0] == "shown";
    if (shown)
        sample->peakKb = fields[1].toLong();
    if (!child.waitForFinished(kTimeoutMs)) {
        child.kill();
        child.waitForFinished();
        return false;
    }
    return shown && child.exitCode() == 0;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double medianMs(const Program& p) {
    QList<double> v;
    for (const Sample& s : p.samples)
        v << s.ms;
    return median(v);
}

double medianKb(const Program& p) {
    QList<double> v;
    for (const Sample& s : p.samples)
        v << double(s.peakKb);
    return median(v);
}

QProcessEnvironment childEnvironment(const QString& profile) {
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

void printRow(const Program& p) {
    QList<double> ms;
    for (const Sample& s : p.samples)
        ms << s.ms;
    std::printf("%-26s %10.1f %10.1f %10.1f %12.0f\n", p.label, medianMs(p),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
                medianKb(p));
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : kDefaultRuns;
    const QDir here(QCoreApplication::applicationDirPath());
    QTemporaryDir profile;
    const QProcessEnvironment env = childEnvironment(profile.path());
    Program minimal{"minimal Qt 6 window", here.filePath(QStringLiteral("startup_minimal")), {}};
    Program panel{"panel (demo path)", here.filePath(QStringLiteral("startup_panel")), {}};

    // One unmeasured start each fills the page cache; then alternate, so that
    // the machine's load falls on both alike.
    Sample warmUp;
    if (!runOnce(minimal.path, env, &warmUp) || !runOnce(panel.path, env, &warmUp)) {
        std::fprintf(stderr, "startup_benchmark: a program did not report its window\n");
        return 2;
    }
    for (int i = 0; i < runs; ++i) {
        for (Program* p : {&minimal, &panel}) {
            Sample sample;
            if (!runOnce(p->path, env, &sample)) {
                std::fprintf(stderr, "startup_benchmark: %s failed\n", p->label);
                return 2;
            }
            p->samples << sample;
        }
    }

    const double timeRatio = medianMs(panel) / medianMs(minimal);
    const double memoryRatio = medianKb(panel) / medianKb(minimal);
    std::printf("From process start to the main window painted; platform %s; %d runs each\n\n",
                qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))),
                runs);
    std::printf("%-26s %10s %10s %10s %12s\n", "program", "median ms", "min ms", "max ms",
                "VmHWM kB");
    printRow(minimal);
    printRow(panel);
    std::printf("\n%-26s %10.2f %34.2f\n", "ratio panel / minimal", timeRatio, memoryRatio);
    std::printf("%-26s %10.2f %34.2f\n", "target at most", kTimeTarget, kMemoryTarget);
    const bool met = timeRatio <= kTimeTarget && memoryRatio <= kMemoryTarget;
    std::printf("\n%s\n", met ? "targets met" : "TARGET MISSED");
    return met ? 0 : 1;
}
