#ifndef QV4720FP_EXITSTATUS_H
#define QV4720FP_EXITSTATUS_H

// The process exit statuses of the command line, as --help and the manual
// page list them. 2 is for usage errors alone; whatever fails once the
// arguments are right is 1.
enum qv4720fp_ExitStatus {
    qv4720fp_ExitSuccess = 0,
    qv4720fp_ExitLibraryError = 1, // also: --list found no usable card, or its
                                   // search failed; output could not be written
    qv4720fp_ExitUsage = 2,        // also: a --set value outside the output range;
                                   // the panel started without a display
};

#endif
