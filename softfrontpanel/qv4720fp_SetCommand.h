#ifndef QV4720FP_SETCOMMAND_H
#define QV4720FP_SETCOMMAND_H

#include "qv4000fp_connectRequest.h"
#include "visa.h"

#include <QList>
#include <QString>
#include <QStringList>

class qv4000fp_genFC;
class qv4720fp_CardSession;

// "--set CH=VOLTS" and "--reset": scripted writes to one card without a
// window. The card is opened without the reset flag, so the channels not
// named keep their outputs. In demo mode nothing is opened or written: the
// run only shows what it would do.
class qv4720fp_SetCommand {
public:
    struct Setting {
        int channel = 0;
        double volts = 0.0;
    };

    // Parses every "CH=VOLTS" text into *settings, in order. Returns the
    // problem with the first bad or repeated one, or an empty text.
    static QString parse(const QStringList& texts, QList<Setting>* settings);

    // target: Start::Card with descriptor and fcNumber, or Start::Demo.
    qv4720fp_SetCommand(qv4000fp_genFC* fc, const qv4000fp_connectRequest& target, bool reset,
                        const QList<Setting>& settings);

    // Returns the process exit status (qv4720fp_ExitStatus).
    int run();

    // For every mode without a window that opened a card: closes it and says
    // so when the driver refuses; a failed close turns success into exit 1.
    static int closeAndReport(qv4720fp_CardSession& session, int status);
    // Opens the card asked for (demo mode: no card); says why it did not open.
    static bool openAndReport(qv4720fp_CardSession& session, const qv4000fp_connectRequest& target,
                              bool reset);

private:
    static QString parseOne(const QString& text, Setting* setting);
    int dryRun(const qv4720fp_CardSession& session);
    int runOpen(qv4720fp_CardSession& session);
    bool inRange(const qv4720fp_CardSession& session) const;
    bool resetCard(qv4720fp_CardSession& session);
    bool writeAll(qv4720fp_CardSession& session);
    // Says which channels were written before a failure and which were not
    // attempted.
    static void reportStopped(const QList<Setting>& written, const QList<Setting>& notAttempted);
    // Prints the report of a non-zero status; true unless it is an error
    // (a warning lets the run go on).
    static bool reportStatus(const QString& report, ViStatus status);

    qv4000fp_genFC* m_fc;
    qv4000fp_connectRequest m_target;
    bool m_reset;
    QList<Setting> m_settings;
};

#endif
