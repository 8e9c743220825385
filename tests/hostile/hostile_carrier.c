/* A carrier library that misbehaves as the HOSTILE_CARRIER environment
 * variable asks (words, any order):
 *   open-no-carrier      opening reports success without a carrier object
 *   open-no-description  ... with a carrier object that has no description
 *   open-fails-writing   opening fails but writes a carrier pointer
 *   slots=N              the description claims N slots (card 0x4720 in slot 2)
 *   text-unterminated    texts fill their whole buffer with no zero and run a
 *                        few bytes past its documented end
 *   text-fails-writing   text calls fail but write a text anyway */
#include "qv4000.h"

#include <stdlib.h>
#include <string.h>

static qv4000_description g_description;
static qv4000_interfaceTable g_table;
static qv4000_carrierObject g_carrier;

static int asked(const char* word) {
    const char* mode = getenv("HOSTILE_CARRIER");
    return mode && strstr(mode, word);
}

static ViStatus readCard(qv4000_carrierObject* carrier, ViUInt16 fc, ViUInt32 offset,
                         ViUInt16* result) {
    (void)carrier, (void)fc, (void)offset;
    *result = 0x4141;
    return VI_SUCCESS;
}

static qv4000_interfaceTable* getInterface(qv4000_carrierObject* carrier, int32_t selector,
                                           int32_t version) {
    (void)carrier, (void)selector, (void)version;
    g_table.readCard16 = readCard;
    return &g_table;
}

static void fill(ViChar* buffer, size_t size, char c) {
    memset(buffer, c, size);
    memset(buffer + size, '!', 8);
}

ViStatus qv4000_libraryRevision(ViChar* revision) {
    if (asked("text-unterminated")) {
        fill(revision, QV4000_LIBRARY_REVISION_BUFLEN, 'R');
        return VI_SUCCESS;
    }
    strcpy(revision, asked("text-fails-writing") ? "SCRIBBLED" : "hostile 1.0");
    return asked("text-fails-writing") ? QV4000_ERROR_NULL_POINTER : VI_SUCCESS;
}

ViStatus qv4000_openCarrier(ViSession vi, qv4000_carrierRecord* record) {
    (void)vi;
    if (asked("open-fails-writing")) {
        record->carrier = (qv4000_carrierObject*)(uintptr_t)0x10; /* no object there */
        return QV4000_ERROR_NOT_CARRIER;
    }
    if (asked("open-no-carrier"))
        return VI_SUCCESS;
    memset(&g_description, 0, sizeof g_description);
    const char* slots =
        strstr(getenv("HOSTILE_CARRIER") ? getenv("HOSTILE_CARRIER") : "", "slots=");
    g_description.slotCount = slots ? atoi(slots + 6) : 8;
    g_description.carrierModel = QV4000_CARRIER_MODEL_2391;
    g_description.slotCodes[1] = 0x4720;
    g_carrier.description = asked("open-no-description") ? NULL : &g_description;
    g_carrier.getInterface = getInterface;
    record->carrier = &g_carrier;
    return VI_SUCCESS;
}

ViStatus qv4000_closeCarrier(qv4000_carrierRecord* record) {
    record->carrier = NULL;
    return VI_SUCCESS;
}

ViStatus qv4000_errorMessage(ViStatus status, ViChar message[]) {
    (void)status;
    if (asked("text-unterminated")) {
        fill(message, QV4000_ERROR_MESSAGE_BUFLEN, 'M');
        return VI_SUCCESS;
    }
    strcpy(message, asked("text-fails-writing") ? "SCRIBBLED" : "carrier text");
    return asked("text-fails-writing") ? QV4000_ERROR_NULL_POINTER : VI_SUCCESS;
}
