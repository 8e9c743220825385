#include "qv4720fp_App.h"

#include "qv4000fp_About.h"
#include "qv4000fp_libraryText.h"
#include "qv4000fp_messages.h"
#include "qv4000fp_splashLabel.h"
#include "qv4720.h"
#include "qv4720_fc.h"
#include "qv4720fp_Config.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplashScreen>
#include <QTabWidget>

namespace {
const char* const kPageTitle = "Voltage Output";
const char* const kRangeText = "*Voltage Range: %1V to %2V";
const char* const kCallFailed = "%1 failed due to [%2]";
const char* const kCallWarning = "Warning: [%1]";
const char* const kRangeCall = "qv4720_getOutputRange(vi(), &m_loLimit, &m_hiLimit)";
const char* const kSerialCall = "qv4720_readSerialNo(d_vi, &serialNumber, subtype)";
const char* const kRevisionCall =
    "qv4720_revision_query(d_vi, driverRevision, instrumentFirmwareRevision)";
const char* const kWriteCall = "qv4720_writeChannel(app->vi(), indx, val)";
const char* const kDemoSerial = "4720 (DEMO)";
const char* const kDemoRevision = "1.0.1.0 (DEMO)";
const char* const kDemoModel = "4720-AA (DEMO)";
const char* const kModel = "4720-%1";
const char* const kShortCardName = " FC";
const char* const kLongCardName = " Function Card";

const double kDemoLoLimit = -20.0;
const double kDemoHiLimit = 20.0;
const int kRevisionLength = 16;

QString driverText(ViStatus status) {
    char message[QV4720_ERROR_MESSAGE_BUFLEN] = {};
    qv4720_error_message(0, status, message);
    return qv4000fp_libraryText(message);
}

// Shows a failed driver call as an error and a warning status as a warning.
void reportDriverStatus(ViStatus status, const char* call) {
    if (status == VI_SUCCESS)
        return;
    const QString text = driverText(status);
    if (status < VI_SUCCESS)
        showErrorMessage(QString::fromLatin1(kCallFailed).arg(QString::fromLatin1(call), text));
    else
        showWarningMessage(QString::fromLatin1(kCallWarning).arg(text));
}
} // namespace

qv4720fp_App::qv4720fp_App(qv4000fp_genFC* fc) : qv4000fp_AppFC(fc, 0, false, nullptr, false) {
    auto* layout = new QHBoxLayout;
    setCentralLayout(layout);
    m_tabs = new QTabWidget;
    layout->addWidget(m_tabs);

    readOutputRange();
    m_config = new qv4720fp_Config(this);
    m_tabs->addTab(m_config, QString::fromLatin1(kPageTitle));
    m_config->rangeLabel()->setText(qv4720fp_rangeText(m_loLimit, m_hiLimit));

    addHardwareInfo();
}

qv4720fp_App::~qv4720fp_App() = default;

void qv4720fp_App::readOutputRange() {
    if (d_demo != 0) {
        m_loLimit = kDemoLoLimit;
        m_hiLimit = kDemoHiLimit;
        return;
    }
    // A driver that fails without writing leaves a range that admits 0 V only.
    m_loLimit = 0.0;
    m_hiLimit = 0.0;
    reportDriverStatus(qv4720_getOutputRange(vi(), &m_loLimit, &m_hiLimit), kRangeCall);
}

void qv4720fp_App::addHardwareInfo() {
    if (d_demo != 0) {
        d_about->addHardwareInfo(QString::fromLatin1(kDemoSerial),
                                 QString::fromLatin1(kDemoRevision),
                                 QString::fromLatin1(kDemoModel), QString(), QString());
        return;
    }
    ViUInt32 serialNumber = 0;
    char subtype[QV4720_SUBTYPE_BUFLEN] = {};
    reportDriverStatus(qv4720_readSerialNo(d_vi, &serialNumber, subtype), kSerialCall);
    const QString serial = QStringLiteral("%1").arg(serialNumber, 8, 16, QLatin1Char('0'));

    char driverRevision[kRevisionLength] = {};
    char firmwareRevision[kRevisionLength] = {};
    reportDriverStatus(qv4720_revision_query(d_vi, driverRevision, firmwareRevision),
                       kRevisionCall);
    const QString model = QString::fromLatin1(kModel).arg(qv4000fp_libraryText(subtype));

    d_about->addHardwareInfo(serial, qv4000fp_libraryText(firmwareRevision), model, QString(),
                             QString());
}

void qv4720fp_App::writeChannel(int channel, double volts) {
    reportDriverStatus(qv4720_writeChannel(d_vi, static_cast<ViUInt16>(channel), volts),
                       kWriteCall);
}

QString qv4720fp_rangeText(double loLimit, double hiLimit) {
    return QString::fromLatin1(kRangeText)
        .arg(QString::number(loLimit, 'g', 3), QString::number(hiLimit, 'g', 3));
}

QString qv4720fp_splashDescription(QString description) {
    return description.replace(QLatin1String(kShortCardName), QLatin1String(kLongCardName));
}

int qv4720fp_run() {
    qv4720_fc descriptor;
    // Every box title names the card, so this is set before any box can show.
    panelName = QStringLiteral("%1").arg(descriptor.m_model, 4, 16, QLatin1Char(' '));

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
        window.adjustSize();
        centerWidget(&window);
        window.show();
        splash->finish(&window);
        QApplication::exec();
        delete splash;
    }
    return 0;
}
