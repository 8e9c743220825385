#include "qv4000fp_genFC.h"

ViStatus qv4000fp_genFC::openCard(const char* resource, ViUInt16* fcNumbers, ViUInt16 reset,
                                  ViSession* vi) {
    *vi = 0;
    const ViStatus status = initInstrument(resource, fcNumbers, 1, reset, vi);
    if (status == VI_SUCCESS)
        return status;
    // A warning still hands back an open session; as the card counts as not
    // opened, that session is closed rather than left to leak on a retry.
    // After an error, what the driver left in the session field is no session.
    if (status > VI_SUCCESS && *vi != 0)
        closeInstrument(*vi);
    *vi = 0;
    return status;
}
