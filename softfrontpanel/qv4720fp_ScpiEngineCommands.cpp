#include "qv4720fp_ScpiEngineCommands.h"

#include "ScpiCall.h"
#include "ScpiEngine.h"
#include "ScpiFormat.h"
#include "SetupFile.h"
#include "SetupRecall.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_CardSession.h"

#include <QDir>
#include <QStandardPaths>

namespace {
const char* const kSlew = "[SOURce#]:VOLTage:SLEW";
const char* const kLimitLow = "[SOURce#]:VOLTage:LIMit:LOW";
const char* const kLimitHigh = "[SOURce#]:VOLTage:LIMit:HIGH";
const char* const kListVoltage = "SOURce#:LIST:VOLTage";
const char* const kListDwell = "[SOURce#]:LIST:DWELl";
const char* const kListCount = "[SOURce#]:LIST:COUNt";
const char* const kInitiate = "INITiate[:IMMediate]";
const char* const kAbort = "ABORt";
const char* const kChannelVariable = "channel";
const char* const kNoLists = "no LIST:VOLTage points";
const char* const kDwellCount = "LIST:DWELl needs one value or one for each point";
const char* const kSetupFolder = "setups/%1";
const char* const kSetupFile = "%1.json";
const char* const kNoSetup = "no setup saved under %1";
const quint16 kSequenceRunningBit = 0x10; // the operation register's "sweeping" bit
const int kMaxListPoints = 10000;
const int kSlots = 9;

using Session = qv4720fp_CardSession;

const char* const kSettingsConflict = "Settings conflict;%1";
const char* const kMassStorage = "Mass storage error;%1";
const char* const kFileNotFound = "File name not found;%1";

ScpiError settingsError(const QString& reason) {
    return ScpiError(-221, QString::fromLatin1(kSettingsConflict).arg(reason).toUtf8());
}

ScpiReply fromSink(const SinkStatus& status) {
    return status.ok ? ScpiReply() : settingsError(status.error);
}

ScpiReply optionalReal(const std::optional<double>& value) {
    return ScpiReply::response(ScpiFormat::real(value ? *value : ScpiFormat::kNotANumber));
}

ScpiCommandEntry entry(const char* pattern, bool channelSuffix) {
    ScpiCommandEntry command;
    command.pattern = pattern;
    if (channelSuffix)
        command.suffixes = {{1, Session::ChannelCount, kChannelVariable}};
    return command;
}

void add(ScpiEngine& engine, const ScpiCommandEntry& command) {
    QString error;
    if (!engine.addCommand(command, &error))
        qFatal("SCPI command table: %s", qPrintable(error)); // a fault of this file
}
} // namespace

qv4720fp_ScpiEngineCommands::qv4720fp_ScpiEngineCommands(ScpiEngine& engine,
                                                         qv4720fp_CardSession* session,
                                                         qv4720fp_CardEngine* cardEngine,
                                                         QObject* parent)
    : QObject(parent), m_scpi(engine), m_session(session), m_cardEngine(cardEngine),
      m_lists(Session::ChannelCount + 1) {
    addSafety(engine);
    addLists(engine);
    addSetups(engine);
    // The operation register follows the engine once it runs.
    auto follow = [this, &engine] {
        connect(&m_cardEngine->engine(), &SetpointEngine::stateChanged, this,
                [&engine](SetpointEngine::State state) {
                    engine.setCondition(ScpiStatus::Register::Operation,
                                        state == SetpointEngine::State::Idle ? 0
                                                                             : kSequenceRunningBit);
                });
    };
    if (m_cardEngine->started())
        follow();
    else
        connect(m_cardEngine, &qv4720fp_CardEngine::engineStarted, this, follow);
}

// SLEW 0 (or DEF) turns the slew limit off; a query answers 0 when off.
void qv4720fp_ScpiEngineCommands::addSafety(ScpiEngine& engine) {
    ScpiCommandEntry slew = entry(kSlew, true);
    slew.set = [this](ScpiCall& call) -> ScpiReply {
        double vps = 0.0;
        if (ScpiError error = call.real(0, {0.0, 1e6, 0.0}, &vps); error.isError())
            return error;
        SafetySettings safety = m_cardEngine->safety();
        QString problem;
        if (vps > 0.0)
            problem = safety.setSlew(call.suffix(0), vps);
        else
            safety.clearSlew(call.suffix(0));
        return problem.isEmpty() ? fromSink(m_cardEngine->engine().setSafety(safety))
                                 : settingsError(problem);
    };
    slew.query = [this](ScpiCall& call) {
        return ScpiReply::response(
            ScpiFormat::real(m_cardEngine->safety().channel(call.suffix(0)).slewVps.value_or(0.0)));
    };
    add(engine, slew);

    for (const bool low : {true, false}) {
        ScpiCommandEntry limit = entry(low ? kLimitLow : kLimitHigh, true);
        limit.units = {"V"};
        limit.set = [this, low](ScpiCall& call) -> ScpiReply {
            const int channel = call.suffix(0);
            SafetySettings safety = m_cardEngine->safety();
            const double lo = m_session->loLimit();
            const double hi = m_session->hiLimit();
            double volts = 0.0;
            if (ScpiError error = call.real(0, {lo, hi, low ? lo : hi}, &volts); error.isError())
                return error;
            const ChannelSafety& now = safety.channel(channel);
            const QString problem = low ? safety.setLimits(channel, volts, now.high.value_or(hi))
                                        : safety.setLimits(channel, now.low.value_or(lo), volts);
            return problem.isEmpty() ? fromSink(m_cardEngine->engine().setSafety(safety))
                                     : settingsError(problem);
        };
        limit.query = [this, low](ScpiCall& call) {
            const ChannelSafety& now = m_cardEngine->safety().channel(call.suffix(0));
            return optionalReal(low ? now.low : now.high);
        };
        add(engine, limit);
    }
}

void qv4720fp_ScpiEngineCommands::addLists(ScpiEngine& engine) {
    ScpiCommandEntry voltage = entry(kListVoltage, true);
    voltage.units = {"V"};
    voltage.setMaxParameters = kMaxListPoints;
    voltage.set = [this](ScpiCall& call) -> ScpiReply {
        std::vector<double> points;
        for (int i = 0; i < call.parameterCount(); ++i) {
            double volts = 0.0;
            const double lo = m_session->loLimit();
            const double hi = m_session->hiLimit();
            if (ScpiError error = call.real(i, {lo, hi, 0.0}, &volts); error.isError())
                return error;
            points.push_back(volts);
        }
        m_lists[static_cast<std::size_t>(call.suffix(0))] = points;
        return {};
    };
    voltage.query = [this](ScpiCall& call) {
        QByteArrayList texts;
        for (double volts : m_lists[static_cast<std::size_t>(call.suffix(0))])
            texts << ScpiFormat::real(volts);
        return ScpiReply::response(texts.join(','));
    };
    add(engine, voltage);

    ScpiCommandEntry dwell = entry(kListDwell, true);
    dwell.units = {"S"};
    dwell.setMaxParameters = kMaxListPoints;
    dwell.set = [this](ScpiCall& call) -> ScpiReply {
        std::vector<double> dwells;
        for (int i = 0; i < call.parameterCount(); ++i) {
            double seconds = 0.0;
            const double shortest = std::chrono::duration<double>(kMinDwell).count();
            if (ScpiError error = call.real(i, {shortest, 86400.0, 1.0}, &seconds); error.isError())
                return error;
            dwells.push_back(seconds);
        }
        m_dwells = dwells;
        return {};
    };
    add(engine, dwell);

    ScpiCommandEntry count = entry(kListCount, true);
    count.set = [this](ScpiCall& call) -> ScpiReply {
        return call.parameter(0).toInt(1, 1000000, &m_count);
    };
    count.query = [this](ScpiCall&) { return ScpiReply::response(ScpiFormat::integer(m_count)); };
    add(engine, count);

    ScpiCommandEntry initiate = entry(kInitiate, false);
    initiate.setMinParameters = initiate.setMaxParameters = 0;
    initiate.set = [this](ScpiCall&) -> ScpiReply {
        Sequence sequence;
        if (const QString problem = listSequence(&sequence); !problem.isEmpty())
            return settingsError(problem);
        const SinkStatus started = m_cardEngine->engine().start(sequence);
        // Running from this command on, not only once the engine says so.
        if (started.ok)
            m_scpi.setCondition(ScpiStatus::Register::Operation, kSequenceRunningBit);
        return fromSink(started);
    };
    add(engine, initiate);

    ScpiCommandEntry abort = entry(kAbort, false);
    abort.setMinParameters = abort.setMaxParameters = 0;
    abort.set = [this](ScpiCall&) -> ScpiReply {
        if (m_cardEngine->started())
            m_cardEngine->engine().stop();
        return {};
    };
    add(engine, abort);
}

QString qv4720fp_ScpiEngineCommands::listSequence(Sequence* sequence) const {
    std::size_t points = 0;
    for (const std::vector<double>& list : m_lists)
        points = std::max(points, list.size());
    if (points == 0)
        return QString::fromLatin1(kNoLists);
    if (m_dwells.size() > 1 && m_dwells.size() != points)
        return QString::fromLatin1(kDwellCount);
    for (std::size_t i = 0; i < points; ++i) {
        SequenceStep step;
        step.values.resize(Session::ChannelCount);
        for (int channel = 1; channel <= Session::ChannelCount; ++channel) {
            const std::vector<double>& list = m_lists[static_cast<std::size_t>(channel)];
            if (i < list.size())
                step.values[static_cast<std::size_t>(channel - 1)] = list[i];
        }
        step.dwellSeconds = m_dwells.empty() ? 1.0 : m_dwells[std::min(i, m_dwells.size() - 1)];
        sequence->steps.push_back(step);
    }
    sequence->repeat = m_count;
    return QString();
}

QString qv4720fp_ScpiEngineCommands::setupPath(int slot) const {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(
        QString::fromLatin1(kSetupFolder).arg(m_session->identity().serialNumber) +
        QLatin1Char('/') + QString::fromLatin1(kSetupFile).arg(slot));
}

void qv4720fp_ScpiEngineCommands::addSetups(ScpiEngine& engine) {
    ScpiCommandEntry save = entry("*SAV", false);
    save.guarded = false; // it changes no output
    save.set = [this](ScpiCall& call) -> ScpiReply {
        int slot = 1;
        if (ScpiError error = call.parameter(0).toInt(1, kSlots, &slot); error.isError())
            return error;
        const ChannelValues known = m_cardEngine->knownValues();
        const Session::Identity identity = m_session->identity();
        const QString path = setupPath(slot);
        QDir().mkpath(QFileInfo(path).absolutePath());
        const QString problem =
            SetupFile::writeFile(path, SetupFile::capture(identity.model, identity.serialNumber,
                                                          m_cardEngine->safety(), known));
        return problem.isEmpty()
                   ? ScpiReply()
                   : ScpiReply(
                         ScpiError(-250, QString::fromLatin1(kMassStorage).arg(problem).toUtf8()));
    };
    add(engine, save);

    ScpiCommandEntry recall = entry("*RCL", false);
    recall.set = [this](ScpiCall& call) -> ScpiReply {
        int slot = 1;
        if (ScpiError error = call.parameter(0).toInt(1, kSlots, &slot); error.isError())
            return error;
        const SetupReadResult read = SetupFile::readFile(setupPath(slot), Session::ChannelCount);
        if (!read.ok)
            return ScpiError(-256, QString::fromLatin1(kFileNotFound)
                                       .arg(QString::fromLatin1(kNoSetup).arg(slot))
                                       .toUtf8());
        const ChannelValues known = m_cardEngine->knownValues();
        const Session::Identity identity = m_session->identity();
        const SetupRecall::Plan plan = SetupRecall::plan(
            read.setup, identity.model, identity.serialNumber, m_cardEngine->safety(), known);
        if (!plan.error.isEmpty())
            return settingsError(plan.error);
        return fromSink(SetupRecall::apply(m_cardEngine->engine(), plan));
    };
    add(engine, recall);
}
