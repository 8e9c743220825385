#include "qv4000fp_fcEnterAddressFc.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
const char* const kDescriptorLabel = "Instrument Descriptor:";
const char* const kDescriptorTip =
    "Enter the Instrument descriptor for the Function Card you want to connect to.<br>"
    "Examples:<br>"
    "<b>VXI0::1::INSTR</b> - VXI mainframe 0, Module with Logical Address 1<br>"
    "<b>TCPIP::192.168.2.60::INSTR</b> - Network Instrument with IP Address 192.168.2.60";
const char* const kFcLabel = "Function Card Number:";
const char* const kFcTip = "Select the Function Card Number";
const char* const kFcNone = "Select";
const char* const kFcItem = "FC %1";

const int kFunctionCards = 8;
const int kDescriptorWidthInLines = 20;
} // namespace

qv4000fp_fcEnterAddressFc::qv4000fp_fcEnterAddressFc() {
    auto* rowLayout = new QVBoxLayout;
    rowLayout->setContentsMargins(0, 0, 0, 0);

    auto* descriptorLine = new QHBoxLayout;
    descriptorLine->addWidget(new QLabel(QString::fromLatin1(kDescriptorLabel)));
    m_descriptorCombo = new QComboBox;
    m_descriptorCombo->setEditable(true);
    m_descriptorCombo->setMinimumWidth(kDescriptorWidthInLines * fontMetrics().lineSpacing());
    m_descriptorCombo->setToolTip(QString::fromLatin1(kDescriptorTip));
    descriptorLine->addWidget(m_descriptorCombo);
    rowLayout->addLayout(descriptorLine);

    auto* fcLine = new QHBoxLayout;
    fcLine->addWidget(new QLabel(QString::fromLatin1(kFcLabel)));
    m_fcCombo = new QComboBox;
    m_fcCombo->addItem(QString::fromLatin1(kFcNone));
    for (int number = 1; number <= kFunctionCards; ++number)
        m_fcCombo->addItem(QString::fromLatin1(kFcItem).arg(number));
    m_fcCombo->setToolTip(QString::fromLatin1(kFcTip));
    fcLine->addWidget(m_fcCombo);
    fcLine->addStretch();
    rowLayout->addLayout(fcLine);

    setLayout(rowLayout);
}
