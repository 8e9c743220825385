// The command line timed as whole processes, from spawn to exit:
//   - "qv4720sfp --list" on a bench of 128 LXI carriers that each take one
//     network round trip (200 ms) to open, beside 1000 local VXI carriers;
//     the goal is at most 1.2 round trips;
//   - "qv4720sfp --help" and "--version" beside a bare QCoreApplication
//     program, run alternately; the goal is a median of at most 50 ms.
// No display: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset.
//
//   cli_benchmark [list-runs [start-runs]]    exit 1 when a goal is missed

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {
const int kLatencyMs = 200;
const int kNetworkCarriers = 128;
const int kLocalCarriers = 1000;
const double kListGoal = 1.2; // round trips
const double kStartGoalMs = 50.0;
const int kDefaultListRuns = 7;
const int kDefaultStartRuns = 21;

// Local carriers first, as VISA lists them, each with one drivable card and
// one other; then the network carriers with one drivable card each.
QByteArray benchYaml(int latencyMs) {
    QByteArray yaml = "version: 1\nresources:\n";
    for (int i = 0; i < kLocalCarriers; ++i) {
        yaml += QStringLiteral("  \"VXI%1::%2::INSTR\": {slot: %2, carrier: {model: 2391, slots: "
                               "{1: {code: 0x4720}, 3: {code: 0x4860, variant: \"AB\"}}}}\n")
                    .arg(i / 200)
                    .arg(i % 200 + 1)
                    .toLatin1();
    }
    for (int i = 0; i < kNetworkCarriers; ++i) {
        yaml += QStringLiteral("  \"TCPIP0::10.0.%1.%2::INSTR\": {latency_ms: %3, carrier: "
                               "{model: 2391, slots: {1: {code: 0x4720}}}}\n")
                    .arg(i / 250)
                    .arg(i % 250 + 1)
                    .arg(latencyMs)
                    .toLatin1();
    }
    return yaml;
}

// The environment of the children: this one's, without a display, with the
// bench when one is given.
std::vector<std::string> childEnvironment(const QString& bench) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM" &&
            name != "ZELVAN_SIM_BENCH" && name != "ZELVAN_SIM_TRACE")
            env.push_back(text);
    }
    if (!bench.isEmpty())
        env.push_back("ZELVAN_SIM_BENCH=" + bench.toStdString());
    return env;
}

// One run of a child: wall time from spawn to exit and the CPU time it used
// (user and system, all its threads), which a busy machine inflates less.
struct Run {
    double wallMs = -1; // negative on failure
    double cpuMs = 0;
};

double milliseconds(const timeval& time) {
    return time.tv_sec * 1e3 + time.tv_usec / 1e3;
}

// Runs the program to its end with its output discarded.
Run timedRun(const QString& program, const QStringList& arguments, std::vector<std::string> env,
             int expectedStatus) {
    std::vector<std::string> args{program.toStdString()};
    for (const QString& argument : arguments)
        args.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    Run run;
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != expectedStatus)
        return run;
    run.wallMs = std::chrono::duration<double, std::milli>(end - start).count();
    run.cpuMs = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    return run;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

// Medians of several runs of one command.
struct Medians {
    QList<double> wall;
    QList<double> cpu;
    bool add(const Run& run) {
        wall << run.wallMs;
        cpu << run.cpuMs;
        return run.wallMs >= 0;
    }
    double wallMs() const { return median(wall); }
    double cpuMs() const { return median(cpu); }
};

// "--list" on the bench whose network carriers take latencyMs each.
bool listMedians(int runs, int latencyMs, Medians* medians) {
    QTemporaryDir dir;
    const QString bench = dir.filePath(QStringLiteral("bench.yaml"));
    QFile file(bench);
    if (!file.open(QIODevice::WriteOnly) || file.write(benchYaml(latencyMs)) < 0)
        return false;
    file.close();
    for (int i = 0; i < runs; ++i) {
        if (!medians->add(timedRun(QStringLiteral(CLI_PROGRAM), {QStringLiteral("--list")},
                                   childEnvironment(bench), 0))) {
            std::fprintf(stderr, "qv4720sfp --list failed\n");
            return false;
        }
    }
    return true;
}

// Beside the goal, the same bench with answers at once: what the process
// costs apart from the round trip (start, bench, local queries, threads).
bool measureList(int runs) {
    Medians network;
    Medians instant;
    if (!listMedians(runs, kLatencyMs, &network) || !listMedians(runs, 0, &instant))
        return false;
    const double ratio = network.wallMs() / kLatencyMs;
    std::printf("--list, %d LXI carriers at %d ms + %d local carriers, median of %d runs:\n",
                kNetworkCarriers, kLatencyMs, kLocalCarriers, runs);
    std::printf("  %.1f ms wall (%.1f ms CPU); ratio to one round trip %.2f (goal <= %.1f) %s\n",
                network.wallMs(), network.cpuMs(), ratio, kListGoal,
                ratio <= kListGoal ? "met" : "MISSED");
    std::printf("  the same bench with no network latency: %.1f ms wall (%.1f ms CPU)\n",
                instant.wallMs(), instant.cpuMs());
    return ratio <= kListGoal;
}

bool measureStarts(int runs) {
    struct Program {
        const char* label;
        QString path;
        QStringList arguments;
        Medians medians;
    };
    QList<Program> programs{
        {"bare QCoreApplication", QStringLiteral(CLI_BARE), {}, {}},
        {"qv4720sfp --help", QStringLiteral(CLI_PROGRAM), {QStringLiteral("--help")}, {}},
        {"qv4720sfp --version", QStringLiteral(CLI_PROGRAM), {QStringLiteral("--version")}, {}}};
    const std::vector<std::string> env = childEnvironment(QString());
    for (int i = 0; i < runs; ++i) {
        for (Program& program : programs) {
            if (!program.medians.add(timedRun(program.path, program.arguments, env, 0))) {
                std::fprintf(stderr, "%s failed\n", program.label);
                return false;
            }
        }
    }
    bool met = true;
    const double bare = programs.first().medians.wallMs();
    std::printf("whole processes, median of %d runs each (goal <= %.0f ms):\n", runs, kStartGoalMs);
    for (const Program& program : programs) {
        const bool baseline = program.path == QStringLiteral(CLI_BARE);
        const double ms = program.medians.wallMs();
        met = met && (baseline || ms <= kStartGoalMs);
        std::printf("  %-22s %7.1f ms wall %6.1f ms CPU  %5.2f x bare  %s\n", program.label, ms,
                    program.medians.cpuMs(), ms / bare,
                    baseline ? "" : (ms <= kStartGoalMs ? "met" : "MISSED"));
    }
    return met;
}
} // namespace

int main(int argc, char* argv[]) {
    const int listRuns = argc > 1 ? std::atoi(argv[1]) : kDefaultListRuns;
    const int startRuns = argc > 2 ? std::atoi(argv[2]) : kDefaultStartRuns;
    if (listRuns < 1 || startRuns < 1) {
        std::fprintf(stderr, "usage: cli_benchmark [list-runs [start-runs]]\n");
        return 2;
    }
    const bool listMet = measureList(listRuns);
    const bool startsMet = measureStarts(startRuns);
    return listMet && startsMet ? 0 : 1;
}
