#include "qv4720fp_SetCommand.h"

#include "qv4000fp_connectionBoxes.h"
#include "qv4000fp_genFC.h"
#include "qv4720.h"
#include "qv4720fp_App.h"
#include "qv4720fp_ExitStatus.h"
#include "qv4720fp_Print.h"

#include <QLocale>

#include <cmath>

namespace {
const char* const kBadSetting = "--set '%1': expected CH=VOLTS, such as 1=2.5";
const char* const kBadChannel = "--set '%1': the channel must be 1 to 8";
const char* const kBadVolts = "--set '%1': '%2' is not a finite number of volts";
const char* const kRepeated = "--set '%1': channel %2 is already set";
const char* const kOutOfRange =
    "qv4720sfp: channel %1: %2 V is outside the card's output range %3 V to %4 V";
const char* const kNothingWritten = "qv4720sfp: nothing was written";
const char* const kWrittenBefore = "qv4720sfp: written before the error: %1";
const char* const kChannelList = "channel %1";
const char* const kWritten = "channel %1: %2 V";
const char* const kResetDone = "card reset";
const char* const kDryRunHeader = "demo mode: nothing is opened or written";
const char* const kWouldReset = "would reset the card";
const char* const kWouldWrite = "would set channel %1: %2 V";
const char* const kRangeCall = "qv4720_getOutputRange(vi, &loLimit, &hiLimit)";
const char* const kResetCall = "qv4720_reset(vi)";

const int kFirstChannel = 1;
const int kLastChannel = QV4720_CHANNEL_COUNT;
// The range the demo panel offers.
const double kDemoLoLimit = -20.0;
const double kDemoHiLimit = 20.0;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

QString voltsText(double volts) {
    return QLocale::c().toString(volts, 'g', QLocale::FloatingPointShortest);
}

// The C locale, without its thousands separator: "2,5" must not pass as 25.
QLocale numberLocale() {
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    return locale;
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
    if (m_target.start != qv4000fp_connectRequest::Start::Card)
        return dryRun();
    ViSession vi = 0;
    if (!open(&vi))
        return qv4720fp_ExitLibraryError;
    const int status = runOpen(vi);
    m_fc->closeInstrument(vi);
    return status;
}

int qv4720fp_SetCommand::dryRun() {
    if (!inRange(kDemoLoLimit, kDemoHiLimit))
        return qv4720fp_ExitUsage;
    qv4720fp_printLine(stdout, fromTable(kDryRunHeader));
    if (m_reset)
        qv4720fp_printLine(stdout, fromTable(kWouldReset));
    for (const Setting& setting : m_settings)
        qv4720fp_printLine(
            stdout, fromTable(kWouldWrite).arg(setting.channel).arg(voltsText(setting.volts)));
    return qv4720fp_ExitSuccess;
}

// Only status 0 opens the card, as in the connection workflow; a session
// that a warning left open is closed again.
bool qv4720fp_SetCommand::open(ViSession* vi) {
    const QByteArray resource = m_target.descriptor.toLatin1();
    ViUInt16 fcNumbers[] = {m_target.fcNumber};
    const ViStatus status = m_fc->initInstrument(resource.constData(), fcNumbers, 1, 0, vi);
    if (status == VI_SUCCESS)
        return true;
    if (status > VI_SUCCESS && *vi != 0)
        m_fc->closeInstrument(*vi);
    qv4720fp_printLine(
        stderr, qv4000fp_connectionBoxes::unavailableText(
                    m_fc->m_model, qv4000fp_connectionBoxes::openErrorText(m_fc, status), false));
    return false;
}

// The range is checked before the reset, so that a refused run leaves the
// card exactly as it was.
int qv4720fp_SetCommand::runOpen(ViSession vi) {
    if (!m_settings.isEmpty()) {
        double loLimit = 0.0;
        double hiLimit = 0.0;
        if (!readRange(vi, &loLimit, &hiLimit))
            return qv4720fp_ExitLibraryError;
        if (!inRange(loLimit, hiLimit))
            return qv4720fp_ExitUsage;
    }
    if (m_reset && !resetCard(vi))
        return qv4720fp_ExitLibraryError;
    return writeAll(vi) ? qv4720fp_ExitSuccess : qv4720fp_ExitLibraryError;
}

bool qv4720fp_SetCommand::readRange(ViSession vi, double* loLimit, double* hiLimit) {
    const ViStatus status = qv4720_getOutputRange(vi, loLimit, hiLimit);
    if (status == VI_SUCCESS || reportStatus(status, fromTable(kRangeCall)))
        return true;
    qv4720fp_printLine(stderr, fromTable(kNothingWritten));
    return false;
}

// Refused, not clamped: a value the card cannot give is the caller's mistake.
bool qv4720fp_SetCommand::inRange(double loLimit, double hiLimit) const {
    bool allInRange = true;
    for (const Setting& setting : m_settings) {
        if (setting.volts >= loLimit && setting.volts <= hiLimit)
            continue;
        allInRange = false;
        qv4720fp_printLine(
            stderr, fromTable(kOutOfRange)
                        .arg(setting.channel)
                        .arg(voltsText(setting.volts), voltsText(loLimit), voltsText(hiLimit)));
    }
    if (!allInRange)
        qv4720fp_printLine(stderr, fromTable(kNothingWritten));
    return allInRange;
}

bool qv4720fp_SetCommand::resetCard(ViSession vi) {
    const ViStatus status = m_fc->resetInstrument(vi);
    if (status != VI_SUCCESS && !reportStatus(status, fromTable(kResetCall))) {
        qv4720fp_printLine(stderr, fromTable(kNothingWritten));
        return false;
    }
    qv4720fp_printLine(stdout, fromTable(kResetDone));
    return true;
}

bool qv4720fp_SetCommand::writeAll(ViSession vi) {
    QStringList written;
    for (const Setting& setting : m_settings) {
        const ViStatus status =
            qv4720_writeChannel(vi, static_cast<ViUInt16>(setting.channel), setting.volts);
        if (status != VI_SUCCESS && !reportStatus(status, qv4720fp_writeCallText())) {
            qv4720fp_printLine(
                stderr, written.isEmpty()
                            ? fromTable(kNothingWritten)
                            : fromTable(kWrittenBefore).arg(written.join(QLatin1String(", "))));
            return false;
        }
        written += fromTable(kChannelList).arg(setting.channel);
        qv4720fp_printLine(stdout,
                           fromTable(kWritten).arg(setting.channel).arg(voltsText(setting.volts)));
    }
    return true;
}

bool qv4720fp_SetCommand::reportStatus(ViStatus status, const QString& call) {
    qv4720fp_printLine(stderr, qv4720fp_statusReport(m_fc, status, call));
    return status > VI_SUCCESS;
}
