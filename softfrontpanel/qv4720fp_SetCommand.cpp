#include "qv4720fp_SetCommand.h"

#include "qv4000fp_genFC.h"
#include "qv4720fp_CardSession.h"
#include "qv4720fp_ExitStatus.h"
#include "qv4720fp_Print.h"

#include <QLocale>

#include <cmath>

namespace {
const char* const kBadSetting = "--set '%1': expected CH=VOLTS, such as 1=2.5";
const char* const kBadChannel = "--set '%1': the channel must be 1 to 8";
const char* const kBadVolts = "--set '%1': '%2' is not a finite number of volts";
const char* const kRepeated = "--set '%1': channel %2 is already set";
const char* const kProblem = "qv4720sfp: %1";
const char* const kOnChannel = "channel %1: %2";
const char* const kNothingWritten = "nothing was written";
const char* const kWrittenBefore = "written before the error: %1";
const char* const kNotAttempted = "not attempted: %1";
const char* const kUnusableRange =
    "the card reported no usable output range (%1 V to %2 V), so nothing can be written";
const char* const kChannelList = "channel %1";
const char* const kWritten = "channel %1: %2 V";
const char* const kResetDone = "card reset";
const char* const kDryRunHeader = "demo mode: nothing is opened or written";
const char* const kWouldReset = "would reset the card";
const char* const kWouldWrite = "would set channel %1: %2 V";

const int kFirstChannel = 1;
const int kLastChannel = qv4720fp_CardSession::ChannelCount;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

// The program's own messages on standard error all begin with its name.
void problem(const QString& text) {
    qv4720fp_printLine(stderr, fromTable(kProblem).arg(text));
}

// The C locale, without its thousands separator: "2,5" must not pass as 25.
QLocale numberLocale() {
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    return locale;
}

QString channelList(const QList<qv4720fp_SetCommand::Setting>& settings) {
    QStringList channels;
    for (const qv4720fp_SetCommand::Setting& setting : settings)
        channels << fromTable(kChannelList).arg(setting.channel);
    return channels.join(QLatin1String(", "));
}

} // namespace

QString qv4720fp_SetCommand::parse(const QStringList& texts, QList<Setting>* settings) {
    for (const QString& text : texts) {
        Setting setting;
        const QString problem = parseOne(text, &setting);
        if (!problem.isEmpty())
            return problem;
        for (const Setting& earlier : *settings) {
            if (earlier.channel == setting.channel)
                return fromTable(kRepeated).arg(text).arg(setting.channel);
        }
        settings->append(setting);
    }
    return QString();
}

// Numbers are read in the C locale, whatever the user's, so that a script
// means the same everywhere.
QString qv4720fp_SetCommand::parseOne(const QString& text, Setting* setting) {
    const int equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return fromTable(kBadSetting).arg(text);
    bool channelOk = false;
    const QLocale locale = numberLocale();
    setting->channel = locale.toInt(text.left(equals), &channelOk);
    if (!channelOk || setting->channel < kFirstChannel || setting->channel > kLastChannel)
        return fromTable(kBadChannel).arg(text);
    const QString voltsPart = text.mid(equals + 1);
    bool voltsOk = false;
    setting->volts = locale.toDouble(voltsPart, &voltsOk);
    if (!voltsOk || !std::isfinite(setting->volts))
        return fromTable(kBadVolts).arg(text, voltsPart);
    return QString();
}

qv4720fp_SetCommand::qv4720fp_SetCommand(qv4000fp_genFC* fc, const qv4000fp_connectRequest& target,
                                         bool reset, const QList<Setting>& settings)
    : m_fc(fc), m_target(target), m_reset(reset), m_settings(settings) {}

int qv4720fp_SetCommand::run() {
    qv4720fp_CardSession session(m_fc);
    if (m_target.start != qv4000fp_connectRequest::Start::Card) {
        session.startDemo();
        return dryRun(session);
    }
    if (!openAndReport(session, m_target, false))
        return qv4720fp_ExitLibraryError;
    return closeAndReport(session, runOpen(session));
}

int qv4720fp_SetCommand::closeAndReport(qv4720fp_CardSession& session, int status) {
    const ViStatus closeStatus = session.close();
    if (closeStatus == VI_SUCCESS)
        return status;
    problem(session.statusReport(closeStatus, qv4720fp_CardSession::Call::Close));
    return closeStatus < VI_SUCCESS && status == qv4720fp_ExitSuccess ? qv4720fp_ExitLibraryError
                                                                      : status;
}

int qv4720fp_SetCommand::dryRun(const qv4720fp_CardSession& session) {
    if (!inRange(session))
        return qv4720fp_ExitUsage;
    qv4720fp_printLine(stdout, fromTable(kDryRunHeader));
    if (m_reset)
        qv4720fp_printLine(stdout, fromTable(kWouldReset));
    for (const Setting& setting : m_settings)
        qv4720fp_printLine(stdout, fromTable(kWouldWrite)
                                       .arg(setting.channel)
                                       .arg(qv4720fp_CardSession::voltsText(setting.volts)));
    return qv4720fp_ExitSuccess;
}

// Only status 0 opens the card, as in the connection workflow.
bool qv4720fp_SetCommand::openAndReport(qv4720fp_CardSession& session,
                                        const qv4000fp_connectRequest& target, bool reset) {
    if (target.start != qv4000fp_connectRequest::Start::Card) {
        session.startDemo();
        return true;
    }
    const ViStatus status = session.open(target.descriptor, target.fcNumber, reset);
    if (status == VI_SUCCESS)
        return true;
    problem(session.openReport(status));
    return false;
}

// The range is checked before the reset, so that a refused run leaves the
// card exactly as it was.
int qv4720fp_SetCommand::runOpen(qv4720fp_CardSession& session) {
    if (!m_settings.isEmpty()) {
        const ViStatus status = session.readOutputRange();
        if (!reportStatus(session.statusReport(status, qv4720fp_CardSession::Call::OutputRange),
                          status)) {
            problem(fromTable(kNothingWritten));
            return qv4720fp_ExitLibraryError;
        }
        if (!session.rangeValid()) {
            problem(fromTable(kUnusableRange)
                        .arg(qv4720fp_CardSession::voltsText(session.loLimit()),
                             qv4720fp_CardSession::voltsText(session.hiLimit())));
            problem(fromTable(kNothingWritten));
            return qv4720fp_ExitLibraryError;
        }
        if (!inRange(session))
            return qv4720fp_ExitUsage;
    }
    if (m_reset && !resetCard(session))
        return qv4720fp_ExitLibraryError;
    return writeAll(session) ? qv4720fp_ExitSuccess : qv4720fp_ExitLibraryError;
}

// Refused, not clamped: a value the card cannot give is the caller's mistake.
bool qv4720fp_SetCommand::inRange(const qv4720fp_CardSession& session) const {
    bool allInRange = true;
    for (const Setting& setting : m_settings) {
        if (setting.volts >= session.loLimit() && setting.volts <= session.hiLimit())
            continue;
        allInRange = false;
        problem(session.refusalText(setting.channel, setting.volts,
                                    qv4720fp_CardSession::Refusal::OutOfRange));
    }
    if (!allInRange)
        problem(fromTable(kNothingWritten));
    return allInRange;
}

bool qv4720fp_SetCommand::resetCard(qv4720fp_CardSession& session) {
    const ViStatus status = session.reset();
    if (!reportStatus(qv4720fp_CardSession::resetReport(status), status)) {
        problem(fromTable(kNothingWritten));
        return false;
    }
    qv4720fp_printLine(stdout, fromTable(kResetDone));
    return true;
}

bool qv4720fp_SetCommand::writeAll(qv4720fp_CardSession& session) {
    for (qsizetype i = 0; i < m_settings.size(); ++i) {
        const Setting& setting = m_settings.at(i);
        const qv4720fp_CardSession::WriteResult result =
            session.writeChannel(setting.channel, setting.volts);
        const bool refused = result.refusal != qv4720fp_CardSession::Refusal::None;
        if (refused)
            problem(session.refusalText(setting.channel, setting.volts, result.refusal));
        const QString report =
            fromTable(kOnChannel)
                .arg(setting.channel)
                .arg(session.statusReport(result.status, qv4720fp_CardSession::Call::WriteChannel));
        if (refused || !reportStatus(report, result.status)) {
            reportStopped(m_settings.mid(0, i), m_settings.mid(i + 1));
            return false;
        }
        qv4720fp_printLine(stdout, fromTable(kWritten)
                                       .arg(setting.channel)
                                       .arg(qv4720fp_CardSession::voltsText(setting.volts)));
    }
    return true;
}

void qv4720fp_SetCommand::reportStopped(const QList<Setting>& written,
                                        const QList<Setting>& notAttempted) {
    problem(written.isEmpty() ? fromTable(kNothingWritten)
                              : fromTable(kWrittenBefore).arg(channelList(written)));
    if (!notAttempted.isEmpty())
        problem(fromTable(kNotAttempted).arg(channelList(notAttempted)));
}

// Prints a non-zero status's report; true unless it was an error.
bool qv4720fp_SetCommand::reportStatus(const QString& report, ViStatus status) {
    if (status != VI_SUCCESS)
        problem(report);
    return status >= VI_SUCCESS;
}
