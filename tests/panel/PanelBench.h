#ifndef PANELBENCH_H
#define PANELBENCH_H

#include "qv4720fp_App.h"

#include <QStringList>
#include <QTemporaryDir>

class QLabel;
class qv4000fp_led;

// The panel with its protected state opened up for checks.
class PanelProbe : public qv4720fp_App {
public:
    using qv4720fp_App::qv4720fp_App;

    bool lxi() const { return d_lxi; }
    int fcNumber(int i) const { return d_fcNumbers[i]; }
    int fcCount() const { return d_fcCount; }
    QLabel* slotLabel() const { return d_slotLabel; }
    QLabel* fcLabel() const { return d_fcLabel; }
    QLabel* busLogo() const { return d_busLogo; }
    qv4000fp_led* led() const { return d_led; }
    qv4000fp_About* about() const { return d_about; }
    void pressReset() { emit resetPressed(); }
};

// A simulated bench loaded from YAML text, with a trace file of its own.
class PanelBench {
public:
    explicit PanelBench(const char* yaml);
    ~PanelBench();

    bool loaded() const { return m_loaded; }
    QString tracePath() const;
    // The trace lines that begin with prefix (all lines for an empty prefix).
    QStringList trace(const QString& prefix = QString()) const;
    // The names of the traced driver calls, with " vi=0" added to those made
    // without a session.
    QStringList driverCalls() const;

private:
    QTemporaryDir m_dir;
    bool m_loaded = false;
};

// "Label:" -> value for each row of the About dialog's hardware form.
QMap<QString, QString> hardwareRows(qv4000fp_About* about);

// One usable 4720 at function card 2 of the VXI carrier in slot 3.
extern const char* const kOneCardBench;

#endif
