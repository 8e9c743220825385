#ifndef QV4000FP_RESOURCEINFO_H
#define QV4000FP_RESOURCEINFO_H

#include "visa.h"

#include <QList>
#include <QString>
#include <QStringList>

class qv4000fp_genFC;

// One VISA resource found by the discovery, with the carrier and card texts
// the selection tree shows for it.
struct resourceInfo_t {
    QString descriptor;           // as the VISA search returned it
    QStringList systemText;       // the carrier row's text once the query succeeded
    quint16 carrierModel = 0;     // after remapping
    QString variantSuffix;        // working text: empty or "-" and two characters
    QList<QStringList> fcColumns; // per occupied slot: the card row's two texts
    QList<int> fcNumbers;         // per occupied slot: card number, 0 if not drivable
    QString tcpipAddress;         // VI_ATTR_TCPIP_ADDR of a network resource
    qint16 slot = 0;              // mainframe slot of a local carrier
    QString tcpipHostName;        // VI_ATTR_TCPIP_HOSTNAME, when asked for and readable
    QList<int> fcSlots;           // per occupied slot: its card number, drivable or not
};

// The work item of one resource. Worker threads share `fc` and `defaultRM`
// read-only; `info` is touched by one thread only.
struct getResourceInfo_params_t {
    qv4000fp_genFC* fc = nullptr;
    ViSession defaultRM = 0;
    resourceInfo_t info;
    bool done = false;         // already queried before the parallel phase
    bool readHostName = false; // also read a network carrier's host name
};

// Opens the resource, asks the carrier library which cards sit in its slots
// and fills item->info; a resource that fails anywhere keeps its info as it
// was. Safe to run for different items on several threads at once.
void getResourceInfo(getResourceInfo_params_t* item);

// Drops every network record whose address an earlier record already has:
// two descriptors that reach one carrier keep the first in VISA's order.
QList<resourceInfo_t> withoutDuplicateAddresses(const QList<resourceInfo_t>& records);

// The model code shown and compared for the code a carrier reports for a slot.
quint16 remapCardCode(quint16 reported);
// The carrier model code shown for the code the carrier reports.
quint16 remapCarrierModel(quint16 reported);

#endif
