#include "qv4720_fc.h"

#include "qv4000fp_libraryText.h"
#include "qv4720.h"
#include "qv4720fp_CardSession.h"

#include <algorithm>
#include <cstring>

namespace {
const char* const kDescription = "8-Channel, 18-bit DAC Function Card";
const char* const kCopyright = "Copyright \u00a9 2009-2026 Quorvel. All rights reserved.";
const char* const kVersion = "4.3.1.12523";

const std::size_t kDriverRevisionLength = 64;
} // namespace

qv4720_fc::qv4720_fc() : qv4000fp_genFC(Model) {
    std::memset(m_resource, 0, sizeof m_resource);
    std::memset(m_fcNumbers, 0, sizeof m_fcNumbers);
}

bool qv4720_fc::supportsModel(ViUInt16 model) const {
    return model == Model;
}

QString qv4720_fc::description() const {
    return QString::fromUtf8(kDescription);
}

QString qv4720_fc::copyright() const {
    return QString::fromUtf8(kCopyright);
}

QString qv4720_fc::version() const {
    return QString::fromLatin1(kVersion);
}

QString qv4720_fc::driverRevision() {
    qv4000fp_libraryBuffer<kDriverRevisionLength> revision;
    if (qv4720_revision_query(0, revision.data, nullptr) < VI_SUCCESS)
        return QString(); // what a failed call wrote is no revision
    return revision.text();
}

QString qv4720_fc::errorMessage(ViStatus status) {
    qv4000fp_libraryBuffer<QV4720_ERROR_MESSAGE_BUFLEN> message;
    if (qv4720_error_message(0, status, message.data) != VI_SUCCESS)
        return QString();
    return message.text();
}

ViStatus qv4720_fc::initInstrument(const char* resource, ViUInt16* fcNumbers, ViUInt16 idQuery,
                                   ViUInt16 reset, ViSession* vi) {
    return qv4720_paramInit(const_cast<ViRsrc>(resource), fcNumbers[0], idQuery, reset, vi);
}

ViStatus qv4720_fc::initInstrumentAndKeep(const char* resource, ViUInt16* fcNumbers, ViInt16 count,
                                          ViUInt16 idQuery, ViUInt16 reset, ViSession* vi) {
    std::memset(m_resource, 0, sizeof m_resource);
    std::strncpy(m_resource, resource, sizeof m_resource - 1);
    const int kept = std::clamp<int>(count, 0, MaxCards);
    std::copy(fcNumbers, fcNumbers + kept, m_fcNumbers);
    return initInstrument(resource, fcNumbers, idQuery, reset, vi);
}

ViStatus qv4720_fc::reinitInstrument(ViSession* vi) {
    return qv4720_paramInit(m_resource, m_fcNumbers[0], 1, 1, vi);
}

qv4720fp_CardSession* qv4720_fc::boundTo(ViSession vi) const {
    return m_session && m_session->vi() == vi && vi != 0 ? m_session : nullptr;
}

ViStatus qv4720_fc::closeInstrument(ViSession vi) {
    qv4720fp_CardSession* session = boundTo(vi);
    if (!session)
        return qv4720_close(vi);
    const ViStatus status = session->close();
    m_closeReport = session->statusReport(status, qv4720fp_CardSession::Call::Close);
    m_session = nullptr; // a closed session is done with this card
    return status;
}

ViStatus qv4720_fc::resetInstrument(ViSession vi) {
    if (qv4720fp_CardSession* session = boundTo(vi))
        return session->reset();
    return qv4720_reset(vi);
}
