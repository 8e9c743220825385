#ifndef QV4720FP_PLAYCOMMAND_H
#define QV4720FP_PLAYCOMMAND_H

#include "Sequence.h"
#include "qv4000fp_connectRequest.h"
#include "qv4720fp_PlayOptions.h"
#include "qv4720fp_SetCommand.h"

#include <optional>

class qv4000fp_genFC;
class qv4720fp_CardEngine;
class qv4720fp_CardSession;
struct SavedSetup;

// --play, --recall, --limit and --slew (with any --set) without a window:
// everything is read and checked before the card is opened, and a refused
// input writes nothing. A sequence runs to its end, or until SIGINT, which
// stops it with its stop rule and exits 130.
class qv4720fp_PlayCommand {
public:
    qv4720fp_PlayCommand(qv4000fp_genFC* fc, const qv4000fp_connectRequest& target, bool reset,
                         const QList<qv4720fp_SetCommand::Setting>& settings,
                         const qv4720fp_PlayOptions& options);
    ~qv4720fp_PlayCommand();

    // Returns the process exit status (qv4720fp_ExitStatus, or 130).
    int run();

private:
    int readFiles();
    int applySafety(qv4720fp_CardEngine& engine);
    int recall(qv4720fp_CardEngine& engine, const qv4720fp_CardSession& session);
    int setChannels(qv4720fp_CardEngine& engine, const qv4720fp_CardSession& session);
    int play(qv4720fp_CardEngine& engine);
    int runOpen(qv4720fp_CardSession& session);

    qv4000fp_genFC* m_fc;
    qv4000fp_connectRequest m_target;
    bool m_reset;
    QList<qv4720fp_SetCommand::Setting> m_settings;
    qv4720fp_PlayOptions m_options;
    Sequence m_sequence;
    std::unique_ptr<SavedSetup> m_setup;
};

#endif
