/* A VISA library whose search misbehaves as the HOSTILE_VISA environment
 * variable asks:
 *   count=N      the search promises N resources
 *   list=M       ... and returns M ("VXI0::<i>::INSTR"); the next call fails
 *                but writes "SCRIBBLED" into the buffer anyway
 *   long-names   every name fills the whole 256-byte buffer with no zero
 *   open-ok      opening a resource succeeds (session 0x99)
 * Otherwise opening a resource fails but writes a session handle anyway.
 * Attribute reads always fail after writing: "SCRIBBLED" for texts, 0x7F7F
 * for numbers. */
#include "visa.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static unsigned g_next;

static int number(const char* word, int fallback) {
    const char* mode = getenv("HOSTILE_VISA");
    const char* at = mode ? strstr(mode, word) : NULL;
    return at ? atoi(at + strlen(word)) : fallback;
}

static void name(unsigned index, ViChar desc[]) {
    const char* mode = getenv("HOSTILE_VISA");
    if (mode && strstr(mode, "long-names"))
        memset(desc, 'A' + (char)(index % 26), VI_FIND_BUFLEN);
    else
        snprintf(desc, VI_FIND_BUFLEN, "VXI0::%u::INSTR", index + 1);
}

ViStatus viOpenDefaultRM(ViPSession vi) {
    *vi = 1;
    return VI_SUCCESS;
}

ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                    ViChar desc[]) {
    (void)sesn, (void)expr;
    *vi = 2;
    *retCnt = (ViUInt32)number("count=", 1);
    g_next = 0;
    if (number("list=", 1) == 0)
        return VI_ERROR_RSRC_NFOUND;
    name(g_next++, desc);
    return VI_SUCCESS;
}

ViStatus viFindNext(ViFindList vi, ViChar desc[]) {
    (void)vi;
    if (g_next >= (unsigned)number("list=", 1)) {
        strcpy(desc, "SCRIBBLED");
        return VI_ERROR_RSRC_NFOUND;
    }
    name(g_next++, desc);
    return VI_SUCCESS;
}

ViStatus viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType,
                     ViPUInt16 intfNum) {
    (void)rmSesn, (void)rsrcName, (void)intfType, (void)intfNum;
    return VI_ERROR_RSRC_NFOUND;
}

ViStatus viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType,
                       ViPUInt16 intfNum, ViChar rsrcClass[], ViChar expandedUnaliasedName[],
                       ViChar aliasIfExists[]) {
    (void)rmSesn, (void)rsrcName, (void)intfType, (void)intfNum, (void)rsrcClass;
    (void)expandedUnaliasedName, (void)aliasIfExists;
    return VI_ERROR_RSRC_NFOUND;
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi) {
    (void)sesn, (void)name, (void)mode, (void)timeout;
    const char* hostile = getenv("HOSTILE_VISA");
    *vi = 0x99;
    return hostile && strstr(hostile, "open-ok") ? VI_SUCCESS : VI_ERROR_RSRC_NFOUND;
}

ViStatus viClose(ViObject vi) {
    (void)vi;
    return VI_SUCCESS;
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    (void)vi;
    if (attrName == VI_ATTR_TCPIP_ADDR || attrName == VI_ATTR_TCPIP_HOSTNAME ||
        attrName == VI_ATTR_TCPIP_DEVICE_NAME)
        strcpy((char*)attrValue, "SCRIBBLED");
    else
        memset(attrValue, 0x7F, 2);
    return VI_ERROR_INV_OBJECT;
}

ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
    (void)vi, (void)attrName, (void)attrValue;
    return VI_SUCCESS;
}

ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]) {
    (void)vi, (void)status;
    strcpy(desc, "hostile VISA");
    return VI_SUCCESS;
}
