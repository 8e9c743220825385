#include "qv4000fp_AppFC.h"

#include "qv4000.h"
#include "qv4000fp_About.h"
#include "qv4000fp_connectionTexts.h"
#include "qv4000fp_fcSelect.h"
#include "qv4000fp_genFC.h"
#include "qv4000fp_libraryText.h"
#include "qv4000fp_messages.h"

#include <QApplication>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {
const char* const kWindowTitle = "Zelvan %1 Soft Front Panel";
const char* const kWindowTitleWithHost = "Zelvan %1 Soft Front Panel: %2";
const char* const kHeaderTitle = "<html>Zelvan %1<br><font size='2'>%2</font></html>";
const char* const kSlotText = "Slot %1";
const char* const kFcText = "FC %1";
const char* const kLxiSlotHelp = "Shows which LXI module is connected to the Soft Front Panel";
const char* const kVxiSlotHelp = "Shows which VXI module is connected to the Soft Front Panel";
const char* const kFcHelp = "Shows which function card is connected to the Soft Front Panel";

const int kAttributeTextLength = 256;

// Reads a VISA text attribute; only an exact success yields a text.
QString textAttribute(ViSession vi, ViAttr attribute) {
    qv4000fp_libraryBuffer<kAttributeTextLength> buffer;
    if (viGetAttribute(vi, attribute, buffer.data) != VI_SUCCESS)
        return QString();
    return buffer.text();
}
} // namespace

qv4000fp_AppFC::qv4000fp_AppFC(qv4000fp_genFC* fc, int multiSelect, bool skipConnect,
                               const char* plotLibraryVersion, bool usesFft)
    : d_fc(fc) {
    auto* select = new qv4000fp_fcSelect(fc, multiSelect);
    connectCard(select, skipConnect);
    takeRecord(select, skipConnect);
    setDemo(d_demo != 0);

    QString slotText;
    QString hostText;
    readLocation(&slotText, &hostText);
    delete select;
    showLocation(slotText, hostText);

    createAbout(plotLibraryVersion, usesFft);
    connect(d_aboutButton, &QPushButton::clicked, d_about, &QWidget::show);
    connect(this, &qv4000fp_app::resetPressed, this, &qv4000fp_AppFC::resetDevice);
}

qv4000fp_AppFC::~qv4000fp_AppFC() {
    if (d_demo == 0 && d_fc)
        d_fc->closeInstrument(d_vi);
}

QString qv4000fp_AppFC::modelText() const {
    return qv4000fp_connectionTexts::modelText(d_fc->m_model);
}

// Runs the connection workflow; giving up there ends the program before the
// window is ever shown.
void qv4000fp_AppFC::connectCard(qv4000fp_fcSelect* select, bool skipConnect) {
    d_vi = 0;
    if (skipConnect) {
        d_demo = 1;
        return;
    }
    select->setWindowIcon(windowIcon());
    centerWidget(select);
    if (!select->connectFunctionCard())
        std::exit(0);
    d_demo = select->m_demoMode;
}

void qv4000fp_AppFC::takeRecord(const qv4000fp_fcSelect* select, bool skipConnect) {
    d_vi = select->m_vi;
    if (skipConnect) {
        // No workflow ran, so the record holds nothing chosen.
        d_fcCount = 0;
        std::fill(std::begin(d_fcNumbers), std::end(d_fcNumbers), 0);
        return;
    }
    for (int i = 0; i < MaxCards; ++i)
        d_fcNumbers[i] = static_cast<qint16>(select->m_fcNumbers[i]);
    d_fcCount = select->m_fcCount;
}

// Asks VISA where the card sits: a VXI slot, or else an LXI device and host.
void qv4000fp_AppFC::readLocation(QString* slotText, QString* hostText) {
    d_lxi = false;
    if (d_demo != 0) {
        d_vi = 0;
        return;
    }
    qv4000fp_libraryBuffer<sizeof(ViInt16)> slotValue;
    if (viGetAttribute(d_vi, VI_ATTR_SLOT, slotValue.data) < VI_SUCCESS) {
        d_lxi = true;
        *slotText = textAttribute(d_vi, VI_ATTR_TCPIP_DEVICE_NAME);
        *hostText = textAttribute(d_vi, VI_ATTR_TCPIP_HOSTNAME);
    } else {
        *slotText = QString::fromLatin1(kSlotText).arg(slotValue.value<ViInt16>());
    }
}

void qv4000fp_AppFC::showLocation(const QString& slotText, const QString& hostText) {
    const QString model = modelText();
    if (hostText.isEmpty())
        setWindowTitle(QString::fromLatin1(kWindowTitle).arg(model));
    else
        setWindowTitle(QString::fromLatin1(kWindowTitleWithHost).arg(model, hostText));
    setTitle(QString::fromLatin1(kHeaderTitle).arg(model, d_fc->description()));
    setLxi(d_lxi);

    const QString fcText =
        d_demo != 0 ? QString() : QString::fromLatin1(kFcText).arg(d_fcNumbers[0]);
    setSlotLabel(slotText, QString::fromLatin1(d_lxi ? kLxiSlotHelp : kVxiSlotHelp));
    setFcLabel(fcText, QString::fromLatin1(kFcHelp));
}

void qv4000fp_AppFC::createAbout(const char* plotLibraryVersion, bool usesFft) {
    // A failed call's text is no revision: the row then shows an empty one.
    const QByteArray libraryRevision = qv4000fp_carrierLibraryRevision();

    const QByteArray copyright = d_fc->copyright().toLocal8Bit();
    const QByteArray driverRevision = d_fc->driverRevision().toLocal8Bit();
    const QByteArray version = d_fc->version().toLocal8Bit();
    const QByteArray model = modelText().toLocal8Bit();
    d_about = new qv4000fp_About(version.constData(), driverRevision.constData(), model.constData(),
                                 copyright.constData(), this, libraryRevision.constData(),
                                 plotLibraryVersion, usesFft);
    d_about->setWindowIcon(windowIcon());
}

void qv4000fp_AppFC::resetDevice() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const ViStatus status = (d_demo == 0 && d_fc) ? d_fc->resetInstrument(d_vi) : VI_SUCCESS;
    if (status < VI_SUCCESS)
        showErrorMessage(qv4000fp_resetReport(status));
    else if (status > VI_SUCCESS)
        showWarningMessage(qv4000fp_resetReport(status));
    QApplication::restoreOverrideCursor();
}
