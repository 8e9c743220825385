// Runs the resource search of the selection dialog against generated benches:
// N network carriers that each take L = 200 ms to open, beside 1000 local VXI
// carriers that open at once. Each bench runs in a child process of its own so
// that its peak memory is its own.
//
//   discovery_benchmark            prints the table
//   discovery_benchmark --run N    one bench, one result line (used by the table)

#include "qv4000fp_fcSelect.h"
#include "qv4720_fc.h"
#include "zelvan_sim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {
const int kLatencyMs = 200;
const int kLocalCarriers = 1000;
const int kNetworkCounts[] = {1, 8, 32, 128, 256, 1024};
const int kRuns = 3; // the machine may be busy: the median run is shown

// Local carriers with cards of other models only, so every one of them gets
// its rows in the tree; then network carriers with one drivable card each.
// VISA lists the local ones first: the network queries come last in the map.
QByteArray benchYaml(int network) {
    QString yaml = QStringLiteral("version: 1\nresources:\n");
    for (int i = 0; i < kLocalCarriers; ++i) {
        yaml += QStringLiteral("  \"VXI%1::%2::INSTR\": {slot: %2, carrier: {model: 2391, slots: "
                               "{1: {code: 0x5C5C}, 3: {code: 0x4860, variant: \"AB\"}}}}\n")
                    .arg(i / 200)
                    .arg(i % 200 + 1);
    }
    for (int i = 0; i < network; ++i) {
        const QString address =
            QStringLiteral("10.%1.%2.%3").arg(i / 62500).arg(i / 250 % 250).arg(i % 250 + 1);
        yaml += QStringLiteral("  \"TCPIP0::%1::INSTR\": {address: %1, latency_ms: %2, carrier: "
                               "{model: 2391, slots: {1: {code: 0x4720}}}}\n")
                    .arg(address)
                    .arg(kLatencyMs);
    }
    return yaml.toUtf8();
}

long peakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Notes when the progress dialog appears: the local queries are over then.
class ProgressClock : public QObject {
public:
    explicit ProgressClock(const QElapsedTimer& clock) : m_clock(clock) {}
    qint64 shownAtNs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && shownAtNs < 0 &&
            qobject_cast<QProgressDialog*>(watched))
            shownAtNs = m_clock.nsecsElapsed();
        return false;
    }

private:
    const QElapsedTimer& m_clock;
};

// Answers the card-limit warning that benches with more than 256 cards raise.
void answerBoxes() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (!box->buttons().isEmpty())
                box->buttons().first()->click();
        }
    });
    timer->start(5);
}

int runOne(int network) {
    zsim_setTrace("");
    const QByteArray yaml = benchYaml(network);
    if (zsim_loadBenchText(yaml.constData(), "benchmark") != 0)
        return 1;
    qv4720_fc card;
    qv4000fp_fcSelect dialog(&card, 0);
    answerBoxes();
    QApplication::processEvents();
    const long idleKb = peakResidentKb();

    QElapsedTimer clock;
    ProgressClock progress(clock);
    qApp->installEventFilter(&progress);
    clock.start();
    const int found = dialog.autoFind();
    const qint64 totalNs = clock.nsecsElapsed();
    const long peakKb = peakResidentKb();
    std::printf("%d %d %lld %lld %ld %ld\n", network, found, totalNs, progress.shownAtNs, idleKb,
                peakKb);
    return 0;
}

struct Result {
    int cards = 0;
    double totalMs = 0;
    double localMs = 0;
    double idleMb = 0;
    double peakMb = 0;
};

bool runChild(const QString& program, int network, Result* result) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--run"), QString::number(network)});
    child.waitForFinished(-1);
    const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || f.size() != 6)
        return false;
    result->cards = f[1].toInt();
    result->totalMs = f[2].toLongLong() / 1e6;
    result->localMs = f[3].toLongLong() / 1e6;
    result->idleMb = f[4].toLong() / 1024.0;
    result->peakMb = f[5].toLong() / 1024.0;
    return true;
}

int printTable(const QString& program) {
    std::printf("L = %d ms per network open; %d local VXI carriers in every bench;\n"
                "median of %d runs by wall time\n\n",
                kLatencyMs, kLocalCarriers, kRuns);
    std::printf("%6s %6s %10s %10s %10s %9s %12s %9s %9s %9s\n", "N", "cards", "wall ms",
                "local ms", "netw. ms", "netw./L", "ms/local", "idle MB", "peak MB", "+MB");
    for (int network : kNetworkCounts) {
        QList<Result> runs;
        for (int i = 0; i < kRuns; ++i) {
            Result result;
            if (runChild(program, network, &result))
                runs << result;
        }
        if (runs.isEmpty()) {
            std::printf("%6d  failed\n", network);
            continue;
        }
        std::sort(runs.begin(), runs.end(),
                  [](const Result& a, const Result& b) { return a.totalMs < b.totalMs; });
        const Result& r = runs.at(runs.size() / 2);
        const double networkMs = r.totalMs - r.localMs;
        std::printf("%6d %6d %10.1f %10.1f %10.1f %9.2f %12.4f %9.1f %9.1f %9.1f\n", network,
                    r.cards, r.totalMs, r.localMs, networkMs, networkMs / kLatencyMs,
                    r.localMs / kLocalCarriers, r.idleMb, r.peakMb, r.peakMb - r.idleMb);
    }
    std::printf("\nlocal ms: from the call until the progress dialog shows (search and local\n"
                "queries); netw. ms: the rest (network queries, sorting, tree).\n");
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--run"))
        return runOne(args[2].toInt());
    return printTable(app.applicationFilePath());
}
