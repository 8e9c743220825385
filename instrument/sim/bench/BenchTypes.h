// The simulated bench as loaded from YAML: resources in file order, each
// optionally a carrier with function cards. Immutable once loaded; the
// changing state (sessions, channel outputs) lives in the Simulator.
#ifndef ZSIM_BENCHTYPES_H
#define ZSIM_BENCHTYPES_H

#include "ResourceName.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zsim {

// Injected statuses keyed by C function name, or "viGetAttribute(VI_ATTR_X)".
using FaultMap = std::map<std::string, int32_t>;

constexpr uint16_t kModel4720 = 0x4720;
constexpr int kMaxSlots = 64;
constexpr int kSubtypeMax = 3;   // 4-byte buffer with its NUL
constexpr int kFirmwareMax = 15; // 16-byte buffer with its NUL

struct Card {
    uint16_t code = 0;   // 0: empty slot
    std::string variant; // up to 2 characters, read at offset 252
    double rangeLow = -10.0;
    double rangeHigh = 10.0;
    uint32_t serial = 0;
    std::string subtype = "AA";
    std::string firmware = "1.0.3";
    FaultMap faults;
};

struct Carrier {
    uint16_t model = 0;
    int slotCount = 0;
    std::vector<Card> slots; // index 0 is function card number 1
    const Card* card(int fcNumber) const {
        if (fcNumber < 1 || fcNumber > static_cast<int>(slots.size()))
            return nullptr;
        return &slots[static_cast<size_t>(fcNumber - 1)];
    }
};

struct Resource {
    std::string descriptor; // as written in the bench
    ResourceName name;
    std::optional<int> slot; // VXI slot
    std::string address;     // TCP/IP address
    std::optional<std::string> hostname;
    std::string deviceName;
    int latencyMs = 0;
    FaultMap faults;
    std::optional<Carrier> carrier;
};

struct Bench {
    std::string name;
    FaultMap faults;
    std::vector<Resource> resources;
};

} // namespace zsim

#endif
