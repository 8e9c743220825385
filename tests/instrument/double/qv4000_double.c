/* A carrier library of our own making that stands in for the simulated one
 * when its folder comes first on the loader's search path: it knows no bench
 * and says so in its revision text. */
#include "qv4000.h"

#include <string.h>

ViStatus qv4000_libraryRevision(ViChar* revision) {
    strcpy(revision, "double 0.1");
    return VI_SUCCESS;
}

ViStatus qv4000_openCarrier(ViSession vi, qv4000_carrierRecord* record) {
    (void)vi;
    (void)record;
    return QV4000_ERROR_NOT_CARRIER;
}

ViStatus qv4000_closeCarrier(qv4000_carrierRecord* record) {
    (void)record;
    return QV4000_ERROR_NOT_OPEN;
}

ViStatus qv4000_errorMessage(ViStatus status, ViChar message[]) {
    (void)status;
    strcpy(message, "from the double");
    return VI_SUCCESS;
}
