#include "visa.h"
extern "C" {
ViStatus viOpenDefaultRM(ViPSession vi) { *vi = 0; return VI_ERROR_SYSTEM_ERROR; }
ViStatus viFindRsrc(ViSession, ViConstString, ViPFindList, ViPUInt32, ViChar[]) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus viFindNext(ViFindList, ViChar[]) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus viParseRsrc(ViSession, ViConstRsrc, ViPUInt16, ViPUInt16) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus viParseRsrcEx(ViSession, ViConstRsrc, ViPUInt16, ViPUInt16, ViChar[], ViChar[], ViChar[]) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus viOpen(ViSession, ViConstRsrc, ViAccessMode, ViUInt32, ViPSession) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus viClose(ViObject) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus viGetAttribute(ViObject, ViAttr, void*) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus viSetAttribute(ViObject, ViAttr, ViAttrState) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus viStatusDesc(ViObject, ViStatus, ViChar[]) { return VI_ERROR_SYSTEM_ERROR; }
}
