#include "qv4000fp_discovery.h"

#include "qv4000fp_descriptorOrder.h"
#include "qv4000fp_genFC.h"
#include "qv4000fp_libraryText.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <vector>

namespace {
const char* const kSearchExpression = "?*INSTR";
const char* const kNetworkKind = "TCPIP";

const int kMaxPoolThreads = 128;
const ViUInt32 kMaxResources = 65536; // far beyond any bench or network

// The network queries run on a pool of their own. The toolkit's global pool
// also serves its raster painting, which takes threads just while the
// progress dialog first paints; the map does not start the threads it was
// denied then until one of its queries has ended, a whole network round trip
// later. The pool is never destroyed: joining up to 128 idle threads would
// only delay the end of the process.
QThreadPool* discoveryThreadPool() {
    static QThreadPool* const pool = new QThreadPool;
    return pool;
}

bool isNetworkDescriptor(const QString& descriptor) {
    return descriptor.toUpper().contains(QLatin1String(kNetworkKind));
}

// Creating a pool thread takes a while, and the map creates its threads one
// after the other before its first query starts. So the threads are created
// ahead, by a pool thread while the local queries run: `count` of them, each
// held at the gate so that none is reused for the next.
void startPoolThreads(QThreadPool* pool, int count, QSemaphore* gate) {
    pool->start([pool, count, gate] {
        for (int i = 1; i < count; ++i)
            pool->start([gate] { gate->acquire(); });
        gate->acquire();
    });
}

// Lets the held threads go and waits until each is idle in the pool again,
// where the map takes it up at once.
void releasePoolThreads(QThreadPool* pool, int count, QSemaphore* gate) {
    gate->release(count);
    while (pool->activeThreadCount() > 0)
        QThread::yieldCurrentThread();
}
} // namespace

qv4000fp_discovery::qv4000fp_discovery(qv4000fp_genFC* fc) : m_fc(fc) {}

qv4000fp_discovery::Outcome qv4000fp_discovery::run(const Wait& wait) {
    m_records.clear();
    ViSession defaultRM = 0;
    m_status = viOpenDefaultRM(&defaultRM);
    if (m_status != VI_SUCCESS) {
        viClose(defaultRM);
        return Outcome::SearchFailed;
    }
    ViFindList findList = 0;
    m_status = findResources(defaultRM, &findList);
    if (m_status != VI_SUCCESS)
        return m_status == VI_ERROR_RSRC_NFOUND ? Outcome::NothingFound : Outcome::SearchFailed;
    queryResources(defaultRM, wait);
    m_records = withoutDuplicateAddresses(m_records);
    // Records that compare equal (carriers of one VXI interface) keep VISA's
    // order; and a stable sort stays in bounds where letter case makes the
    // descriptor order cycle.
    std::stable_sort(m_records.begin(), m_records.end(), resourceRecordLessThan);
    viClose(findList);
    viClose(defaultRM);
    return Outcome::Found;
}

// Appends a record per resource in VISA's order and leaves the find list
// open. When nothing was found, every session the search opened (the
// resource manager's included) is closed; a search that succeeds with no
// resource counts as VI_ERROR_RSRC_NFOUND.
ViStatus qv4000fp_discovery::findResources(ViSession defaultRM, ViFindList* findList) {
    qv4000fp_libraryBuffer<VI_FIND_BUFLEN> buffer;
    ViUInt32 count = 0;
    const ViStatus status = viFindRsrc(defaultRM, kSearchExpression, findList, &count, buffer.data);
    if (status != VI_SUCCESS) {
        viClose(defaultRM);
        return status;
    }
    if (count == 0) {
        viClose(*findList);
        viClose(defaultRM);
        return VI_ERROR_RSRC_NFOUND;
    }
    // A library whose count promises more than it has, and that goes on
    // answering success, must not keep the search going for ever.
    count = std::min<ViUInt32>(count, kMaxResources);
    ViStatus next = VI_SUCCESS;
    do {
        resourceInfo_t record;
        record.descriptor = buffer.text();
        m_records.append(record);
        --count;
        next = viFindNext(*findList, buffer.data);
    } while (next == VI_SUCCESS && count > 0);
    return VI_SUCCESS;
}

// Local resources are queried here one after the other; network resources,
// which may take long to answer, all at once on the thread pool.
void qv4000fp_discovery::queryResources(ViSession defaultRM, const Wait& wait) {
    const int pending = static_cast<int>(
        std::count_if(m_records.cbegin(), m_records.cend(), [](const resourceInfo_t& record) {
            return isNetworkDescriptor(record.descriptor);
        }));
    // One thread per pending item, up to the limit: threads for items that
    // are already done would only delay the start of the others.
    const int threads = std::clamp(pending, 1, kMaxPoolThreads);
    discoveryThreadPool()->setMaxThreadCount(threads);
    QSemaphore gate;
    if (pending > 0)
        startPoolThreads(discoveryThreadPool(), threads, &gate);
    std::vector<getResourceInfo_params_t> items(static_cast<size_t>(m_records.size()));
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        getResourceInfo_params_t& item = items[static_cast<size_t>(i)];
        item.fc = m_fc;
        item.defaultRM = defaultRM;
        item.readHostName = m_readHostNames;
        item.info = m_records.at(i);
        if (!isNetworkDescriptor(item.info.descriptor)) {
            getResourceInfo(&item);
            item.done = true;
        }
    }
    // The map hands each thread a growing block of items once the items go
    // fast; with the finished items first, a block could hold several network
    // items that would then be queried one after the other. Pending items go
    // first, so each of them starts on a thread of its own.
    if (pending > 0)
        releasePoolThreads(discoveryThreadPool(), threads, &gate);
    QVector<getResourceInfo_params_t*> sequence;
    sequence.reserve(m_records.size());
    for (bool done : {false, true}) {
        for (getResourceInfo_params_t& item : items) {
            if (item.done == done)
                sequence.append(&item);
        }
    }
    runNetworkQueries(sequence, wait);
    for (qsizetype i = 0; i < m_records.size(); ++i)
        m_records[i] = items[static_cast<size_t>(i)].info;
}

// The calling thread only waits until the map has finished; it reads the
// items after that.
void qv4000fp_discovery::runNetworkQueries(QVector<getResourceInfo_params_t*>& items,
                                           const Wait& wait) {
    const qsizetype pending =
        std::count_if(items.cbegin(), items.cend(),
                      [](const getResourceInfo_params_t* item) { return !item->done; });
    QFuture<void> future = QtConcurrent::map(discoveryThreadPool(), items, getResourceInfo);
    wait(Queries{future, static_cast<int>(items.size()), static_cast<int>(pending)});
    future.waitForFinished();
}
