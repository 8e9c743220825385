/* Instrument driver of the Zelvan 4720 8-channel, 18-bit DAC function card
 * (qv4720_64). Every function returns a status: negative error, positive
 * warning, zero success. */
#ifndef ZELVAN_QV4720_H
#define ZELVAN_QV4720_H

#include "visa.h"

#ifdef __cplusplus
extern "C" {
#endif

#define QV4720_ERROR_MESSAGE_BUFLEN 1024
#define QV4720_SUBTYPE_BUFLEN 4
#define QV4720_CHANNEL_COUNT 8

ViStatus qv4720_paramInit(ViRsrc resourceName, ViUInt16 fcNumber, ViBoolean idQuery,
                          ViBoolean reset, ViPSession vi);
ViStatus qv4720_getOutputRange(ViSession vi, ViReal64* loLimit, ViReal64* hiLimit);
ViStatus qv4720_readSerialNo(ViSession vi, ViUInt32* serialNumber, ViChar subtype[]);
ViStatus qv4720_revision_query(ViSession vi, ViChar driverRevision[],
                               ViChar instrumentFirmwareRevision[]);
ViStatus qv4720_writeChannel(ViSession vi, ViUInt16 channel, ViReal64 value);
ViStatus qv4720_reset(ViSession vi);
ViStatus qv4720_close(ViSession vi);
ViStatus qv4720_error_message(ViSession vi, ViStatus status, ViChar message[]);

#ifdef __cplusplus
}
#endif

#endif
