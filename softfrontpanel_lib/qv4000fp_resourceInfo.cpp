#include "qv4000fp_resourceInfo.h"

#include "qv4000.h"
#include "qv4000fp_connectionTexts.h"
#include "qv4000fp_genFC.h"
#include "qv4000fp_libraryText.h"

#include <QSet>
#include <QtGlobal>

#include <cstring>

namespace {
const char* const kLxiRow = "%1 - %2 LXI";
const char* const kSlotRow = "Slot %1 - %2 MB";
const char* const kCardRow = "FC %1";

struct CodeMapping {
    quint16 reported;
    quint16 model;
};
const CodeMapping kExactCodes[] = {
    {0x5C5C, 0x4650}, {0x8E20, 0x4710}, {0xB1C8, 0x4830}, {0xB348, 0x4831}};
// Bits 8 and 9 of this code carry no model information.
const quint16 kMaskedCode = 0x8C88;
const quint16 kMaskedCodeMask = 0xFCFF;
const quint16 kMaskedCodeModel = 0x4950;

const quint16 kCarrierModelShown2391 = 4160;
const quint16 kVariantModels[] = {0x4860, 0x4870};

const std::size_t kAttributeBufferLength = 256;

// A failed read counts as an interface other than TCP/IP.
bool isNetworkResource(ViSession session) {
    // Attribute buffers carry no size: the library gets room to spare.
    qv4000fp_libraryBuffer<sizeof(ViUInt16)> type;
    if (viGetAttribute(session, VI_ATTR_INTF_TYPE, type.data) < VI_SUCCESS)
        return false;
    return type.value<ViUInt16>() == VI_INTF_TCPIP;
}

// A failed read gives an empty text.
QString textAttribute(ViSession session, ViAttr attribute) {
    qv4000fp_libraryBuffer<kAttributeBufferLength> text;
    if (viGetAttribute(session, attribute, text.data) < VI_SUCCESS)
        return QString();
    return text.text();
}

// A failed read counts as slot 0.
ViInt16 mainframeSlot(ViSession session) {
    qv4000fp_libraryBuffer<sizeof(ViInt16)> slot;
    if (viGetAttribute(session, VI_ATTR_SLOT, slot.data) < VI_SUCCESS)
        return 0;
    return slot.value<ViInt16>();
}

void describeCarrier(const getResourceInfo_params_t& item, ViSession session,
                     resourceInfo_t& info) {
    const qint16 model = static_cast<qint16>(info.carrierModel);
    if (isNetworkResource(session)) {
        info.tcpipAddress = textAttribute(session, VI_ATTR_TCPIP_ADDR);
        if (item.readHostName)
            info.tcpipHostName = textAttribute(session, VI_ATTR_TCPIP_HOSTNAME);
        info.systemText << QString::fromLatin1(kLxiRow).arg(info.tcpipAddress,
                                                            QString::number(model));
    } else {
        info.tcpipAddress.clear();
        info.slot = mainframeSlot(session);
        info.systemText << QString::fromLatin1(kSlotRow).arg(info.slot).arg(model);
    }
}

bool hasVariant(quint16 model) {
    for (quint16 variantModel : kVariantModels) {
        if (model == variantModel)
            return true;
    }
    return false;
}

// "-" and the two characters stored at the variant offset of the card, high
// byte first; empty when the card cannot be read.
QString variantOf(qv4000_carrierObject* carrier, qv4000_interfaceTable* cardInterface,
                  ViUInt16 fcNumber) {
    if (!cardInterface || !cardInterface->readCard16)
        return QString();
    ViUInt16 value = 0;
    if (cardInterface->readCard16(carrier, fcNumber, QV4000_VARIANT_OFFSET, &value) < VI_SUCCESS)
        return QString();
    return QStringLiteral("-") + QChar::fromLatin1(static_cast<char>(value >> 8)) +
           QChar::fromLatin1(static_cast<char>(value & 0xFF));
}

qv4000_interfaceTable* cardInterfaceOf(qv4000_carrierObject* carrier) {
    if (!carrier->getInterface)
        return nullptr;
    return carrier->getInterface(carrier, QV4000_CARD_INTERFACE_SELECTOR,
                                 QV4000_CARD_INTERFACE_VERSION);
}

void describeCards(const getResourceInfo_params_t& item, qv4000_carrierObject* carrier,
                   qv4000_interfaceTable* cardInterface, resourceInfo_t& info) {
    const qv4000_description* description = carrier->description;
    const int slotCount = qBound(0, static_cast<int>(description->slotCount), QV4000_MAX_SLOTS);
    for (int i = 0; i < slotCount; ++i) {
        const quint16 reported = description->slotCodes[i];
        if (reported == 0)
            continue;
        const quint16 code = remapCardCode(reported);
        const ViUInt16 fcNumber = static_cast<ViUInt16>(i + 1);
        info.variantSuffix.clear();
        if (hasVariant(code))
            info.variantSuffix = variantOf(carrier, cardInterface, fcNumber);
        info.fcColumns << QStringList{QString::fromLatin1(kCardRow).arg(fcNumber),
                                      qv4000fp_connectionTexts::modelText(code) +
                                          info.variantSuffix};
        info.fcNumbers << (item.fc->supportsModel(reported) ? int(fcNumber) : 0);
        info.fcSlots << int(fcNumber);
    }
}
} // namespace

quint16 remapCardCode(quint16 reported) {
    for (const CodeMapping& mapping : kExactCodes) {
        if (reported == mapping.reported)
            return mapping.model;
    }
    if ((reported & kMaskedCodeMask) == kMaskedCode)
        return kMaskedCodeModel;
    return reported;
}

quint16 remapCarrierModel(quint16 reported) {
    return reported == QV4000_CARRIER_MODEL_2391 ? kCarrierModelShown2391 : reported;
}

void getResourceInfo(getResourceInfo_params_t* item) {
    if (item->done)
        return;
    resourceInfo_t info = item->info;
    const QByteArray name = info.descriptor.toLatin1();
    ViSession session = 0;
    if (viOpen(item->defaultRM, name.constData(), VI_NO_LOCK, 0, &session) < VI_SUCCESS)
        return;
    qv4000_carrierRecord record;
    std::memset(&record, 0, sizeof record);
    record.defaultRM = item->defaultRM;
    if (qv4000_openCarrier(session, &record) < VI_SUCCESS) {
        viClose(session);
        return;
    }
    // A library that reports success without a carrier description is
    // treated like one that refused the resource.
    qv4000_carrierObject* carrier = record.carrier;
    if (carrier && carrier->description) {
        qv4000_interfaceTable* cardInterface = cardInterfaceOf(carrier);
        info.carrierModel = remapCarrierModel(carrier->description->carrierModel);
        describeCarrier(*item, session, info);
        describeCards(*item, carrier, cardInterface, info);
        item->info = info;
    }
    qv4000_closeCarrier(&record);
    viClose(session);
}

QList<resourceInfo_t> withoutDuplicateAddresses(const QList<resourceInfo_t>& records) {
    QList<resourceInfo_t> kept;
    QSet<QString> addresses;
    for (const resourceInfo_t& record : records) {
        if (!record.tcpipAddress.isEmpty()) {
            if (addresses.contains(record.tcpipAddress))
                continue;
            addresses.insert(record.tcpipAddress);
        }
        kept.append(record);
    }
    return kept;
}
