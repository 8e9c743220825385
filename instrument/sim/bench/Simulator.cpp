#include "Simulator.h"

#include "BenchFile.h"
#include "BenchLoader.h"
#include "DefaultBench.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace zsim {
namespace {

const char* const kBuiltInName = "(built-in)";

std::shared_ptr<const Bench> emptyBench(const std::string& name) {
    auto b = std::make_shared<Bench>();
    b->name = name;
    return b;
}

// A bad bench is reported once, whole, and leaves a bench with no resources.
std::shared_ptr<const Bench> parsedOrEmpty(const std::string& yaml, const std::string& name,
                                           bool* ok) {
    BenchLoadResult result = parseBench(yaml, name);
    *ok = result.bench.has_value();
    if (!*ok) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
        return emptyBench(name);
    }
    return std::make_shared<const Bench>(std::move(*result.bench));
}

std::shared_ptr<const Bench> builtIn() {
    bool ok = false;
    return parsedOrEmpty(defaultBenchYaml(), kBuiltInName, &ok);
}

std::shared_ptr<const Bench> fromFile(const char* path, bool* ok) {
    const std::string name = path ? path : "(null)";
    const BenchFileText file = readBenchFile(path);
    if (!file.ok) {
        std::fprintf(stderr, "%s\n", failedBench(name, file.error).error.c_str());
        *ok = false;
        return emptyBench(name);
    }
    return parsedOrEmpty(file.text, name, ok);
}

} // namespace

Simulator& Simulator::instance() {
    // Never destroyed: the stand-ins may be called from other libraries'
    // destructors during exit.
    static Simulator* simulator = new Simulator();
    return *simulator;
}

std::shared_ptr<const Bench> Simulator::benchLocked() {
    if (!m_bench) {
        const char* path = std::getenv("ZELVAN_SIM_BENCH");
        bool ok = false;
        m_bench = path && *path ? fromFile(path, &ok) : builtIn();
    }
    return m_bench;
}

std::shared_ptr<const Bench> Simulator::bench() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return benchLocked();
}

void Simulator::install(std::shared_ptr<const Bench> bench) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bench = std::move(bench);
    ++m_generation;
    m_objects.clear();
    m_outputs.clear();
}

bool Simulator::loadFile(const char* path) {
    bool ok = false;
    install(fromFile(path, &ok));
    return ok;
}

bool Simulator::loadText(const std::string& yaml, const std::string& name) {
    bool ok = false;
    install(parsedOrEmpty(yaml, name, &ok));
    return ok;
}

void Simulator::useDefault() {
    install(builtIn());
}

ViSession Simulator::addLocked(Object object) {
    while (m_nextHandle == VI_NULL || m_objects.count(m_nextHandle))
        ++m_nextHandle;
    const ViSession handle = m_nextHandle++;
    m_objects.emplace(handle, std::move(object));
    return handle;
}

ViStatus Simulator::openResourceManager(ViSession* rm) {
    std::lock_guard<std::mutex> lock(m_mutex);
    *rm = addLocked(Object(ObjectKind::ResourceManager, VI_NULL, benchLocked()));
    return VI_SUCCESS;
}

const Resource* Simulator::findResource(const Bench& bench, const std::string& name,
                                        size_t* index) {
    for (size_t i = 0; i < bench.resources.size(); ++i)
        if (bench.resources[i].descriptor == name) {
            if (index)
                *index = i;
            return &bench.resources[i];
        }
    ResourceName parsed;
    if (!parseResourceName(name, parsed))
        return nullptr;
    for (size_t i = 0; i < bench.resources.size(); ++i)
        if (sameResource(bench.resources[i].name, parsed)) {
            if (index)
                *index = i;
            return &bench.resources[i];
        }
    return nullptr;
}

void Simulator::enterOpen() {
    const int now = ++m_inFlight;
    int seen = m_maxInFlight.load();
    while (now > seen && !m_maxInFlight.compare_exchange_weak(seen, now)) {
    }
}

ViStatus Simulator::openSession(ViSession rm, const std::string& name, ViSession* vi) {
    *vi = VI_NULL;
    std::shared_ptr<const Bench> bench;
    uint64_t generation = 0;
    size_t index = 0;
    int latencyMs = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        bench = benchLocked();
        generation = m_generation;
        if (rm != VI_NULL) {
            const auto it = m_objects.find(rm);
            if (it == m_objects.end() || it->second.kind != ObjectKind::ResourceManager)
                return VI_ERROR_INV_OBJECT;
        }
        ResourceName parsed;
        if (!parseResourceName(name, parsed))
            return VI_ERROR_INV_RSRC_NAME;
        const Resource* resource = findResource(*bench, name, &index);
        if (!resource)
            return VI_ERROR_RSRC_NFOUND;
        latencyMs = resource->latencyMs;
    }
    enterOpen();
    if (latencyMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs));
    --m_inFlight;
    std::lock_guard<std::mutex> lock(m_mutex);
    // The bench was replaced, or the resource manager closed, while we waited.
    if (generation != m_generation)
        return VI_ERROR_RSRC_NFOUND;
    if (rm != VI_NULL && !m_objects.count(rm))
        return VI_ERROR_INV_OBJECT;
    Object session(ObjectKind::Session, rm, bench);
    session.resourceIndex = index;
    *vi = addLocked(std::move(session));
    return VI_SUCCESS;
}

ViStatus Simulator::createFindList(ViSession rm, std::vector<std::string> rest, ViFindList* list) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_objects.find(rm);
    if (it == m_objects.end() || it->second.kind != ObjectKind::ResourceManager)
        return VI_ERROR_INV_OBJECT;
    Object found(ObjectKind::FindList, rm, benchLocked());
    found.pending = std::move(rest);
    *list = addLocked(std::move(found));
    return VI_SUCCESS;
}

ViStatus Simulator::findNext(ViFindList list, std::string& descriptor) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_objects.find(list);
    if (it == m_objects.end() || it->second.kind != ObjectKind::FindList)
        return VI_ERROR_INV_OBJECT;
    std::vector<std::string>& pending = it->second.pending;
    if (pending.empty())
        return VI_ERROR_RSRC_NFOUND;
    descriptor = pending.front();
    pending.erase(pending.begin());
    return VI_SUCCESS;
}

ViStatus Simulator::close(ViObject object) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_objects.find(object);
    if (it == m_objects.end())
        return object == VI_NULL ? VI_WARN_NULL_OBJECT : VI_ERROR_INV_OBJECT;
    // Closing a resource manager closes everything opened through it.
    if (it->second.kind == ObjectKind::ResourceManager)
        for (auto child = m_objects.begin(); child != m_objects.end();)
            child = child->second.parent == object ? m_objects.erase(child) : std::next(child);
    m_objects.erase(object);
    return VI_SUCCESS;
}

std::optional<ObjectView> Simulator::view(ViObject object) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_objects.find(object);
    if (it == m_objects.end())
        return std::nullopt;
    const Object& o = it->second;
    ObjectView v;
    v.kind = o.kind;
    v.bench = o.bench;
    v.resourceIndex = o.resourceIndex;
    if (o.kind == ObjectKind::Session && o.bench && o.resourceIndex < o.bench->resources.size())
        v.resource = &o.bench->resources[o.resourceIndex];
    v.driverFc = o.driverFc;
    v.timeoutMs = o.timeoutMs;
    v.generation = m_generation;
    return v;
}

bool Simulator::setTimeout(ViObject object, uint32_t ms) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_objects.find(object);
    if (it == m_objects.end())
        return false;
    it->second.timeoutMs = ms;
    return true;
}

void Simulator::bindDriver(ViSession vi, int fcNumber) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_objects.find(vi);
    if (it != m_objects.end())
        it->second.driverFc = fcNumber;
}

void Simulator::setOutput(const ObjectView& card, int channel, double volts) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (card.generation != m_generation || channel < 1 || channel > 8)
        return;
    auto& outputs = m_outputs[{card.resourceIndex, card.driverFc}];
    outputs[static_cast<size_t>(channel - 1)] = volts;
}

void Simulator::resetOutputs(const ObjectView& card) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (card.generation == m_generation)
        m_outputs[{card.resourceIndex, card.driverFc}] = {};
}

std::optional<double> Simulator::output(const std::string& descriptor, int fcNumber, int channel) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::shared_ptr<const Bench> bench = benchLocked();
    size_t index = 0;
    const Resource* resource = findResource(*bench, descriptor, &index);
    if (!resource || !resource->carrier || channel < 1 || channel > 8)
        return std::nullopt;
    const Card* card = resource->carrier->card(fcNumber);
    if (!card || card->code != kModel4720)
        return std::nullopt;
    const auto it = m_outputs.find({index, fcNumber});
    return it == m_outputs.end() ? 0.0 : it->second[static_cast<size_t>(channel - 1)];
}

void Simulator::setRuntimeFault(const std::string& function, std::optional<int32_t> status) {
    std::lock_guard<std::mutex> lock(m_faultMutex);
    if (status)
        m_runtimeFaults[function] = *status;
    else
        m_runtimeFaults.erase(function);
    m_hasRuntimeFaults = !m_runtimeFaults.empty();
}

void Simulator::clearRuntimeFaults() {
    std::lock_guard<std::mutex> lock(m_faultMutex);
    m_runtimeFaults.clear();
    m_hasRuntimeFaults = false;
}

std::optional<int32_t> Simulator::runtimeFault(const std::string& function) const {
    if (!m_hasRuntimeFaults)
        return std::nullopt;
    std::lock_guard<std::mutex> lock(m_faultMutex);
    const auto it = m_runtimeFaults.find(function);
    if (it == m_runtimeFaults.end())
        return std::nullopt;
    return it->second;
}

void Simulator::countCall(const char* function) {
    std::lock_guard<std::mutex> lock(m_statsMutex);
    ++m_calls[function];
}

int Simulator::callCount(const std::string& function) const {
    std::lock_guard<std::mutex> lock(m_statsMutex);
    const auto it = m_calls.find(function);
    return it == m_calls.end() ? 0 : it->second;
}

void Simulator::resetStatistics() {
    std::lock_guard<std::mutex> lock(m_statsMutex);
    m_calls.clear();
    m_maxInFlight = m_inFlight.load();
}

int Simulator::openSessionCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (const auto& entry : m_objects)
        count += entry.second.kind == ObjectKind::Session ? 1 : 0;
    return count;
}

int Simulator::openObjectCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_objects.size());
}

std::optional<int32_t> injectedStatus(const Bench& bench, const Resource* resource,
                                      const Card* card, const std::string& function,
                                      const char* attribute) {
    const std::string specific = attribute ? function + "(" + attribute + ")" : std::string();
    if (attribute) {
        if (const std::optional<int32_t> runtime = Simulator::instance().runtimeFault(specific))
            return runtime;
    }
    if (const std::optional<int32_t> runtime = Simulator::instance().runtimeFault(function))
        return runtime;
    for (const FaultMap* faults :
         {card ? &card->faults : nullptr, resource ? &resource->faults : nullptr, &bench.faults}) {
        if (!faults || faults->empty())
            continue;
        if (attribute) {
            const auto it = faults->find(specific);
            if (it != faults->end())
                return it->second;
        }
        const auto it = faults->find(function);
        if (it != faults->end())
            return it->second;
    }
    return std::nullopt;
}

} // namespace zsim
