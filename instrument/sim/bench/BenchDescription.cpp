// The bench written back as normalized YAML.
#include "BenchDescription.h"

#include "visa.h"

#include <yaml-cpp/yaml.h>

#include <charconv>
#include <cstdio>

namespace zsim {
namespace {

std::string hex(uint32_t value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, value);
    return buf;
}

std::string shortest(double value) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : "0";
}

void emitFaults(YAML::Emitter& out, const FaultMap& faults) {
    out << YAML::Key << "faults" << YAML::Value << YAML::Flow << YAML::BeginMap;
    for (const auto& [key, status] : faults)
        out << YAML::Key << key << YAML::Value << std::to_string(status);
    out << YAML::EndMap;
}

void emitCard(YAML::Emitter& out, const Card& c) {
    out << YAML::Flow << YAML::BeginMap;
    out << YAML::Key << "code" << YAML::Value << hex(c.code, 4);
    out << YAML::Key << "variant" << YAML::Value << YAML::DoubleQuoted << c.variant;
    out << YAML::Key << "range" << YAML::Value << YAML::Flow << YAML::BeginSeq
        << shortest(c.rangeLow) << shortest(c.rangeHigh) << YAML::EndSeq;
    out << YAML::Key << "serial" << YAML::Value << hex(c.serial, 8);
    out << YAML::Key << "subtype" << YAML::Value << YAML::DoubleQuoted << c.subtype;
    out << YAML::Key << "firmware" << YAML::Value << YAML::DoubleQuoted << c.firmware;
    emitFaults(out, c.faults);
    out << YAML::EndMap;
}

void emitCarrier(YAML::Emitter& out, const Carrier& c) {
    out << YAML::Key << "carrier" << YAML::Value << YAML::BeginMap;
    out << YAML::Key << "model" << YAML::Value << std::to_string(c.model);
    out << YAML::Key << "slot_count" << YAML::Value << std::to_string(c.slotCount);
    out << YAML::Key << "slots" << YAML::Value << YAML::BeginMap;
    for (size_t i = 0; i < c.slots.size(); ++i) {
        out << YAML::Key << std::to_string(i + 1) << YAML::Value;
        emitCard(out, c.slots[i]);
    }
    out << YAML::EndMap << YAML::EndMap;
}

void emitResource(YAML::Emitter& out, const Resource& r) {
    out << YAML::Key << YAML::DoubleQuoted << r.descriptor << YAML::Value << YAML::BeginMap;
    if (r.slot)
        out << YAML::Key << "slot" << YAML::Value << std::to_string(*r.slot);
    if (r.name.intfType == VI_INTF_TCPIP) {
        out << YAML::Key << "address" << YAML::Value << YAML::DoubleQuoted << r.address;
        if (r.hostname)
            out << YAML::Key << "hostname" << YAML::Value << YAML::DoubleQuoted << *r.hostname;
        out << YAML::Key << "device_name" << YAML::Value << YAML::DoubleQuoted << r.deviceName;
    }
    out << YAML::Key << "latency_ms" << YAML::Value << std::to_string(r.latencyMs);
    emitFaults(out, r.faults);
    if (r.carrier)
        emitCarrier(out, *r.carrier);
    out << YAML::EndMap;
}

} // namespace

std::string describeBench(const Bench& bench) {
    YAML::Emitter out;
    out << YAML::BeginMap;
    out << YAML::Key << "version" << YAML::Value << "1";
    emitFaults(out, bench.faults);
    out << YAML::Key << "resources" << YAML::Value << YAML::BeginMap;
    for (const Resource& r : bench.resources)
        emitResource(out, r);
    out << YAML::EndMap << YAML::EndMap;
    return std::string(out.c_str()) + "\n";
}

} // namespace zsim
