/* A 4720 driver that misbehaves as the HOSTILE_DRIVER environment variable
 * asks:
 *   fails-writing   every query fails but writes its outputs anyway, and the
 *                   message call answers "no text" (non-zero) after writing one
 *   unterminated    every text fills its whole buffer with no zero, and
 *                   writes a few bytes past its documented end
 *   unbounded       the output range is -inf to +inf with status 0, and any
 *                   write aborts the process: nothing may be written
 * Opening always succeeds with session 0x4711; writes and resets fail. */
#include "qv4720.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

static const ViSession kSession = 0x4711;

static int asked(const char* word) {
    const char* mode = getenv("HOSTILE_DRIVER");
    return mode && strstr(mode, word);
}

static void overfill(ViChar* buffer, size_t size, char c) {
    memset(buffer, c, size);
    memset(buffer + size, '!', 8);
}

static int failing(void) {
    return asked("fails-writing");
}

ViStatus qv4720_paramInit(ViRsrc resourceName, ViUInt16 fcNumber, ViBoolean idQuery,
                          ViBoolean reset, ViPSession vi) {
    (void)resourceName, (void)fcNumber, (void)idQuery, (void)reset;
    *vi = kSession;
    return VI_SUCCESS;
}

ViStatus qv4720_getOutputRange(ViSession vi, ViReal64* loLimit, ViReal64* hiLimit) {
    (void)vi;
    if (asked("unbounded")) {
        *loLimit = -INFINITY;
        *hiLimit = INFINITY;
        return VI_SUCCESS;
    }
    *loLimit = failing() ? -500.0 : -10.0;
    *hiLimit = failing() ? 500.0 : 10.0;
    return failing() ? QV4720_ERROR_INV_SESSION : VI_SUCCESS;
}

ViStatus qv4720_readSerialNo(ViSession vi, ViUInt32* serialNumber, ViChar subtype[]) {
    (void)vi;
    *serialNumber = 0xDEADBEEF;
    if (asked("unterminated"))
        memcpy(subtype, "ABCDEFGH", 8);
    else
        strcpy(subtype, "ZZ");
    return failing() ? QV4720_ERROR_INV_SESSION : VI_SUCCESS;
}

ViStatus qv4720_revision_query(ViSession vi, ViChar driverRevision[],
                               ViChar instrumentFirmwareRevision[]) {
    /* The panel's buffers are 16 bytes, the descriptor's (session 0) 64. */
    const size_t driverSize = vi == 0 ? 64 : QV4720_REVISION_BUFLEN;
    if (asked("unterminated")) {
        overfill(driverRevision, driverSize, 'D');
        if (instrumentFirmwareRevision)
            overfill(instrumentFirmwareRevision, QV4720_REVISION_BUFLEN, 'F');
        return VI_SUCCESS;
    }
    strcpy(driverRevision, "SCRIBBLED");
    if (instrumentFirmwareRevision)
        strcpy(instrumentFirmwareRevision, "SCRIBBLED");
    return failing() ? QV4720_ERROR_INV_SESSION : VI_SUCCESS;
}

ViStatus qv4720_writeChannel(ViSession vi, ViUInt16 channel, ViReal64 value) {
    (void)vi, (void)channel, (void)value;
    if (asked("unbounded"))
        abort();
    return QV4720_ERROR_VALUE;
}

ViStatus qv4720_reset(ViSession vi) {
    (void)vi;
    return QV4720_ERROR_INV_SESSION;
}

ViStatus qv4720_close(ViSession vi) {
    (void)vi;
    return VI_SUCCESS;
}

ViStatus qv4720_error_message(ViSession vi, ViStatus status, ViChar message[]) {
    (void)vi, (void)status;
    if (asked("unterminated")) {
        overfill(message, QV4720_ERROR_MESSAGE_BUFLEN, 'E');
        return VI_SUCCESS;
    }
    strcpy(message, "SCRIBBLED");
    return failing() ? VI_WARN_UNKNOWN_STATUS : VI_SUCCESS;
}
