#include "qv4720fp_CardSession.h"

#include "qv4000fp_connectionTexts.h"
#include "qv4000fp_genFC.h"
#include "qv4000fp_libraryText.h"
#include "qv4720.h"

#include <QLocale>
#include <QMutexLocker>

#include <cmath>

namespace {
const char* const kCallFailed = "%1 failed due to [%2]";
const char* const kCallWarning = "Warning: [%1]";
const char* const kRangeCall = "qv4720_getOutputRange(vi(), &m_loLimit, &m_hiLimit)";
const char* const kSerialCall = "qv4720_readSerialNo(d_vi, &serialNumber, subtype)";
const char* const kRevisionCall =
    "qv4720_revision_query(d_vi, driverRevision, instrumentFirmwareRevision)";
const char* const kWriteCall = "qv4720_writeChannel(app->vi(), indx, val)";
const char* const kCloseCall = "qv4720_close(d_vi)";
const char* const kDemoSerial = "4720 (DEMO)";
const char* const kDemoRevision = "1.0.1.0 (DEMO)";
const char* const kDemoModel = "4720-AA (DEMO)";
const char* const kModel = "4720-%1";
const char* const kOpenWarning =
    "the card answered its opening with a warning, so it was closed again: Warning: [%1]";
const char* const kNotOpen = "channel %1: no card is open";
const char* const kBadChannel = "channel %1: there is no such channel (1 to 8)";
const char* const kNotFinite = "channel %1: %2 is not a finite number of volts";
const char* const kNoRange = "channel %1: the card reported no usable output range, so nothing "
                             "can be written";
const char* const kOutOfRange = "channel %1: %2 V is outside the card's output range %3 V to %4 V";

const double kDemoLoLimit = -20.0;
const double kDemoHiLimit = 20.0;

} // namespace

QString qv4720fp_CardSession::voltsText(double volts) {
    return QLocale::c().toString(volts, 'g', QLocale::FloatingPointShortest);
}

qv4720fp_CardSession::qv4720fp_CardSession(qv4000fp_genFC* fc, QObject* parent)
    : QObject(parent), m_fc(fc) {}

qv4720fp_CardSession::~qv4720fp_CardSession() = default;

ViStatus qv4720fp_CardSession::open(const QString& descriptor, quint16 fcNumber, bool reset) {
    const QByteArray resource = descriptor.toLatin1();
    ViUInt16 fcNumbers[] = {fcNumber};
    ViSession vi = 0;
    const ViStatus status = m_fc->openCard(resource.constData(), fcNumbers, reset ? 1 : 0, &vi);
    adopt(vi);
    return status;
}

void qv4720fp_CardSession::adopt(ViSession vi) {
    m_vi = vi;
    m_demo = false;
    forgetAll();
}

void qv4720fp_CardSession::startDemo() {
    m_vi = 0;
    m_demo = true;
    m_loLimit = kDemoLoLimit;
    m_hiLimit = kDemoHiLimit;
    m_rangeValid = true;
    m_identity = {QString::fromLatin1(kDemoSerial), QString::fromLatin1(kDemoModel),
                  QString::fromLatin1(kDemoRevision), QString()};
    forgetAll();
}

// A failed read leaves a range that admits 0 V only, whatever the driver
// wrote; so does a "range" that is none (not finite, or reversed), and then
// nothing is written at all.
ViStatus qv4720fp_CardSession::readOutputRange() {
    if (m_demo)
        return VI_SUCCESS;
    double lo = 0.0;
    double hi = 0.0;
    const ViStatus status = qv4720_getOutputRange(m_vi, &lo, &hi);
    m_rangeValid = status >= VI_SUCCESS && std::isfinite(lo) && std::isfinite(hi) && lo <= hi;
    m_loLimit = m_rangeValid ? lo : 0.0;
    m_hiLimit = m_rangeValid ? hi : 0.0;
    return status;
}

ViStatus qv4720fp_CardSession::readSerialNumber() {
    if (m_demo)
        return VI_SUCCESS;
    ViUInt32 serialNumber = 0;
    qv4000fp_libraryBuffer<QV4720_SUBTYPE_BUFLEN> subtype;
    const ViStatus status = qv4720_readSerialNo(m_vi, &serialNumber, subtype.data);
    const bool read = status >= VI_SUCCESS;
    m_identity.serialNumber =
        QStringLiteral("%1").arg(read ? serialNumber : 0, 8, 16, QLatin1Char('0'));
    m_identity.model = QString::fromLatin1(kModel).arg(read ? subtype.text() : QString());
    return status;
}

ViStatus qv4720fp_CardSession::readRevisions() {
    if (m_demo)
        return VI_SUCCESS;
    qv4000fp_libraryBuffer<QV4720_REVISION_BUFLEN> driverRevision;
    qv4000fp_libraryBuffer<QV4720_REVISION_BUFLEN> firmwareRevision;
    const ViStatus status = qv4720_revision_query(m_vi, driverRevision.data, firmwareRevision.data);
    const bool read = status >= VI_SUCCESS;
    m_identity.driverRevision = read ? driverRevision.text() : QString();
    m_identity.firmwareRevision = read ? firmwareRevision.text() : QString();
    return status;
}

qv4720fp_CardSession::Identity qv4720fp_CardSession::identity() const {
    return m_identity;
}

qv4720fp_CardSession::WriteResult qv4720fp_CardSession::writeChannel(int channel, double volts) {
    WriteResult result;
    if (!isOpen())
        result.refusal = Refusal::NotOpen;
    else if (channel < 1 || channel > ChannelCount)
        result.refusal = Refusal::Channel;
    else if (!std::isfinite(volts))
        result.refusal = Refusal::NotFinite;
    else if (!m_rangeValid)
        result.refusal = Refusal::NoRange;
    else if (volts < m_loLimit || volts > m_hiLimit)
        result.refusal = Refusal::OutOfRange;
    if (result.refusal != Refusal::None)
        return result;
    {
        const qv4720fp_DriverTurn::Hold turn(m_turn);
        if (!m_demo)
            result.status = qv4720_writeChannel(m_vi, static_cast<ViUInt16>(channel), volts);
        // After a failed write the output may hold anything.
        setRecord(channel,
                  result.status >= VI_SUCCESS ? std::optional<double>(volts) : std::nullopt);
    }
    emit setpointChanged(channel);
    return result;
}

// The card's outputs after a reset are its own; no write of this program
// stands any more.
ViStatus qv4720fp_CardSession::reset() {
    if (!isOpen())
        return VI_SUCCESS;
    ViStatus status = VI_SUCCESS;
    {
        const qv4720fp_DriverTurn::Hold turn(m_turn);
        if (!m_demo)
            status = qv4720_reset(m_vi);
        for (int channel = 1; channel <= ChannelCount; ++channel)
            setRecord(channel, std::nullopt);
    }
    for (int channel = 1; channel <= ChannelCount; ++channel)
        emit setpointChanged(channel);
    return status;
}

ViStatus qv4720fp_CardSession::close() {
    if (m_demo || m_vi == 0)
        return VI_SUCCESS;
    ViStatus status = VI_SUCCESS;
    {
        const qv4720fp_DriverTurn::Hold turn(m_turn);
        status = qv4720_close(m_vi);
        // Quietly: the front ends that listen may be on their way out.
        for (int channel = 1; channel <= ChannelCount; ++channel)
            setRecord(channel, std::nullopt);
    }
    m_vi = 0;
    return status;
}

std::optional<double> qv4720fp_CardSession::setpoint(int channel) const {
    if (channel < 1 || channel > ChannelCount)
        return std::nullopt;
    QMutexLocker lock(&m_recordMutex);
    return m_setpoints[static_cast<std::size_t>(channel - 1)];
}

void qv4720fp_CardSession::setRecord(int channel, std::optional<double> volts) {
    QMutexLocker lock(&m_recordMutex);
    m_setpoints[static_cast<std::size_t>(channel - 1)] = volts;
}

void qv4720fp_CardSession::forgetAll() {
    for (int channel = 1; channel <= ChannelCount; ++channel) {
        if (setpoint(channel)) {
            setRecord(channel, std::nullopt);
            emit setpointChanged(channel);
        }
    }
}

QString qv4720fp_CardSession::callText(Call call) {
    switch (call) {
    case Call::OutputRange:
        return QString::fromLatin1(kRangeCall);
    case Call::SerialNumber:
        return QString::fromLatin1(kSerialCall);
    case Call::Revision:
        return QString::fromLatin1(kRevisionCall);
    case Call::Close:
        return QString::fromLatin1(kCloseCall);
    case Call::WriteChannel:
        break;
    }
    return QString::fromLatin1(kWriteCall);
}

QString qv4720fp_CardSession::statusReport(ViStatus status, Call call) const {
    if (status == VI_SUCCESS)
        return QString();
    // The descriptor's text honours the driver's "no text" answer: whatever
    // the driver left in the buffer then is not a message.
    const QString text = m_fc ? m_fc->errorMessage(status) : QString();
    if (status < VI_SUCCESS)
        return QString::fromLatin1(kCallFailed).arg(callText(call), text);
    return QString::fromLatin1(kCallWarning).arg(text);
}

QString qv4720fp_CardSession::openReport(ViStatus status) const {
    if (status == VI_SUCCESS)
        return QString();
    const QString text = qv4000fp_connectionTexts::openErrorText(m_fc, status);
    if (status > VI_SUCCESS)
        return QString::fromLatin1(kOpenWarning).arg(text);
    // One line: the box's line break would split the message on a terminal.
    return qv4000fp_connectionTexts::unavailableText(m_fc->m_model, text, false)
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QString qv4720fp_CardSession::resetReport(ViStatus status) {
    return qv4000fp_resetReport(status);
}

QString qv4720fp_CardSession::refusalText(int channel, double volts, Refusal refusal) const {
    switch (refusal) {
    case Refusal::None:
        return QString();
    case Refusal::NotOpen:
        return QString::fromLatin1(kNotOpen).arg(channel);
    case Refusal::Channel:
        return QString::fromLatin1(kBadChannel).arg(channel);
    case Refusal::NotFinite:
        return QString::fromLatin1(kNotFinite).arg(channel).arg(voltsText(volts));
    case Refusal::NoRange:
        return QString::fromLatin1(kNoRange).arg(channel);
    case Refusal::OutOfRange:
        break;
    }
    return QString::fromLatin1(kOutOfRange)
        .arg(channel)
        .arg(voltsText(volts), voltsText(m_loLimit), voltsText(m_hiLimit));
}
