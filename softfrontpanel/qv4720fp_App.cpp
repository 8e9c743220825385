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

#include <cmath>

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
const std::size_t kRevisionLength = 16;

// Shows a failed driver call as an error and a warning status as a warning.
void reportDriverStatus(qv4000fp_genFC* fc, ViStatus status, const char* call) {
    if (status == VI_SUCCESS)
        return;
    const QString text = qv4720fp_statusReport(fc, status, QString::fromLatin1(call));
    if (status < VI_SUCCESS)
        showErrorMessage(text);
    else
        showWarningMessage(text);
}
} // namespace

QString qv4720fp_statusReport(qv4000fp_genFC* fc, ViStatus status, const QString& call) {
    if (status == VI_SUCCESS)
        return QString();
    // The descriptor's text honours the driver's "no text" answer: whatever
    // the driver left in the buffer then is not a message.
    const QString text = fc ? fc->errorMessage(status) : QString();
    if (status < VI_SUCCESS)
        return QString::fromLatin1(kCallFailed).arg(call, text);
    return QString::fromLatin1(kCallWarning).arg(text);
}

QString qv4720fp_writeCallText() {
    return QString::fromLatin1(kWriteCall);
}

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
    // A failed read leaves a range that admits 0 V only, whatever the driver
    // wrote; so does a "range" that is none (not finite, or reversed).
    double lo = 0.0;
    double hi = 0.0;
    const ViStatus status = qv4720_getOutputRange(vi(), &lo, &hi);
    const bool usable = status >= VI_SUCCESS && std::isfinite(lo) && std::isfinite(hi) && lo <= hi;
    m_loLimit = usable ? lo : 0.0;
    m_hiLimit = usable ? hi : 0.0;
    reportDriverStatus(d_fc, status, kRangeCall);
}

void qv4720fp_App::addHardwareInfo() {
    if (d_demo != 0) {
        d_about->addHardwareInfo(QString::fromLatin1(kDemoSerial),
                                 QString::fromLatin1(kDemoRevision),
                                 QString::fromLatin1(kDemoModel), QString(), QString());
        return;
    }
    // What a failed query wrote is not the card's: it shows as never read.
    ViUInt32 serialNumber = 0;
    qv4000fp_libraryBuffer<QV4720_SUBTYPE_BUFLEN> subtype;
    const ViStatus serialStatus = qv4720_readSerialNo(d_vi, &serialNumber, subtype.data);
    reportDriverStatus(d_fc, serialStatus, kSerialCall);
    const bool serialRead = serialStatus >= VI_SUCCESS;
    const QString serial =
        QStringLiteral("%1").arg(serialRead ? serialNumber : 0, 8, 16, QLatin1Char('0'));

    qv4000fp_libraryBuffer<kRevisionLength> driverRevision;
    qv4000fp_libraryBuffer<kRevisionLength> firmwareRevision;
    const ViStatus revisionStatus =
        qv4720_revision_query(d_vi, driverRevision.data, firmwareRevision.data);
    reportDriverStatus(d_fc, revisionStatus, kRevisionCall);
    const QString model = QString::fromLatin1(kModel).arg(serialRead ? subtype.text() : QString());
    const QString firmware = revisionStatus >= VI_SUCCESS ? firmwareRevision.text() : QString();

    d_about->addHardwareInfo(serial, firmware, model, QString(), QString());
}

void qv4720fp_App::writeChannel(int channel, double volts) {
    reportDriverStatus(d_fc, qv4720_writeChannel(d_vi, static_cast<ViUInt16>(channel), volts),
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
