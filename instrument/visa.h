/* The subset of the VISA C interface that the soft front panel uses.
 * Types have the sizes of the published standard on 64-bit systems; the
 * numeric values of attributes, interface types and statuses are the
 * standard's, so a real VISA library can take the stand-in's place. */
#ifndef ZELVAN_VISA_H
#define ZELVAN_VISA_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t ViStatus;
typedef uint32_t ViUInt32;
typedef int32_t ViInt32;
typedef uint16_t ViUInt16;
typedef int16_t ViInt16;
typedef uint64_t ViUInt64;
typedef char ViChar;
typedef ViChar* ViString;
typedef const ViChar* ViConstString;
typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef ViUInt16 ViBoolean;
typedef double ViReal64;

typedef ViUInt32 ViObject;
typedef ViObject ViSession;
typedef ViObject ViFindList;
typedef ViUInt32 ViAttr;
typedef ViUInt64 ViAttrState; /* large enough for a pointer on 64-bit systems */
typedef ViUInt32 ViAccessMode;

typedef ViSession* ViPSession;
typedef ViFindList* ViPFindList;
typedef ViUInt32* ViPUInt32;
typedef ViUInt16* ViPUInt16;
typedef void* ViPAttrState;

#define VI_NULL 0
#define VI_TRUE 1
#define VI_FALSE 0
#define VI_NO_LOCK 0
#define VI_FIND_BUFLEN 256

/* Statuses */
#define VI_SUCCESS ((ViStatus)0)
#define VI_SUCCESS_DEV_NPRESENT ((ViStatus)0x3FFF007DL)
#define VI_WARN_NSUP_ATTR_STATE ((ViStatus)0x3FFF0084L)
#define VI_WARN_CONFIG_NLOADED ((ViStatus)0x3FFF0077L)
#define VI_WARN_NULL_OBJECT ((ViStatus)0x3FFF0082L)
#define VI_WARN_UNKNOWN_STATUS ((ViStatus)0x3FFF0085L)

#define VI_ERROR_SYSTEM_ERROR ((ViStatus)0xBFFF0000L)
#define VI_ERROR_INV_OBJECT ((ViStatus)0xBFFF000EL)
#define VI_ERROR_RSRC_LOCKED ((ViStatus)0xBFFF000FL)
#define VI_ERROR_INV_EXPR ((ViStatus)0xBFFF0010L)
#define VI_ERROR_RSRC_NFOUND ((ViStatus)0xBFFF0011L)
#define VI_ERROR_INV_RSRC_NAME ((ViStatus)0xBFFF0012L)
#define VI_ERROR_INV_ACC_MODE ((ViStatus)0xBFFF0013L)
#define VI_ERROR_TMO ((ViStatus)0xBFFF0015L)
#define VI_ERROR_NSUP_ATTR ((ViStatus)0xBFFF001DL)
#define VI_ERROR_NSUP_ATTR_STATE ((ViStatus)0xBFFF001EL)
#define VI_ERROR_ATTR_READONLY ((ViStatus)0xBFFF001FL)
#define VI_ERROR_INV_SETUP ((ViStatus)0xBFFF003AL)
#define VI_ERROR_ALLOC ((ViStatus)0xBFFF003CL)
#define VI_ERROR_NSUP_OPER ((ViStatus)0xBFFF0067L)
#define VI_ERROR_USER_BUF ((ViStatus)0xBFFF0071L)
#define VI_ERROR_RSRC_BUSY ((ViStatus)0xBFFF0072L)
#define VI_ERROR_LIBRARY_NFOUND ((ViStatus)0xBFFF009EL)
#define VI_ERROR_CONN_LOST ((ViStatus)0xBFFF00A6L)

/* Attributes read by the panel (and by other VISA clients of the stand-in) */
#define VI_ATTR_RSRC_CLASS ((ViAttr)0xBFFF0001UL)
#define VI_ATTR_RSRC_NAME ((ViAttr)0xBFFF0002UL)
#define VI_ATTR_TMO_VALUE ((ViAttr)0x3FFF001AUL)
#define VI_ATTR_SLOT ((ViAttr)0x3FFF00E8UL)
#define VI_ATTR_INTF_TYPE ((ViAttr)0x3FFF0171UL)
#define VI_ATTR_INTF_NUM ((ViAttr)0x3FFF0176UL)
#define VI_ATTR_TCPIP_ADDR ((ViAttr)0xBFFF0195UL)
#define VI_ATTR_TCPIP_HOSTNAME ((ViAttr)0xBFFF0196UL)
#define VI_ATTR_TCPIP_DEVICE_NAME ((ViAttr)0xBFFF0199UL)

/* Interface types */
#define VI_INTF_GPIB 1
#define VI_INTF_VXI 2
#define VI_INTF_GPIB_VXI 3
#define VI_INTF_ASRL 4
#define VI_INTF_PXI 5
#define VI_INTF_TCPIP 6
#define VI_INTF_USB 7

/* VI_ATTR_SLOT of a resource whose slot is not known */
#define VI_UNKNOWN_SLOT (-1)

ViStatus viOpenDefaultRM(ViPSession vi);
ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                    ViChar desc[]);
ViStatus viFindNext(ViFindList vi, ViChar desc[]);
ViStatus viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType, ViPUInt16 intfNum);
ViStatus viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType,
                       ViPUInt16 intfNum, ViChar rsrcClass[], ViChar expandedUnaliasedName[],
                       ViChar aliasIfExists[]);
ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi);
ViStatus viClose(ViObject vi);
ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue);
ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue);
ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]);

#ifdef __cplusplus
}
#endif

#endif
