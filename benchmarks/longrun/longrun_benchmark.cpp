// Writes channel values through the panel's own controls, 100,000 times after
// a warm-up, on a one-card bench with the trace on, and checks that resident
// memory (VmRSS) grows by at most 1 MB after the warm-up and that the trace
// and the bench's call count hold exactly the writes made.
//
//   longrun_benchmark [writes]    prints the table; exit 1 when a check fails

#include "ModalAnswerer.h"
#include "qv4720_dblCtrl.h"
#include "qv4720_fc.h"
#include "qv4720fp_App.h"
#include "qv4720fp_Config.h"
#include "zelvan_sim.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {
const int kDefaultWrites = 100000;
const int kWarmUpWrites = 10000;
const int kSampleEvery = 10000;
const int kEventsEvery = 1000;
const long kGrowthLimitKb = 1024;

const char* const kBench = R"(version: 1
resources:
  "VXI0::3::INSTR":
    slot: 3
    carrier:
      model: 2391
      slots:
        2: {code: 0x4720, range: [-10, 10]}
)";

long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(strlen(field))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Successful writes in the trace file.
long tracedWrites(const QString& path) {
    QFile trace(path);
    if (!trace.open(QIODevice::ReadOnly))
        return -1;
    long count = 0;
    while (!trace.atEnd()) {
        const QByteArray line = trace.readLine().trimmed();
        if (line.startsWith("qv4720_writeChannel(") && line.endsWith(") = 0"))
            ++count;
    }
    return count;
}

// Drives the channel controls as an operator would: every call changes one
// control to a new value inside the card's range (and inside the controls'
// own 0..99.99 whatever their limits), which the panel writes at once.
class Writer {
public:
    explicit Writer(qv4720fp_Config* page) : m_page(page) {}

    void write(long count) {
        for (long i = 0; i < count; ++i, ++m_step) {
            const int channel = int(m_step % qv4720fp_Config::ChannelCount) + 1;
            qv4720_dblCtrl* control = m_page->channelControl(channel);
            const double before = control->value();
            control->setValue((m_step % 1000 + 1) / 100.0);
            if (control->value() != before)
                ++m_made;
            if (m_step % kEventsEvery == 0)
                QApplication::processEvents();
        }
    }
    long made() const { return m_made; }

private:
    qv4720fp_Config* m_page;
    long m_step = 0;
    long m_made = 0;
};

// Every channel's last value reached the card.
bool cardMatchesControls(qv4720fp_Config* page) {
    for (int channel = 1; channel <= qv4720fp_Config::ChannelCount; ++channel) {
        double volts = 0;
        if (zsim_channelOutput("VXI0::3::INSTR", 2, channel, &volts) != 0 ||
            volts != page->channelControl(channel)->value())
            return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("ALLUSERSPROFILE", dir.path().toLocal8Bit());
    QApplication app(argc, argv);
    const long writes = argc > 1 ? std::max(1L, atol(argv[1])) : kDefaultWrites;

    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    if (zsim_loadBenchText(kBench, "longrun.yaml") != 0)
        return 2;
    zsim_setTrace(tracePath.toLocal8Bit().constData());

    ModalAnswerer answerer;
    answerer.answer(QStringLiteral("Auto Find"));
    qv4720_fc card;
    qv4720fp_App panel(&card);
    if (panel.demo() || !answerer.unexpected().isEmpty()) {
        std::fprintf(stderr, "longrun_benchmark: the panel did not connect to the bench\n");
        return 2;
    }
    panel.show();
    QApplication::processEvents();
    zsim_resetStatistics();

    Writer writer(panel.config());
    QElapsedTimer clock;
    clock.start();
    writer.write(kWarmUpWrites);
    const long baseKb = statusKb("VmRSS:");
    long maxKb = baseKb;
    std::printf("%10s %10s %10s %12s\n", "writes", "seconds", "VmRSS kB", "growth kB");
    std::printf("%10d %10.2f %10ld %12s\n", kWarmUpWrites, clock.elapsed() / 1e3, baseKb,
                "(warm-up)");
    for (long done = 0; done < writes;) {
        const long step = std::min<long>(kSampleEvery, writes - done);
        writer.write(step);
        done += step;
        const long kb = statusKb("VmRSS:");
        maxKb = std::max(maxKb, kb);
        std::printf("%10ld %10.2f %10ld %12ld\n", kWarmUpWrites + done, clock.elapsed() / 1e3, kb,
                    kb - baseKb);
    }
    const double seconds = clock.elapsed() / 1e3;
    zsim_setTrace("");

    const long made = writer.made();
    const long traced = tracedWrites(tracePath);
    const long counted = zsim_callCount("qv4720_writeChannel");
    const long growth = maxKb - baseKb;
    const bool flat = growth <= kGrowthLimitKb;
    const bool exact = traced == made && counted == made && made == kWarmUpWrites + writes;
    const bool matches = cardMatchesControls(panel.config());
    const bool silent = answerer.seen().size() == 1 && answerer.unexpected().isEmpty();

    std::printf("\nwrites made                 %ld (%.1f us each)\n", made, seconds * 1e6 / made);
    std::printf("trace qv4720_writeChannel   %ld\n", traced);
    std::printf("zsim_callCount              %ld\n", counted);
    std::printf("largest growth after warm-up %ld kB (limit %ld kB)\n", growth, kGrowthLimitKb);
    std::printf("card holds the controls' values: %s; boxes shown after start-up: %s\n",
                matches ? "yes" : "NO", silent ? "none" : "SOME");
    const bool ok = flat && exact && matches && silent;
    std::printf("\n%s\n", ok ? "all checks met" : "CHECK FAILED");
    return ok ? 0 : 1;
}
