// The simulated bench at run time: the bench in use, the open VISA objects
// (resource managers, sessions, find lists), the channel outputs and the
// statistics. Thread-safe; nothing sleeps while holding the lock.
#ifndef ZSIM_SIMULATOR_H
#define ZSIM_SIMULATOR_H

#include "BenchTypes.h"
#include "SimExport.h"
#include "visa.h"

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zsim {

enum class ObjectKind { ResourceManager, Session, FindList };

// What a stand-in needs to know of an open object, copied out of the lock.
struct ObjectView {
    ObjectKind kind = ObjectKind::Session;
    std::shared_ptr<const Bench> bench;
    const Resource* resource = nullptr; // sessions: points into *bench
    size_t resourceIndex = 0;
    int driverFc = 0; // function card a driver session drives, 0 for plain sessions
    uint32_t timeoutMs = 0;
    uint64_t generation = 0;
};

class ZSIM_INTERNAL Simulator {
public:
    static Simulator& instance();

    // The bench in use, loaded at the first need from ZELVAN_SIM_BENCH.
    std::shared_ptr<const Bench> bench();
    bool loadFile(const char* path);
    bool loadText(const std::string& yaml, const std::string& name);
    void useDefault();

    ViStatus openResourceManager(ViSession* rm);
    // Opens a session to a bench resource after the resource's latency.
    // rm 0 opens a session of the driver's own (not tied to a resource manager).
    ViStatus openSession(ViSession rm, const std::string& name, ViSession* vi);
    ViStatus createFindList(ViSession rm, std::vector<std::string> rest, ViFindList* list);
    ViStatus findNext(ViFindList list, std::string& descriptor);
    ViStatus close(ViObject object);
    std::optional<ObjectView> view(ViObject object) const;
    bool setTimeout(ViObject object, uint32_t ms);
    void bindDriver(ViSession vi, int fcNumber);

    // Channel outputs of the card at (resource, fc) of the bench generation given.
    void setOutput(const ObjectView& card, int channel, double volts);
    void resetOutputs(const ObjectView& card);
    std::optional<double> output(const std::string& descriptor, int fcNumber, int channel);

    // Statuses set at run time (zsim_setInjectedStatus): they come before
    // any the bench gives, wherever the bench gives it.
    void setRuntimeFault(const std::string& function, std::optional<int32_t> status);
    void clearRuntimeFaults();
    std::optional<int32_t> runtimeFault(const std::string& function) const;

    void countCall(const char* function);
    int callCount(const std::string& function) const;
    int maxOpensInFlight() const { return m_maxInFlight.load(); }
    void resetStatistics();
    int openSessionCount() const;
    int openObjectCount() const;

    // The resource a descriptor names: the exact text first, else the same
    // resource spelt otherwise. Null when the bench has none.
    static const Resource* findResource(const Bench& bench, const std::string& name,
                                        size_t* index = nullptr);

private:
    Simulator() = default;
    struct Object {
        Object(ObjectKind k, ViSession p, std::shared_ptr<const Bench> b)
            : kind(k), parent(p), bench(std::move(b)) {}
        ObjectKind kind;
        ViSession parent; // resource manager of a session or find list
        std::shared_ptr<const Bench> bench;
        size_t resourceIndex = 0;
        int driverFc = 0;
        uint32_t timeoutMs = 2000;
        std::vector<std::string> pending; // find list: descriptors not yet returned
    };
    using OutputKey = std::pair<size_t, int>; // resource index, function card number

    std::shared_ptr<const Bench> benchLocked();
    void install(std::shared_ptr<const Bench> bench);
    ViSession addLocked(Object object);
    void enterOpen();

    mutable std::mutex m_mutex;
    std::shared_ptr<const Bench> m_bench;
    uint64_t m_generation = 0;
    ViSession m_nextHandle = 0x10001;
    std::map<ViObject, Object> m_objects;
    std::map<OutputKey, std::array<double, 8>> m_outputs;

    mutable std::mutex m_faultMutex;
    FaultMap m_runtimeFaults;
    std::atomic<bool> m_hasRuntimeFaults{false};

    mutable std::mutex m_statsMutex;
    std::map<std::string, int> m_calls;
    std::atomic<int> m_inFlight{0};
    std::atomic<int> m_maxInFlight{0};
};

// The injected status for function (and attribute, for "viGetAttribute(X)"
// keys) in the most specific place that has one: card, resource, bench.
ZSIM_INTERNAL std::optional<int32_t> injectedStatus(const Bench& bench, const Resource* resource,
                                                    const Card* card, const std::string& function,
                                                    const char* attribute = nullptr);

// Runs work unless the injected status is an error; an injected warning
// replaces a successful result.
template <class Work> int32_t withInjected(std::optional<int32_t> injected, Work work) {
    if (injected && *injected < 0)
        return *injected;
    const int32_t status = work();
    return injected && *injected > 0 && status >= 0 ? *injected : status;
}

} // namespace zsim

#endif
