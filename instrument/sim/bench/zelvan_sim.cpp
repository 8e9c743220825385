// The simulation-control C API over the Simulator.
#include "zelvan_sim.h"

#include "BenchDescription.h"
#include "BenchFile.h"
#include "BenchLoader.h"
#include "Simulator.h"
#include "Trace.h"

#include <algorithm>
#include <cstring>

using zsim::Simulator;

namespace {

int copyOut(const std::string& text, char* buf, int size) {
    if (buf && size > 0) {
        const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
        std::memcpy(buf, text.data(), n);
        buf[n] = '\0';
    }
    return static_cast<int>(text.size());
}

} // namespace

extern "C" {

int zsim_loadBenchFile(const char* path) {
    return Simulator::instance().loadFile(path) ? 0 : -1;
}

int zsim_loadBenchText(const char* yaml, const char* name) {
    return Simulator::instance().loadText(yaml ? yaml : "", name ? name : "(text)") ? 0 : -1;
}

int zsim_checkBenchFile(const char* path, char* reason, int size) {
    const std::string name = path ? path : "(null)";
    const zsim::BenchFileText file = zsim::readBenchFile(path);
    const zsim::BenchLoadResult result =
        file.ok ? zsim::parseBench(file.text, name) : zsim::failedBench(name, file.error);
    copyOut(zsim::withoutPrefix(result.error), reason, size);
    return result.bench ? 0 : -1;
}

void zsim_useDefaultBench(void) {
    Simulator::instance().useDefault();
}

void zsim_setTrace(const char* path) {
    zsim::setTracePath(path);
}

int zsim_channelOutput(const char* descriptor, int fcNumber, int channel, double* volts) {
    if (!descriptor || !volts)
        return -1;
    const std::optional<double> v = Simulator::instance().output(descriptor, fcNumber, channel);
    if (!v)
        return -1;
    *volts = *v;
    return 0;
}

int zsim_maxOpensInFlight(void) {
    return Simulator::instance().maxOpensInFlight();
}

void zsim_resetStatistics(void) {
    Simulator::instance().resetStatistics();
}

int zsim_openSessionCount(void) {
    return Simulator::instance().openSessionCount();
}

int zsim_callCount(const char* function) {
    return function ? Simulator::instance().callCount(function) : 0;
}

int zsim_benchName(char* buf, int size) {
    return copyOut(Simulator::instance().bench()->name, buf, size);
}

int zsim_benchDescription(char* buf, int size) {
    return copyOut(zsim::describeBench(*Simulator::instance().bench()), buf, size);
}

int zsim_openObjectCount(void) {
    return Simulator::instance().openObjectCount();
}

void zsim_setInjectedStatus(const char* function, int status) {
    if (function)
        Simulator::instance().setRuntimeFault(function, status);
}

void zsim_clearInjectedStatus(const char* function) {
    if (function)
        Simulator::instance().setRuntimeFault(function, std::nullopt);
    else
        Simulator::instance().clearRuntimeFaults();
}
}
