#include "FaultMatrix.h"

#include "qv4000.h"
#include "qv4720.h"

#include <QMap>

namespace {
const char* const kErrorTitle = "Zelvan 4720 SFP Error message";
const char* const kWarningTitle = "Zelvan 4720 SFP Warning message";
const char* const kSelectTitle = "Zelvan 4720 SFP: Select Function Card";
const char* const kRangeCall = "qv4720_getOutputRange(vi(), &m_loLimit, &m_hiLimit)";
const char* const kSerialCall = "qv4720_readSerialNo(d_vi, &serialNumber, subtype)";
const char* const kRevisionCall =
    "qv4720_revision_query(d_vi, driverRevision, instrumentFirmwareRevision)";
const char* const kWriteCall = "qv4720_writeChannel(app->vi(), indx, val)";

// What a trigger fault makes fail: the driver, with its own statuses.
const ViStatus kTrigger = QV4720_ERROR_VALUE;

QString str(const char* text) {
    return QString::fromLatin1(text);
}

Box error(const char* call, const QString& text) {
    return {str("error"),
            str(kErrorTitle),
            str("%1 failed due to [%2]\nDo you want to exit?").arg(str(call), text),
            {str("Yes"), str("No")}};
}

Box warning(const QString& text) {
    return {str("warning"), str(kWarningTitle), str("Warning: [%1]").arg(text), {str("OK")}};
}

Box resetError(const QString& text) {
    return {str("reset error"),
            str(kErrorTitle),
            str("Function Call failed due to [%1]\nDo you want to exit?").arg(text),
            {str("Yes"), str("No")}};
}

Box resetWarning(const QString& text) {
    return {str("reset warning"), str(kWarningTitle), str("Warning [%1]").arg(text), {str("OK")}};
}

Box noCard() {
    return {str("no card found"),
            str(kSelectTitle),
            str("No 4720 Function Card found on your system."),
            {str("Try Again"), str("Run In Demo Mode"), str("Cancel")}};
}

Box unavailable(const QString& text) {
    return {str("card unavailable"),
            str(kSelectTitle),
            str("Selected 4720 Function Card is unavailable.\nError: %1").arg(text),
            {str("Try Again"), str("Cancel")}};
}

const Expect kSilent{};

Expect shows(const Box& box, bool demo = false) {
    return {{box}, demo};
}

// The connection workflow's text for a status: the driver's, else the
// carrier library's.
QString openText(const StatusTexts& t, ViStatus status) {
    const QString driver = t.driver(status);
    return driver.isEmpty() ? t.carrier(status) : driver;
}

QString faultList(const QList<Fault>& faults, Place place) {
    QStringList entries;
    for (const Fault& fault : faults) {
        if (fault.place == place)
            entries << QStringLiteral("\"%1\": %2").arg(fault.function).arg(fault.status);
    }
    return QStringLiteral("{%1}").arg(entries.join(QStringLiteral(", ")));
}
} // namespace

ViStatus injectedStatus(Family family, bool negative) {
    switch (family) {
    case Family::Visa:
        return negative ? VI_ERROR_SYSTEM_ERROR : VI_WARN_CONFIG_NLOADED;
    case Family::Carrier:
        return negative ? QV4000_ERROR_NOT_CARRIER : QV4000_WARN_SELF_TEST;
    case Family::Driver:
        break;
    }
    return negative ? QV4720_ERROR_VALUE : QV4720_WARN_SETTLING;
}

QList<Row> faultMatrix(const StatusTexts& t) {
    const ViStatus dn = injectedStatus(Family::Driver, true);
    const ViStatus dp = injectedStatus(Family::Driver, false);
    const QString none;
    const Expect noCardDemo = shows(noCard(), true);
    const QList<Fault> resetFails{{Place::Card, str("qv4720_reset"), kTrigger}};
    const QList<Fault> writeFails{{Place::Card, str("qv4720_writeChannel"), kTrigger}};
    const QList<Fault> openFails{{Place::Card, str("qv4720_paramInit"), kTrigger}};
    QList<Fault> openFailsWithoutText = openFails;
    openFailsWithoutText << Fault{Place::Bench, str("qv4720_error_message"), kTrigger};
    const QList<Fault> sessionCallsSucceed{{Place::Card, str("qv4720_revision_query"), 0}};

    // clang-format off
    return {
        // VISA. The search lists ASRL1 (no carrier) before the 4720's carrier.
        {str("viOpenDefaultRM"), Family::Visa, Place::Bench, str("viOpenDefaultRM"), false, {},
         noCardDemo, noCardDemo},
        {str("viFindRsrc"), Family::Visa, Place::Bench, str("viFindRsrc"), false, {},
         noCardDemo, noCardDemo},
        {str("viFindNext"), Family::Visa, Place::Bench, str("viFindNext"), false, {},
         noCardDemo, noCardDemo},
        {str("viOpen"), Family::Visa, Place::Other, str("viOpen"), false, {}, kSilent, kSilent},
        {str("viClose"), Family::Visa, Place::Bench, str("viClose"), false, {}, kSilent, kSilent},
        {str("viGetAttribute(VI_ATTR_INTF_TYPE)"), Family::Visa, Place::Carrier,
         str("viGetAttribute(VI_ATTR_INTF_TYPE)"), true, {}, kSilent, kSilent},
        {str("viGetAttribute(VI_ATTR_TCPIP_ADDR)"), Family::Visa, Place::Carrier,
         str("viGetAttribute(VI_ATTR_TCPIP_ADDR)"), true, {}, kSilent, kSilent},
        {str("viGetAttribute(VI_ATTR_SLOT)"), Family::Visa, Place::Carrier,
         str("viGetAttribute(VI_ATTR_SLOT)"), false, {}, kSilent, kSilent},
        {str("viGetAttribute(VI_ATTR_TCPIP_DEVICE_NAME)"), Family::Visa, Place::Carrier,
         str("viGetAttribute(VI_ATTR_TCPIP_DEVICE_NAME)"), true, {}, kSilent, kSilent},
        {str("viGetAttribute(VI_ATTR_TCPIP_HOSTNAME)"), Family::Visa, Place::Carrier,
         str("viGetAttribute(VI_ATTR_TCPIP_HOSTNAME)"), true, {}, kSilent, kSilent},

        // The carrier library.
        {str("qv4000_openCarrier"), Family::Carrier, Place::Other, str("qv4000_openCarrier"),
         false, {}, kSilent, kSilent},
        {str("qv4000_closeCarrier"), Family::Carrier, Place::Carrier, str("qv4000_closeCarrier"),
         false, {}, kSilent, kSilent},
        {str("qv4000_errorMessage (Reset Device fails)"), Family::Carrier, Place::Bench,
         str("qv4000_errorMessage"), false, resetFails,
         shows(resetError(none)), shows(resetError(t.carrier(kTrigger)))},
        {str("qv4000_errorMessage (card won't open, no driver text)"), Family::Carrier,
         Place::Bench, str("qv4000_errorMessage"), false, openFailsWithoutText,
         shows(unavailable(none), true), shows(unavailable(t.carrier(kTrigger)), true)},
        {str("qv4000_libraryRevision"), Family::Carrier, Place::Bench,
         str("qv4000_libraryRevision"), false, {}, kSilent, kSilent},
        {str("readCard16 (variant at offset 252)"), Family::Carrier, Place::Variant,
         str("readCard16"), false, {}, kSilent, kSilent},

        // The card's driver.
        {str("qv4720_paramInit"), Family::Driver, Place::Card, str("qv4720_paramInit"), false, {},
         shows(unavailable(openText(t, dn)), true), shows(unavailable(openText(t, dp)), true)},
        {str("qv4720_getOutputRange"), Family::Driver, Place::Card, str("qv4720_getOutputRange"),
         false, {}, shows(error(kRangeCall, t.driver(dn))), shows(warning(t.driver(dp)))},
        {str("qv4720_readSerialNo"), Family::Driver, Place::Card, str("qv4720_readSerialNo"),
         false, {}, shows(error(kSerialCall, t.driver(dn))), shows(warning(t.driver(dp)))},
        {str("qv4720_revision_query (session)"), Family::Driver, Place::Card,
         str("qv4720_revision_query"), false, {},
         shows(error(kRevisionCall, t.driver(dn))), shows(warning(t.driver(dp)))},
        {str("qv4720_revision_query (session 0)"), Family::Driver, Place::Bench,
         str("qv4720_revision_query"), false, sessionCallsSucceed, kSilent, kSilent},
        {str("qv4720_writeChannel"), Family::Driver, Place::Card, str("qv4720_writeChannel"),
         false, {}, shows(error(kWriteCall, t.driver(dn))), shows(warning(t.driver(dp)))},
        {str("qv4720_reset"), Family::Driver, Place::Card, str("qv4720_reset"), false, {},
         shows(resetError(t.carrier(dn))), shows(resetWarning(t.carrier(dp)))},
        {str("qv4720_close"), Family::Driver, Place::Card, str("qv4720_close"), false, {},
         kSilent, kSilent},
        // Any non-zero answer is the driver's "no text", whatever it wrote.
        {str("qv4720_error_message (a write fails)"), Family::Driver, Place::Bench,
         str("qv4720_error_message"), false, writeFails,
         shows(error(kWriteCall, none)), shows(error(kWriteCall, none))},
        {str("qv4720_error_message (card won't open)"), Family::Driver, Place::Bench,
         str("qv4720_error_message"), false, openFails,
         shows(unavailable(t.carrier(kTrigger)), true),
         shows(unavailable(t.carrier(kTrigger)), true)},
    };
    // clang-format on
}

QByteArray matrixBench(const Row& row, ViStatus status) {
    QList<Fault> faults = row.triggers;
    faults << Fault{row.place, row.function, status};
    const QString card = QStringLiteral("{code: 0x4720, range: [-10, 10], serial: 0x00001A2B, "
                                        "subtype: \"AA\", firmware: \"1.0.3\", faults: %1}")
                             .arg(faultList(faults, Place::Card));
    const QString cards = QStringLiteral("{2: %1, 4: {code: 0x4860, variant: \"AB\", faults: %2}}")
                              .arg(card, faultList(faults, Place::Variant));
    const QString carrier = row.lxi ? QStringLiteral("  \"TCPIP0::192.168.2.100::INSTR\":\n"
                                                     "    address: 192.168.2.100\n"
                                                     "    hostname: lab-carrier-1\n"
                                                     "    device_name: inst0\n")
                                    : QStringLiteral("  \"VXI0::3::INSTR\":\n    slot: 3\n");
    return QStringLiteral("version: 1\n"
                          "faults: %1\n"
                          "resources:\n"
                          "  \"ASRL1::INSTR\": {}\n"
                          "%2"
                          "    faults: %3\n"
                          "    carrier: {model: 2391, slots: %4}\n"
                          "  \"GPIB0::22::INSTR\":\n"
                          "    faults: %5\n"
                          "    carrier: {model: 2391, slots: {1: {code: 0x5C5C}}}\n")
        .arg(faultList(faults, Place::Bench), carrier, faultList(faults, Place::Carrier), cards,
             faultList(faults, Place::Other))
        .toUtf8();
}
