#ifndef QV4720FP_APP_H
#define QV4720FP_APP_H

#include "qv4000fp_AppFC.h"
#include "qv4720fp_CardSession.h"
#include "qv4720fp_ServeOptions.h"

class QTabWidget;
class qv4720fp_CardEngine;
class qv4720fp_Config;
class qv4720fp_SafetyDialog;
class qv4720fp_SequenceWindow;
class qv4720fp_RemoteStatus;

// The DAC card's panel: the framework window with the "Voltage Output" page.
// It reads the card's output range and identity once, at construction.
class qv4720fp_App : public qv4000fp_AppFC {
    Q_OBJECT
public:
    explicit qv4720fp_App(qv4000fp_genFC* fc);
    ~qv4720fp_App() override;

    double loLimit() const { return m_loLimit; }
    double hiLimit() const { return m_hiLimit; }
    qv4720fp_Config* config() const { return m_config; }
    qv4720fp_CardSession* session() const { return m_session; }
    // The set-point engine every front end of this card shares (it starts on
    // first use).
    qv4720fp_CardEngine* cardEngine() const { return m_cardEngine; }
    // The function card number of the open card; 0 in demo mode.
    int fcNumber() const { return demo() ? 0 : d_fcNumbers[0]; }

    // Shows the network server's status line under the channels (only when
    // the card is served).
    void showRemoteStatus(qv4720fp_RemoteStatus* status);
    // While a network client holds the card, the channel controls and Reset
    // Device are the client's.
    void setRemoteLocked(bool locked);

    // Writes one channel's output; a failure or warning is shown to the
    // operator, who may end the program from the error box.
    void writeChannel(int channel, double volts);

    // The windows behind the page's context menu, built when first opened.
    qv4720fp_SequenceWindow* openSequenceWindow();
    qv4720fp_SafetyDialog* openSafetyDialog();

private:
    void bindSession(qv4000fp_genFC* fc);
    // Shows a failed driver call as an error and a warning status as a warning.
    void report(ViStatus status, qv4720fp_CardSession::Call call);
    void readOutputRange();
    void addHardwareInfo();
    void addToolsMenu();

    QTabWidget* m_tabs = nullptr;
    double m_loLimit = 0.0;
    double m_hiLimit = 0.0;
    qv4720fp_Config* m_config = nullptr;
    qv4720fp_CardSession* m_session = nullptr;
    qv4720fp_CardEngine* m_cardEngine = nullptr;
    qv4720fp_SequenceWindow* m_sequenceWindow = nullptr;
    qv4720fp_SafetyDialog* m_safetyDialog = nullptr;
};

// "*Voltage Range: ..." for the given limits in volts.
QString qv4720fp_rangeText(double loLimit, double hiLimit);

// The card's description as the splash screen shows it.
QString qv4720fp_splashDescription(QString description);

// Everything after the application object exists: splash, connection, panel,
// event loop and tear-down. Returns the process exit code, always 0.
// With --serve the card is served on the network as well.
int qv4720fp_run(const qv4720fp_ServeOptions& serve = {});

#endif
