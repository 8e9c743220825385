#include "StatusText.h"

#include "qv4000.h"
#include "qv4720.h"

#include <iterator>

namespace zsim {
namespace {

#define ZSIM_STATUS(code, text, family)                                                            \
    { code, #code, text, family }

const StatusInfo kStatuses[] = {
    ZSIM_STATUS(VI_SUCCESS, "Operation completed successfully.", kVisaStatuses),
    ZSIM_STATUS(VI_SUCCESS_DEV_NPRESENT, "Session opened, but the device is not responding.",
                kVisaStatuses),
    ZSIM_STATUS(VI_WARN_NSUP_ATTR_STATE, "The attribute state is not supported by this resource.",
                kVisaStatuses),
    ZSIM_STATUS(VI_WARN_CONFIG_NLOADED, "The configuration could not be loaded.", kVisaStatuses),
    ZSIM_STATUS(VI_WARN_NULL_OBJECT, "The object reference is null.", kVisaStatuses),
    ZSIM_STATUS(VI_WARN_UNKNOWN_STATUS, "The status code is not known.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_SYSTEM_ERROR, "Unknown system error.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_INV_OBJECT, "The session or object reference is invalid.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_RSRC_LOCKED, "The resource is locked by another session.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_INV_EXPR, "Invalid search expression.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_RSRC_NFOUND, "The resource is not present in the system.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_INV_RSRC_NAME, "Invalid resource descriptor.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_INV_ACC_MODE, "Invalid access mode.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_TMO, "Timeout expired before the operation completed.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_NSUP_ATTR, "The attribute is not supported by this resource.",
                kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_NSUP_ATTR_STATE, "The attribute state is not supported.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_ATTR_READONLY, "The attribute is read-only.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_INV_SETUP, "Unable to start the operation: the setup is invalid.",
                kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_ALLOC, "Insufficient system resources.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_NSUP_OPER, "The operation is not supported by this session.",
                kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_USER_BUF, "A required buffer is missing.", kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_RSRC_BUSY, "The resource is valid but cannot be accessed now.",
                kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_LIBRARY_NFOUND, "A code library required by VISA was not found.",
                kVisaStatuses),
    ZSIM_STATUS(VI_ERROR_CONN_LOST, "The connection to the device was lost.", kVisaStatuses),

    ZSIM_STATUS(QV4000_ERROR_INV_SESSION, "The session is not an open VISA session.",
                kCarrierStatuses),
    ZSIM_STATUS(QV4000_ERROR_NOT_CARRIER, "The resource is not a carrier.", kCarrierStatuses),
    ZSIM_STATUS(QV4000_ERROR_NULL_POINTER, "A required pointer is null.", kCarrierStatuses),
    ZSIM_STATUS(QV4000_ERROR_NOT_OPEN, "The carrier record holds no open carrier.",
                kCarrierStatuses),
    ZSIM_STATUS(QV4000_ERROR_FC_NUMBER, "The carrier has no slot with that function card number.",
                kCarrierStatuses),
    ZSIM_STATUS(QV4000_ERROR_EMPTY_SLOT, "No function card in that carrier slot.",
                kCarrierStatuses),
    ZSIM_STATUS(QV4000_ERROR_OFFSET, "The register offset is odd or out of range.",
                kCarrierStatuses),
    ZSIM_STATUS(QV4000_WARN_SELF_TEST, "The carrier self-test has not completed yet.",
                kCarrierStatuses),

    ZSIM_STATUS(QV4720_ERROR_CHANNEL, "Channel number out of range (1 to 8).", kDriverStatuses),
    ZSIM_STATUS(QV4720_ERROR_VALUE, "Output value outside the card's output range.",
                kDriverStatuses),
    ZSIM_STATUS(QV4720_ERROR_NO_CARD, "No function card at this function card number.",
                kDriverStatuses),
    ZSIM_STATUS(QV4720_ERROR_WRONG_MODEL, "The function card is not a 4720.", kDriverStatuses),
    ZSIM_STATUS(QV4720_ERROR_NOT_CARRIER, "The resource is not a carrier.", kDriverStatuses),
    ZSIM_STATUS(QV4720_ERROR_FC_NUMBER, "The carrier has no slot with that function card number.",
                kDriverStatuses),
    ZSIM_STATUS(QV4720_ERROR_NULL_POINTER, "A required pointer is null.", kDriverStatuses),
    ZSIM_STATUS(QV4720_ERROR_INV_SESSION, "The session was not opened by this driver.",
                kDriverStatuses),
    ZSIM_STATUS(QV4720_WARN_NO_FIRMWARE, "No session: the firmware revision was not read.",
                kDriverStatuses),
    ZSIM_STATUS(QV4720_WARN_SETTLING, "The output has not settled yet.", kDriverStatuses),
};

#undef ZSIM_STATUS

} // namespace

const StatusInfo* findStatus(int32_t status, unsigned families) {
    for (const StatusInfo& s : kStatuses)
        if (s.status == status && (s.family & families) != 0)
            return &s;
    return nullptr;
}

std::optional<int32_t> statusByName(std::string_view name) {
    for (const StatusInfo& s : kStatuses)
        if (name == s.name)
            return s.status;
    return std::nullopt;
}

} // namespace zsim
