#ifndef SOAKRUN_H
#define SOAKRUN_H

#include "SoakAction.h"

#include <QMap>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class ModalAnswerer;
class QWidget;
class SoakPanel;
class qv4720_fc;

// Plays a list of operator steps against the real panel on a one-card bench,
// from the connection to Close answered Yes, and checks after every step what
// reached the card (the trace) and what the card holds (the bench) against
// what the operator did and sees. Every box is answered: warnings OK, the
// rest No, or an error box Yes when asked to (which ends the process).
class SoakRun {
public:
    struct Figures {
        qint64 actions = 0;
        qint64 writes = 0;
        qint64 failedWrites = 0;
        qint64 resets = 0;
        qint64 boxes = 0;
    };

    SoakRun();
    ~SoakRun();

    // Empty when every check held; else the first check that broke and where.
    QString run(const SoakActions& actions);
    // Drops steps and chunks of steps while the run still fails.
    SoakActions shrink(const SoakActions& failing);

    void setAnswerErrorsYes(bool yes) { m_errorsYes = yes; }
    // Calls sampler with the panel after every `every` steps (memory figures).
    using Sampler = std::function<void(QWidget* panel)>;
    void setSampler(int every, Sampler sampler) {
        m_sampleEvery = every;
        m_sampler = std::move(sampler);
    }
    const Figures& figures() const { return m_figures; }
    QString tracePath() const;
    // The trace goes here instead of a folder of the run's own.
    void setTracePath(const QString& path) { m_tracePath = path; }

private:
    struct Write {
        double value = 0;
        long status = 0;
        bool made = false;
    };
    struct StepTrace {
        QMap<int, QList<double>> writes; // per channel, in order
        int failedWrites = 0;
        int failedResets = 0;
        int closes = 0;
    };

    QString start();
    QString perform(const SoakAction& action);
    void act(const SoakAction& action);
    void typeInto(const SoakAction& action);
    void holdKey(const SoakAction& action);
    void turnWheel(const SoakAction& action);
    void useAbout(const SoakAction& action);
    void useWhatsThis(const SoakAction& action);
    void answerBox(QWidget* modal);
    void keepAnswering(bool exitYes = false);
    QString readTrace(StepTrace* step);
    QString checkWrites(const StepTrace& step);
    QString checkControls();
    QString checkBoxes(const StepTrace& step);
    QString checkQuiet();
    QString finish();

    QTemporaryDir m_dir;
    QString m_tracePath;
    std::unique_ptr<qv4720_fc> m_fc;
    std::unique_ptr<ModalAnswerer> m_answerer;
    std::unique_ptr<SoakPanel> m_panel;
    qint64 m_traceOffset = 0;
    QMap<int, QList<double>> m_changes;
    Write m_last[9];
    double m_output[9] = {};
    QMap<QString, long> m_faults;
    double m_loLimit = 0;
    double m_hiLimit = 0;
    bool m_watching = false; // construction is over: only writes and resets may reach the card
    bool m_errorsYes = false;
    int m_sampleEvery = 0;
    Sampler m_sampler;
    Figures m_figures;
};

#endif
