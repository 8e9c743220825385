#ifndef QV4720FP_SCPIENGINECOMMANDS_H
#define QV4720FP_SCPIENGINECOMMANDS_H

#include "Sequence.h"

#include <QObject>

class ScpiEngine;
class qv4720fp_CardEngine;
class qv4720fp_CardSession;

// The set-point engine over SCPI: slew and soft limits per channel, the
// LIST subsystem (per-channel voltage lists, dwell times, a count) with
// INITiate and ABORt, *SAV and *RCL (setups kept per card serial number in
// the user's data folder), and the operation status bit "sequence running".
class qv4720fp_ScpiEngineCommands : public QObject {
    Q_OBJECT
public:
    // Both outlive this object.
    qv4720fp_ScpiEngineCommands(ScpiEngine& engine, qv4720fp_CardSession* session,
                                qv4720fp_CardEngine* cardEngine, QObject* parent = nullptr);

    // Where *SAV n keeps its setup for the open card.
    QString setupPath(int slot) const;
    // The sequence the lists make, or the reason they make none.
    QString listSequence(Sequence* sequence) const;

private:
    void addSafety(ScpiEngine& engine);
    void addLists(ScpiEngine& engine);
    void addSetups(ScpiEngine& engine);

    ScpiEngine& m_scpi;
    qv4720fp_CardSession* m_session;
    qv4720fp_CardEngine* m_cardEngine;
    std::vector<std::vector<double>> m_lists; // per channel, index 0 unused
    std::vector<double> m_dwells;
    int m_count = 1;
};

#endif
