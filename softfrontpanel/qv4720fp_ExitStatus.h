#ifndef QV4720FP_EXITSTATUS_H
#define QV4720FP_EXITSTATUS_H

// The process exit statuses of the command line, as --help and the manual
// page list them.
enum qv4720fp_ExitStatus {
    qv4720fp_ExitSuccess = 0,
    qv4720fp_ExitLibraryError = 1, // also: --list found no usable card
    qv4720fp_ExitUsage = 2,        // also: --list could not search
};

#endif
