#include "qv4720fp_App.h"

#include "qv4000fp_About.h"
#include "qv4000fp_connectionTexts.h"
#include "qv4000fp_messages.h"
#include "qv4000fp_splashLabel.h"
#include "qv4720_dblCtrl.h"
#include "qv4720_fc.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_Config.h"
#include "qv4720fp_PanelServer.h"
#include "qv4720fp_RemoteStatus.h"
#include "qv4720fp_SafetyDialog.h"
#include "qv4720fp_SequenceWindow.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplashScreen>
#include <QTabWidget>

#include <cstdio>

namespace {
const char* const kPageTitle = "Voltage Output";
const char* const kRangeText = "*Voltage Range: %1V to %2V";
const char* const kShortCardName = " FC";
const char* const kLongCardName = " Function Card";
const char* const kSequencesAction = "Sequences...";
const char* const kSafetyAction = "Limits and Setups...";
} // namespace

qv4720fp_App::qv4720fp_App(qv4000fp_genFC* fc) : qv4000fp_AppFC(fc, 0, false, nullptr, false) {
    auto* layout = new QHBoxLayout;
    setCentralLayout(layout);
    m_tabs = new QTabWidget;
    layout->addWidget(m_tabs);

    bindSession(fc);
    readOutputRange();
    m_cardEngine = new qv4720fp_CardEngine(m_session, this);
    m_config = new qv4720fp_Config(this);
    m_tabs->addTab(m_config, QString::fromLatin1(kPageTitle));
    m_config->rangeLabel()->setText(qv4720fp_rangeText(m_loLimit, m_hiLimit));

    addHardwareInfo();
    addToolsMenu();
}

// The engine's thread ends before the base closes the card, and before the
// session it writes through goes with the other children; a running
// sequence leaves the outputs where they are.
qv4720fp_App::~qv4720fp_App() {
    delete m_cardEngine;
    m_cardEngine = nullptr;
}

// The session takes over what the connection workflow opened; the
// framework's reset and close then reach the card through it as well.
void qv4720fp_App::bindSession(qv4000fp_genFC* fc) {
    m_session = new qv4720fp_CardSession(fc, this);
    if (d_demo != 0)
        m_session->startDemo();
    else
        m_session->adopt(d_vi);
    if (auto* card = dynamic_cast<qv4720_fc*>(fc))
        card->bindSession(m_session);
}

void qv4720fp_App::report(ViStatus status, qv4720fp_CardSession::Call call) {
    if (status < VI_SUCCESS)
        showErrorMessage(m_session->statusReport(status, call));
    else if (status > VI_SUCCESS)
        showWarningMessage(m_session->statusReport(status, call));
}

void qv4720fp_App::readOutputRange() {
    report(m_session->readOutputRange(), qv4720fp_CardSession::Call::OutputRange);
    m_loLimit = m_session->loLimit();
    m_hiLimit = m_session->hiLimit();
}

void qv4720fp_App::addHardwareInfo() {
    report(m_session->readSerialNumber(), qv4720fp_CardSession::Call::SerialNumber);
    report(m_session->readRevisions(), qv4720fp_CardSession::Call::Revision);
    const qv4720fp_CardSession::Identity identity = m_session->identity();
    d_about->addHardwareInfo(identity.serialNumber, identity.firmwareRevision, identity.model,
                             QString(), QString());
}

// The additions to the specified window open from the page's context menu,
// so that the window itself looks exactly as before.
void qv4720fp_App::addToolsMenu() {
    m_tabs->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* sequences = new QAction(QString::fromLatin1(kSequencesAction), m_tabs);
    connect(sequences, &QAction::triggered, this, [this] { openSequenceWindow(); });
    m_tabs->addAction(sequences);
    auto* safety = new QAction(QString::fromLatin1(kSafetyAction), m_tabs);
    connect(safety, &QAction::triggered, this, [this] { openSafetyDialog(); });
    m_tabs->addAction(safety);
}

qv4720fp_SequenceWindow* qv4720fp_App::openSequenceWindow() {
    if (!m_sequenceWindow)
        m_sequenceWindow = new qv4720fp_SequenceWindow(this);
    m_sequenceWindow->show();
    m_sequenceWindow->raise();
    return m_sequenceWindow;
}

qv4720fp_SafetyDialog* qv4720fp_App::openSafetyDialog() {
    if (!m_safetyDialog)
        m_safetyDialog = new qv4720fp_SafetyDialog(this);
    m_safetyDialog->refresh();
    m_safetyDialog->show();
    m_safetyDialog->raise();
    return m_safetyDialog;
}

void qv4720fp_App::showRemoteStatus(qv4720fp_RemoteStatus* status) {
    auto* row = static_cast<QHBoxLayout*>(d_content->layout());
    row->removeWidget(m_tabs);
    auto* column = new QVBoxLayout;
    column->addWidget(m_tabs);
    column->addWidget(status);
    row->addLayout(column);
}

void qv4720fp_App::setRemoteLocked(bool locked) {
    for (int channel = 1; channel <= qv4720fp_Config::ChannelCount; ++channel)
        m_config->channelControl(channel)->setEnabled(!locked);
    d_resetButton->setEnabled(!locked);
}

void qv4720fp_App::writeChannel(int channel, double volts) {
    const qv4720fp_CardSession::WriteResult result = m_session->writeChannel(channel, volts);
    report(result.status, qv4720fp_CardSession::Call::WriteChannel);
}

QString qv4720fp_rangeText(double loLimit, double hiLimit) {
    return QString::fromLatin1(kRangeText)
        .arg(QString::number(loLimit, 'g', 3), QString::number(hiLimit, 'g', 3));
}

QString qv4720fp_splashDescription(QString description) {
    return description.replace(QLatin1String(kShortCardName), QLatin1String(kLongCardName));
}

int qv4720fp_run(const qv4720fp_ServeOptions& serve) {
    qv4720_fc descriptor;
    // Every box title names the card, so this is set before any box can show.
    panelName = qv4000fp_connectionTexts::modelText(descriptor.m_model);

    const qv4000fp_splashLabel image(1.0f, 20, descriptor.m_model, true, descriptor.copyright(),
                                     qv4720fp_splashDescription(descriptor.description()));
    auto* splash = new QSplashScreen(image);
    // The splash closes only once the window has been drawn; a window closed
    // before that must still end the run, so the splash does not count as a
    // window that keeps the application alive.
    splash->setAttribute(Qt::WA_QuitOnClose, false);
    splash->show();

    {
        // The connection workflow runs in here, under the splash screen.
        qv4720fp_App window(&descriptor);
        if (serve.serve)
            new qv4720fp_PanelServer(&window, serve);
        window.adjustSize();
        centerWidget(&window);
        window.show();
        splash->finish(&window);
        QApplication::exec();
        delete splash;
    }
    // The window closed the card on its way out; a close the driver refused
    // is said on the terminal, as there is no window left to show it in.
    if (!descriptor.closeReport().isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(descriptor.closeReport()));
    return 0;
}
