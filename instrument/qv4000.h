/* Common carrier library of the Zelvan modular family (qv4000_64).
 * The carrier record and the carrier object are read through the structs
 * below; their byte offsets are fixed by the library and checked here. */
#ifndef ZELVAN_QV4000_H
#define ZELVAN_QV4000_H

#include "visa.h"

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QV4000_ERROR_MESSAGE_BUFLEN 1024
#define QV4000_LIBRARY_REVISION_BUFLEN 40
/* The description block has no room for more slot codes than this. */
#define QV4000_MAX_SLOTS 64
#define QV4000_CARD_INTERFACE_SELECTOR 1
#define QV4000_CARD_INTERFACE_VERSION 1
#define QV4000_VARIANT_OFFSET 252

/* Statuses of the carrier library besides VISA's, in the instrument-specific
 * ranges of the VXIplug&play convention. */
#define QV4000_ERROR_INV_SESSION ((ViStatus)0xBFFC0A00L)  /* not an open VISA session */
#define QV4000_ERROR_NOT_CARRIER ((ViStatus)0xBFFC0A01L)  /* the resource is no carrier */
#define QV4000_ERROR_NULL_POINTER ((ViStatus)0xBFFC0A02L) /* record or result missing */
#define QV4000_ERROR_NOT_OPEN ((ViStatus)0xBFFC0A03L)     /* record holds no open carrier */
#define QV4000_ERROR_FC_NUMBER ((ViStatus)0xBFFC0A04L)    /* no such carrier slot */
#define QV4000_ERROR_EMPTY_SLOT ((ViStatus)0xBFFC0A05L)   /* no card in that slot */
#define QV4000_ERROR_OFFSET ((ViStatus)0xBFFC0A06L)       /* odd or out-of-range offset */
#define QV4000_WARN_SELF_TEST ((ViStatus)0x3FFC0A00L)     /* carrier self-test pending */

/* Carrier model code 2391 is shown as 4160. */
#define QV4000_CARRIER_MODEL_2391 2391

typedef struct qv4000_description {
    uint8_t reserved0[256];
    int32_t slotCount;                    /* byte 256 */
    uint16_t carrierModel;                /* byte 260 */
    uint16_t slotCodes[QV4000_MAX_SLOTS]; /* byte 262, slot 1 first, 0 = empty */
} qv4000_description;

typedef struct qv4000_carrierObject qv4000_carrierObject;

typedef ViStatus (*qv4000_readCardFn)(qv4000_carrierObject* carrier, ViUInt16 fcNumber,
                                      ViUInt32 offset, ViUInt16* result);

typedef struct qv4000_interfaceTable {
    void* reserved0[4];
    qv4000_readCardFn readCard16; /* byte 32 */
} qv4000_interfaceTable;

typedef qv4000_interfaceTable* (*qv4000_getInterfaceFn)(qv4000_carrierObject* carrier,
                                                        int32_t selector, int32_t version);

struct qv4000_carrierObject {
    qv4000_description* description; /* byte 0 */
    uint8_t reserved8[56];
    qv4000_getInterfaceFn getInterface; /* byte 64 */
};

/* Filled by the caller before opening; the library writes `carrier`. */
typedef struct qv4000_carrierRecord {
    qv4000_carrierObject* carrier; /* byte 0 */
    uint16_t reserved8;            /* byte 8, 0 */
    ViSession defaultRM;           /* byte 12 */
    uint32_t reserved16;           /* byte 16, 0 */
    uint16_t reserved20;           /* byte 20, 0 */
} qv4000_carrierRecord;

#ifdef __cplusplus
#define QV4000_STATIC_ASSERT static_assert
#else
#define QV4000_STATIC_ASSERT _Static_assert
#endif
QV4000_STATIC_ASSERT(sizeof(qv4000_carrierRecord) == 24, "carrier record is 24 bytes");
QV4000_STATIC_ASSERT(offsetof(qv4000_carrierRecord, carrier) == 0, "carrier at 0");
QV4000_STATIC_ASSERT(offsetof(qv4000_carrierRecord, reserved8) == 8, "16-bit 0 at 8");
QV4000_STATIC_ASSERT(offsetof(qv4000_carrierRecord, defaultRM) == 12, "RM session at 12");
QV4000_STATIC_ASSERT(offsetof(qv4000_carrierRecord, reserved16) == 16, "32-bit 0 at 16");
QV4000_STATIC_ASSERT(offsetof(qv4000_carrierRecord, reserved20) == 20, "16-bit 0 at 20");
QV4000_STATIC_ASSERT(offsetof(qv4000_carrierObject, description) == 0, "description at 0");
QV4000_STATIC_ASSERT(offsetof(qv4000_carrierObject, getInterface) == 64, "lookup at 64");
QV4000_STATIC_ASSERT(offsetof(qv4000_description, slotCount) == 256, "slot count at 256");
QV4000_STATIC_ASSERT(offsetof(qv4000_description, carrierModel) == 260, "model at 260");
QV4000_STATIC_ASSERT(offsetof(qv4000_description, slotCodes) == 262, "slot codes at 262");
QV4000_STATIC_ASSERT(offsetof(qv4000_interfaceTable, readCard16) == 32, "read at 32");

ViStatus qv4000_libraryRevision(ViChar* revision);
ViStatus qv4000_openCarrier(ViSession vi, qv4000_carrierRecord* record);
ViStatus qv4000_closeCarrier(qv4000_carrierRecord* record);
ViStatus qv4000_errorMessage(ViStatus status, ViChar message[]);

#ifdef __cplusplus
}
#endif

#endif
