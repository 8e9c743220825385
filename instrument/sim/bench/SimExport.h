// Symbols of the bench model that the three stand-in libraries call. The
// model is built with hidden visibility; only these and the C API are seen.
#ifndef ZSIM_SIMEXPORT_H
#define ZSIM_SIMEXPORT_H

#define ZSIM_INTERNAL __attribute__((visibility("default")))

#endif
