#ifndef QV4000FP_DISCOVERY_H
#define QV4000FP_DISCOVERY_H

#include "qv4000fp_resourceInfo.h"
#include "visa.h"

#include <QFuture>
#include <QList>
#include <QVector>

#include <functional>

class qv4000fp_genFC;

// The search behind "Auto Find", with no window: every VISA instrument
// resource, local ones queried one after the other, network ones all at
// once on a pool of their own, then duplicates dropped and the records put
// in the list's order. Whoever runs it decides how to wait for the network
// queries (a progress dialog, a line on a terminal).
class qv4000fp_discovery {
public:
    enum class Outcome { Found, NothingFound, SearchFailed };

    // What the waiting caller is told: the future of the network phase
    // (progress range 0..total, one step per resource, the ones queried
    // before it included) and how many of them it waits on.
    struct Queries {
        QFuture<void> future;
        int total;
        int pending;
    };
    // Runs on the calling thread until the future has finished, typically an
    // event loop fed by a QFutureWatcher connected before its setFuture().
    using Wait = std::function<void(const Queries& queries)>;

    explicit qv4000fp_discovery(qv4000fp_genFC* fc);

    // Also read each network carrier's host name (one more attribute read
    // per network resource).
    void setReadHostNames(bool read) { m_readHostNames = read; }

    // Found: at least one resource (records() in list order); NothingFound:
    // VISA knows no instrument resource; SearchFailed: no resource manager or
    // the search itself failed (status() tells which status).
    Outcome run(const Wait& wait);

    const QList<resourceInfo_t>& records() const { return m_records; }
    ViStatus status() const { return m_status; }

private:
    ViStatus findResources(ViSession defaultRM, ViFindList* findList);
    void queryResources(ViSession defaultRM, const Wait& wait);
    void runNetworkQueries(QVector<getResourceInfo_params_t*>& items, const Wait& wait);

    qv4000fp_genFC* m_fc; // not owned
    bool m_readHostNames = false;
    QList<resourceInfo_t> m_records;
    ViStatus m_status = VI_SUCCESS;
};

#endif
