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
#define QV4720_REVISION_BUFLEN 16

/* Statuses of the driver besides VISA's, in the instrument-specific ranges
 * of the VXIplug&play convention. */
#define QV4720_ERROR_CHANNEL ((ViStatus)0xBFFC0900L)      /* channel not 1 to 8 */
#define QV4720_ERROR_VALUE ((ViStatus)0xBFFC0901L)        /* value outside the output range */
#define QV4720_ERROR_NO_CARD ((ViStatus)0xBFFC0902L)      /* empty slot */
#define QV4720_ERROR_WRONG_MODEL ((ViStatus)0xBFFC0903L)  /* another card model */
#define QV4720_ERROR_NOT_CARRIER ((ViStatus)0xBFFC0904L)  /* the resource is no carrier */
#define QV4720_ERROR_FC_NUMBER ((ViStatus)0xBFFC0905L)    /* no such carrier slot */
#define QV4720_ERROR_NULL_POINTER ((ViStatus)0xBFFC0906L) /* a required pointer is null */
#define QV4720_ERROR_INV_SESSION ((ViStatus)0xBFFC0907L)  /* not a session of this driver */
#define QV4720_WARN_NO_FIRMWARE ((ViStatus)0x3FFC0900L)   /* session 0: firmware not read */
#define QV4720_WARN_SETTLING ((ViStatus)0x3FFC0901L)      /* output not settled yet */

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
