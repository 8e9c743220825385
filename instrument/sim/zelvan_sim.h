/* Control of the simulated bench behind the three stand-in libraries
 * (visa64, qv4000_64, qv4720_64). Tests and tools link zelvan_simbench and
 * use these calls to choose the bench, follow the trace and read back what
 * the libraries were asked to do. All calls are thread-safe. */
#ifndef ZELVAN_SIM_H
#define ZELVAN_SIM_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define ZSIM_API __declspec(dllexport)
#else
#define ZSIM_API __attribute__((visibility("default")))
#endif

/* Replaces the bench with the one in the YAML file at path.
 * 0: loaded. -1: unreadable or bad file; one message naming the file, the
 * line and the fault goes to standard error and the bench has no resources.
 * Sessions open on the old bench become invalid. */
ZSIM_API int zsim_loadBenchFile(const char* path);

/* As zsim_loadBenchFile, with the YAML given as text; name (may be NULL)
 * stands for the file name in messages. */
ZSIM_API int zsim_loadBenchText(const char* yaml, const char* name);

/* Tells whether zsim_loadBenchFile would take the file, without loading it
 * and without printing: 0 it would; -1 it would not, and reason (bounded by
 * size, always terminated when size > 0; may be NULL) gets
 * "FILE[:LINE]: fault" with control characters shown as \xNN. Only a
 * regular file of at most 16 MiB is read, and nothing blocks: a FIFO or a
 * device is refused unopened. */
ZSIM_API int zsim_checkBenchFile(const char* path, char* reason, int size);

/* Replaces the bench with the built-in default bench. */
ZSIM_API void zsim_useDefaultBench(void);

/* Appends the trace to path from now on ("" switches the trace off);
 * NULL goes back to following the environment variable ZELVAN_SIM_TRACE. */
ZSIM_API void zsim_setTrace(const char* path);

/* The output voltage last written to a channel (1..8) of the card at
 * function card number fcNumber of the carrier with that descriptor.
 * 0: *volts set. -1: no such resource, card or channel (or volts NULL). */
ZSIM_API int zsim_channelOutput(const char* descriptor, int fcNumber, int channel, double* volts);

/* The largest number of viOpen calls that were waiting at the same time
 * since the last zsim_resetStatistics. */
ZSIM_API int zsim_maxOpensInFlight(void);

/* Clears the statistics (opens in flight, call counts). */
ZSIM_API void zsim_resetStatistics(void);

/* Instrument sessions (not resource managers or find lists) open now. */
ZSIM_API int zsim_openSessionCount(void);

/* Extras. */

/* Number of calls of the named C function (e.g. "viOpen") made by clients
 * since the last zsim_resetStatistics. */
ZSIM_API int zsim_callCount(const char* function);

/* Copies the bench's name (file name, or "(built-in)") into buf, bounded by
 * size and always terminated when size > 0. Returns the full length. */
ZSIM_API int zsim_benchName(char* buf, int size);

/* Writes a normalized YAML description of the bench in use (every default
 * filled in, no comments) into buf as zsim_benchName does. Returns the full
 * length, so a call with size 0 tells the size needed. */
ZSIM_API int zsim_benchDescription(char* buf, int size);

/* All open VISA objects: instrument sessions, resource managers and find
 * lists, so a test can see that a client closed everything it opened. */
ZSIM_API int zsim_openObjectCount(void);

/* Injects status into every later call of the named C function (e.g.
 * "qv4720_writeChannel", or "viGetAttribute(VI_ATTR_SLOT)"), ahead of any
 * status the bench injects there, with the bench's rules: an error replaces
 * the call, a warning replaces its success, 0 lets the call run unchanged. */
ZSIM_API void zsim_setInjectedStatus(const char* function, int status);

/* Removes the status injected at run time into that function (NULL: into
 * every function); the bench's own faults apply again. */
ZSIM_API void zsim_clearInjectedStatus(const char* function);

#ifdef __cplusplus
}
#endif

#endif
