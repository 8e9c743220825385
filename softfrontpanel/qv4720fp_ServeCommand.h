#ifndef QV4720FP_SERVECOMMAND_H
#define QV4720FP_SERVECOMMAND_H

#include "qv4000fp_connectRequest.h"
#include "qv4720fp_ServeOptions.h"

class qv4000fp_genFC;
class qv4720fp_CardSession;

// "--serve" without a window: opens the card named (without a reset unless
// asked), serves it until SIGINT or SIGTERM, then closes it. One line per
// event on standard error; the first says where it listens.
class qv4720fp_ServeCommand {
public:
    qv4720fp_ServeCommand(qv4000fp_genFC* fc, const qv4000fp_connectRequest& target,
                          const qv4720fp_ServeOptions& options);

    // Returns the process exit status (qv4720fp_ExitStatus).
    int run();

private:
    QStringList readCard(qv4720fp_CardSession& session);
    int serve(qv4720fp_CardSession& session, const QStringList& reports);

    qv4000fp_genFC* m_fc;
    qv4000fp_connectRequest m_target;
    qv4720fp_ServeOptions m_options;
};

#endif
