#include "qv4720fp_PlayCommand.h"

#include "SequenceCsv.h"
#include "SetupFile.h"
#include "SetupRecall.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_CardSession.h"
#include "qv4720fp_ExitStatus.h"
#include "qv4720fp_Print.h"
#include "qv4720fp_StopSignals.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLocale>

#include <unistd.h>

namespace {
const char* const kFileProblem = "%1: %2";
const char* const kUnknownStart =
    "channel %1: its present output is not known (this program has not written it since "
    "the card was opened), so it cannot be ramped at its slew limit";
const char* const kUnusableRange =
    "the card reported no usable output range, so nothing can be written";
const char* const kRefused = "refused, nothing written: %1";
const char* const kRecallWarning = "warning: %1";
const char* const kRecallChange = "recall: channel %1: %2 -> %3";
const char* const kRecallFailed = "recall failed: %1";
const char* const kWriteFailed = "channel %1: %2";
const char* const kWritten = "channel %1: %2 V";
const char* const kProgress = "\rstep %1 of %2, pass %3 of %4 ";
const char* const kStopped = "sequence stopped: %1";
const char* const kDone = "sequence done: %1 steps, %2 passes";
const int kExitInterrupted = 130; // as a shell reports SIGINT

using Session = qv4720fp_CardSession;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

} // namespace

qv4720fp_PlayCommand::qv4720fp_PlayCommand(qv4000fp_genFC* fc,
                                           const qv4000fp_connectRequest& target, bool reset,
                                           const QList<qv4720fp_SetCommand::Setting>& settings,
                                           const qv4720fp_PlayOptions& options)
    : m_fc(fc), m_target(target), m_reset(reset), m_settings(settings), m_options(options) {}

qv4720fp_PlayCommand::~qv4720fp_PlayCommand() = default;

int qv4720fp_PlayCommand::run() {
    if (const int status = readFiles(); status != qv4720fp_ExitSuccess)
        return status;
    Session session(m_fc);
    if (!qv4720fp_SetCommand::openAndReport(session, m_target, m_reset))
        return qv4720fp_ExitLibraryError;
    return qv4720fp_SetCommand::closeAndReport(session, runOpen(session));
}

// The files are the user's input: a fault in them is a usage error, found
// before anything is opened.
int qv4720fp_PlayCommand::readFiles() {
    if (!m_options.play.isEmpty()) {
        const CsvReadResult csv = SequenceCsv::readFile(m_options.play, Session::ChannelCount);
        if (!csv.ok) {
            qv4720fp_printMessage(fromTable(kFileProblem).arg(QStringLiteral("--play"), csv.error));
            return qv4720fp_ExitUsage;
        }
        m_sequence.steps = csv.steps;
        m_sequence.repeat = m_options.repeat;
    }
    if (!m_options.recall.isEmpty()) {
        const SetupReadResult setup = SetupFile::readFile(m_options.recall, Session::ChannelCount);
        if (!setup.ok) {
            qv4720fp_printMessage(
                fromTable(kFileProblem)
                    .arg(QStringLiteral("--recall"), m_options.recall, setup.error));
            return qv4720fp_ExitUsage;
        }
        m_setup = std::make_unique<SavedSetup>(setup.setup);
    }
    return qv4720fp_ExitSuccess;
}

int qv4720fp_PlayCommand::runOpen(Session& session) {
    const ViStatus rangeStatus = session.readOutputRange();
    if (rangeStatus != VI_SUCCESS)
        qv4720fp_printMessage(session.statusReport(rangeStatus, Session::Call::OutputRange));
    if (rangeStatus < VI_SUCCESS || !session.rangeValid()) {
        if (rangeStatus >= VI_SUCCESS)
            qv4720fp_printMessage(fromTable(kUnusableRange));
        return qv4720fp_ExitLibraryError;
    }
    session.readSerialNumber();
    qv4720fp_CardEngine engine(&session);
    int status = applySafety(engine);
    if (status == qv4720fp_ExitSuccess && m_setup)
        status = recall(engine, session);
    if (status == qv4720fp_ExitSuccess)
        status = setChannels(engine, session);
    if (status == qv4720fp_ExitSuccess)
        status = play(engine);
    return status;
}

// Limits outside the card's range, or a slew that is no rate, are refused
// before anything is written.
int qv4720fp_PlayCommand::applySafety(qv4720fp_CardEngine& engine) {
    SafetySettings safety = engine.safety();
    QString problem;
    for (const qv4720fp_PlayOptions::Limit& limit : m_options.limits) {
        if (problem.isEmpty())
            problem = safety.setLimits(limit.channel, limit.low, limit.high);
    }
    for (const qv4720fp_PlayOptions::Slew& slew : m_options.slews) {
        if (problem.isEmpty())
            problem = safety.setSlew(slew.channel, slew.voltsPerSecond);
    }
    if (problem.isEmpty() && (m_options.limits.isEmpty() && m_options.slews.isEmpty()))
        return qv4720fp_ExitSuccess;
    const SinkStatus applied =
        problem.isEmpty() ? engine.engine().setSafety(safety) : SinkStatus::failure(problem);
    if (applied.ok)
        return qv4720fp_ExitSuccess;
    qv4720fp_printMessage(fromTable(kRefused).arg(applied.error));
    return qv4720fp_ExitUsage;
}

int qv4720fp_PlayCommand::recall(qv4720fp_CardEngine& engine, const Session& session) {
    const Session::Identity identity = session.identity();
    const SetupRecall::Plan plan = SetupRecall::plan(
        *m_setup, identity.model, identity.serialNumber, engine.safety(), engine.knownValues());
    if (!plan.error.isEmpty()) {
        qv4720fp_printMessage(fromTable(kRefused).arg(plan.error));
        return qv4720fp_ExitUsage;
    }
    if (!plan.warning.isEmpty())
        qv4720fp_printMessage(fromTable(kRecallWarning).arg(plan.warning));
    for (const SetupChange& change : plan.changes)
        qv4720fp_printLine(
            stdout, fromTable(kRecallChange).arg(change.channel).arg(change.from, change.to));
    const SinkStatus applied = SetupRecall::apply(engine.engine(), plan);
    engine.engine().waitUntilIdle(std::chrono::hours(1));
    if (applied.ok)
        return qv4720fp_ExitSuccess;
    qv4720fp_printMessage(fromTable(kRecallFailed).arg(applied.error));
    return qv4720fp_ExitLibraryError;
}

// Every value is checked before the first is written.
int qv4720fp_PlayCommand::setChannels(qv4720fp_CardEngine& engine, const Session& session) {
    if (m_settings.isEmpty())
        return qv4720fp_ExitSuccess;
    SetpointEngine& setpoints = engine.engine();
    bool allowed = true;
    for (const qv4720fp_SetCommand::Setting& setting : m_settings) {
        const CheckResult check =
            setpoints.check(setting.channel, setting.volts, LimitMode::Refuse);
        const bool ramped = setpoints.safety().channel(setting.channel).slewVps.has_value();
        const QString reason = !check.ok ? check.reason
                               : ramped && !session.setpoint(setting.channel)
                                   ? fromTable(kUnknownStart).arg(setting.channel)
                                   : QString();
        if (!reason.isEmpty()) {
            qv4720fp_printMessage(fromTable(kRefused).arg(reason));
            allowed = false;
        }
    }
    if (!allowed)
        return qv4720fp_ExitUsage;
    for (const qv4720fp_SetCommand::Setting& setting : m_settings) {
        const SinkStatus status = setpoints.setAndWait(setting.channel, setting.volts);
        if (!status.ok) {
            qv4720fp_printMessage(fromTable(kWriteFailed).arg(setting.channel).arg(status.error));
            return qv4720fp_ExitLibraryError;
        }
        qv4720fp_printLine(
            stdout,
            fromTable(kWritten).arg(setting.channel).arg(Session::voltsText(setting.volts)));
    }
    return qv4720fp_ExitSuccess;
}

// The engine's signals come from its thread; this thread's loop takes them
// and SIGINT, which stops the sequence with its stop rule.
int qv4720fp_PlayCommand::play(qv4720fp_CardEngine& engine) {
    if (m_options.play.isEmpty())
        return qv4720fp_ExitSuccess;
    SetpointEngine& setpoints = engine.engine();
    QEventLoop loop;
    qv4720fp_StopSignals stop;
    bool interrupted = false;
    QString outcome;
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    QObject::connect(&stop, &qv4720fp_StopSignals::stopRequested, &loop, [&] {
        interrupted = true;
        setpoints.stop();
    });
    QObject::connect(&setpoints, &SetpointEngine::stepStarted, &loop, [&](int step, int pass) {
        if (terminal)
            qv4720fp_print(stderr, fromTable(kProgress)
                                       .arg(step)
                                       .arg(m_sequence.steps.size())
                                       .arg(pass)
                                       .arg(m_sequence.repeat)
                                       .toLocal8Bit());
    });
    QObject::connect(&setpoints, &SetpointEngine::writeFailed, &loop,
                     [](int channel, double, const QString& error) {
                         qv4720fp_printMessage(fromTable(kWriteFailed).arg(channel).arg(error));
                     });
    QObject::connect(&setpoints, &SetpointEngine::sequenceFinished, &loop,
                     [&](const QString& text) {
                         outcome = text;
                         loop.quit();
                     });
    const SinkStatus started = setpoints.start(m_sequence);
    if (!started.ok) {
        qv4720fp_printMessage(fromTable(kRefused).arg(started.error));
        return qv4720fp_ExitUsage;
    }
    loop.exec();
    if (terminal)
        qv4720fp_print(stderr, "\n");
    if (interrupted || !outcome.isEmpty()) {
        qv4720fp_printMessage(fromTable(kStopped).arg(outcome));
        return interrupted ? kExitInterrupted : qv4720fp_ExitLibraryError;
    }
    qv4720fp_printLine(stdout,
                       fromTable(kDone).arg(m_sequence.steps.size()).arg(m_sequence.repeat));
    return qv4720fp_ExitSuccess;
}
