#include "qv4000.h"
extern "C" {
ViStatus qv4000_libraryRevision(ViChar* r) { r[0] = 0; return 0; }
ViStatus qv4000_openCarrier(ViSession, qv4000_carrierRecord*) { return VI_ERROR_SYSTEM_ERROR; }
ViStatus qv4000_closeCarrier(qv4000_carrierRecord*) { return 0; }
ViStatus qv4000_errorMessage(ViStatus, ViChar m[]) { m[0] = 0; return 0; }
}
