#include "qv4720.h"
extern "C" {
ViStatus qv4720_paramInit(ViRsrc, ViUInt16, ViBoolean, ViBoolean, ViPSession) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus qv4720_getOutputRange(ViSession, ViReal64*, ViReal64*) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus qv4720_readSerialNo(ViSession, ViUInt32*, ViChar[]) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus qv4720_revision_query(ViSession, ViChar[], ViChar[]) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus qv4720_writeChannel(ViSession, ViUInt16, ViReal64) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus qv4720_reset(ViSession) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus qv4720_close(ViSession) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus qv4720_error_message(ViSession, ViStatus, ViChar m[]) { m[0] = 0; return VI_ERROR_SYSTEM_ERROR; }
}
