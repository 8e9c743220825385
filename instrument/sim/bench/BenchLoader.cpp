#include "BenchLoader.h"

#include "BenchFile.h"
#include "EventBudget.h"
#include "StatusText.h"
#include "TerminalText.h"
#include "VisaNames.h"
#include "visa.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <stdexcept>

namespace zsim {
namespace {

constexpr int kMaxLatencyMs = 60000;
constexpr size_t kMaxResources = 10000;
// Entries visited while building; aliases let a small tree name the same
// mapping many times, so the node count alone does not bound the bench.
constexpr size_t kMaxEntriesVisited = kMaxBenchNodes;

const char* const kPrefix = "zelvan sim: ";
const char* const kEmpty = "empty file";
const char* const kTooLarge = "larger than 16 MiB";
const char* const kZeroByte = "not a text file (holds a zero byte)";
const char* const kTooManyResources = "more than 10000 resources";
const char* const kTooManyEntries = "more than 250000 entries (counting repeated aliases)";

thread_local size_t t_entriesLeft = 0;

// A fault in the bench: where, and what. Thrown inside the loader only.
struct BenchFault {
    int line; // 1-based, 0 when unknown
    std::string message;
};

int lineOf(const YAML::Node& node, int fallback) {
    const YAML::Mark mark = node.Mark();
    return mark.is_null() ? fallback : mark.line + 1;
}

[[noreturn]] void fail(const YAML::Node& node, const std::string& context,
                       const std::string& message) {
    throw BenchFault{lineOf(node, 0), context.empty() ? message : context + ": " + message};
}

std::string quoted(const std::string& key) {
    return "\"" + key + "\"";
}

// Integers as the file writes them: decimal or 0x-hex, optionally signed.
std::optional<int64_t> toInteger(const std::string& text) {
    std::string_view s = text;
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    uint64_t value = 0;
    if (s.empty() || s.size() > 16)
        return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size() || value > (uint64_t(1) << 40))
        return std::nullopt;
    return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
}

int64_t integer(const YAML::Node& node, const std::string& context, const std::string& key,
                int64_t min, int64_t max, const char* range) {
    std::optional<int64_t> value;
    if (node.IsScalar())
        value = toInteger(node.Scalar());
    if (!value || *value < min || *value > max)
        fail(node, context, quoted(key) + " must be an integer " + range);
    return *value;
}

double number(const YAML::Node& node, const std::string& context, const std::string& key) {
    double value = 0;
    bool ok = false;
    if (node.IsScalar()) {
        const std::string& s = node.Scalar();
        const char* begin = s.data() + (!s.empty() && s[0] == '+' ? 1 : 0);
        const auto [end, ec] = std::from_chars(begin, s.data() + s.size(), value);
        ok = ec == std::errc() && end == s.data() + s.size() && std::isfinite(value);
    }
    if (!ok)
        fail(node, context, quoted(key) + " must be a number");
    return value;
}

std::string text(const YAML::Node& node, const std::string& context, const std::string& key,
                 size_t maxLength) {
    if (!node.IsScalar())
        fail(node, context, quoted(key) + " must be a text");
    const std::string& s = node.Scalar();
    if (s.size() > maxLength)
        fail(node, context,
             quoted(key) + " must be at most " + std::to_string(maxLength) + " characters");
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            fail(node, context, quoted(key) + " must hold printable ASCII characters only");
    return s;
}

// Calls visit(key, keyNode, value) for each entry of a mapping, refusing
// repeated keys (yaml-cpp accepts them) and keys not in `allowed` (if given).
template <class Visit>
void forEachEntry(const YAML::Node& map, const std::string& context,
                  std::initializer_list<const char*> allowed, Visit visit) {
    if (map.IsNull())
        return;
    if (!map.IsMap())
        fail(map, context, "must be a mapping");
    std::set<std::string> seen;
    for (auto it = map.begin(); it != map.end(); ++it) {
        const YAML::Node key = it->first;
        if (t_entriesLeft == 0)
            fail(key, context, kTooManyEntries);
        --t_entriesLeft;
        if (!key.IsScalar())
            fail(key, context, "keys must be plain texts");
        const std::string& name = key.Scalar();
        if (!seen.insert(name).second)
            fail(key, context, quoted(name) + " appears twice");
        if (allowed.size() != 0 &&
            std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return name == a; }))
            fail(key, context, "unknown key " + quoted(name));
        visit(name, key, it->second);
    }
}

int32_t statusValue(const YAML::Node& node, const std::string& context, const std::string& key) {
    if (node.IsScalar())
        if (const std::optional<int32_t> named = statusByName(node.Scalar()))
            return *named;
    const int64_t value = integer(node, context, key, INT32_MIN, UINT32_MAX,
                                  "status (-0x80000000..0xFFFFFFFF) or a status name");
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

FaultMap faults(const YAML::Node& node, const std::string& context) {
    FaultMap result;
    const std::string where = context.empty() ? "faults" : context + ": faults";
    forEachEntry(node, where, {},
                 [&](const std::string& key, const YAML::Node& keyNode, const YAML::Node& value) {
                     if (!isFaultKey(key))
                         fail(keyNode, where, "unknown function " + quoted(key));
                     result[key] = statusValue(value, where, key);
                 });
    return result;
}

Card card(const YAML::Node& node, const std::string& context, uint32_t defaultSerial) {
    Card c;
    c.serial = defaultSerial;
    forEachEntry(
        node, context, {"code", "variant", "range", "serial", "subtype", "firmware", "faults"},
        [&](const std::string& key, const YAML::Node&, const YAML::Node& value) {
            if (key == "code")
                c.code =
                    static_cast<uint16_t>(integer(value, context, key, 0, 0xFFFF, "0..0xFFFF"));
            else if (key == "variant")
                c.variant = text(value, context, key, 2);
            else if (key == "serial")
                c.serial = static_cast<uint32_t>(
                    integer(value, context, key, 0, 0xFFFFFFFF, "0..0xFFFFFFFF"));
            else if (key == "subtype")
                c.subtype = text(value, context, key, kSubtypeMax);
            else if (key == "firmware")
                c.firmware = text(value, context, key, kFirmwareMax);
            else if (key == "faults")
                c.faults = faults(value, context);
            else { // range
                if (!value.IsSequence() || value.size() != 2)
                    fail(value, context, "\"range\" must be [low, high]");
                c.rangeLow = number(value[0], context, "range");
                c.rangeHigh = number(value[1], context, "range");
                if (!(c.rangeLow < c.rangeHigh))
                    fail(value, context, "\"range\" must have low < high");
            }
        });
    return c;
}

Carrier carrier(const YAML::Node& node, const std::string& context, uint32_t serialBase) {
    Carrier c;
    YAML::Node slots;
    int slotCount = -1;
    forEachEntry(node, context, {"model", "slot_count", "slots"},
                 [&](const std::string& key, const YAML::Node&, const YAML::Node& value) {
                     if (key == "model")
                         c.model = static_cast<uint16_t>(
                             integer(value, context, key, 0, 0xFFFF, "0..0xFFFF"));
                     else if (key == "slot_count")
                         slotCount =
                             static_cast<int>(integer(value, context, key, 0, kMaxSlots, "0..64"));
                     else
                         slots = value;
                 });
    std::map<int, Card> cards;
    if (slots.IsDefined())
        forEachEntry(
            slots, context + ": slots", {},
            [&](const std::string& key, const YAML::Node& keyNode, const YAML::Node& value) {
                const int fc = static_cast<int>(integer(keyNode, context + ": slots", key, 1,
                                                        kMaxSlots, "function card number 1..64"));
                if (cards.count(fc))
                    fail(keyNode, context, "slot " + std::to_string(fc) + " appears twice");
                cards[fc] = card(value, "slot " + std::to_string(fc),
                                 serialBase + static_cast<uint32_t>(fc));
            });
    const int highest = cards.empty() ? 0 : cards.rbegin()->first;
    if (slotCount >= 0 && slotCount < highest)
        fail(node, context, "\"slot_count\" is below the highest slot " + std::to_string(highest));
    c.slotCount = slotCount >= 0 ? slotCount : highest;
    c.slots.resize(static_cast<size_t>(c.slotCount));
    for (auto& [fc, cardData] : cards)
        c.slots[static_cast<size_t>(fc - 1)] = cardData;
    return c;
}

bool isVxi(const ResourceName& n) {
    return n.intfType == VI_INTF_VXI || n.intfType == VI_INTF_GPIB_VXI;
}

void requireKind(bool ok, const YAML::Node& keyNode, const std::string& context,
                 const std::string& key, const char* kind) {
    if (!ok)
        fail(keyNode, context, quoted(key) + " applies to " + kind + " resources only");
}

Resource resource(const std::string& descriptor, const YAML::Node& keyNode, const YAML::Node& node,
                  size_t index) {
    Resource r;
    r.descriptor = descriptor;
    const std::string context = quoted(descriptor);
    if (!parseResourceName(descriptor, r.name))
        fail(keyNode, context, "not a VISA resource descriptor");
    const bool tcpip = r.name.intfType == VI_INTF_TCPIP;
    if (tcpip) {
        r.address = r.name.fields.front();
        r.deviceName = r.name.fields.size() > 1 ? r.name.fields[1] : "inst0";
    }
    const uint32_t serialBase = 0x00010000u + 0x100u * static_cast<uint32_t>(index % 0xFF00);
    forEachEntry(
        node, context,
        {"slot", "address", "hostname", "device_name", "latency_ms", "faults", "carrier"},
        [&](const std::string& key, const YAML::Node& k, const YAML::Node& value) {
            if (key == "slot") {
                requireKind(isVxi(r.name), k, context, key, "VXI");
                r.slot = static_cast<int>(integer(value, context, key, -1, 0x7FFF, "-1..32767"));
            } else if (key == "latency_ms") {
                r.latencyMs =
                    static_cast<int>(integer(value, context, key, 0, kMaxLatencyMs, "0..60000"));
            } else if (key == "faults") {
                r.faults = faults(value, context);
            } else if (key == "carrier") {
                if (!value.IsMap())
                    fail(value, context, "\"carrier\" must be a mapping");
                r.carrier = carrier(value, context + ": carrier", serialBase);
            } else {
                requireKind(tcpip, k, context, key, "TCPIP");
                std::string v = text(value, context, key, 4096);
                if (key == "address")
                    r.address = std::move(v);
                else if (key == "hostname")
                    r.hostname = std::move(v);
                else
                    r.deviceName = std::move(v);
            }
        });
    return r;
}

Bench bench(const YAML::Node& root, const std::string& name) {
    Bench b;
    b.name = name;
    if (!root.IsMap())
        fail(root, "", "a bench must be a mapping with \"version: 1\" and \"resources\"");
    bool versioned = false;
    forEachEntry(
        root, "", {"version", "faults", "resources"},
        [&](const std::string& key, const YAML::Node&, const YAML::Node& value) {
            if (key == "version") {
                integer(value, "", key, 1, 1, "1 (the only format version)");
                versioned = true;
            } else if (key == "faults") {
                b.faults = faults(value, "");
            } else {
                if (value.IsMap() && value.size() > kMaxResources)
                    fail(value, "resources", kTooManyResources);
                forEachEntry(
                    value, "resources", {},
                    [&](const std::string& descriptor, const YAML::Node& k, const YAML::Node& v) {
                        b.resources.push_back(resource(descriptor, k, v, b.resources.size()));
                    });
            }
        });
    if (!versioned)
        fail(root, "", "\"version: 1\" is missing");
    return b;
}

// Names and faults quote the file, which may hold terminal escapes.
std::string message(const std::string& name, int line, const std::string& fault) {
    std::string m = kPrefix + terminalSafe(name);
    if (line > 0)
        m += ":" + std::to_string(line);
    return m + ": " + terminalSafe(fault);
}

} // namespace

BenchLoadResult failedBench(const std::string& name, const std::string& fault) {
    BenchLoadResult result;
    result.error = message(name, 0, fault);
    return result;
}

std::string withoutPrefix(const std::string& error) {
    const std::string prefix = kPrefix;
    return error.compare(0, prefix.size(), prefix) == 0 ? error.substr(prefix.size()) : error;
}

BenchLoadResult parseBench(std::string_view yaml, const std::string& name) {
    BenchLoadResult result;
    try {
        if (yaml.empty())
            throw BenchFault{0, kEmpty};
        if (yaml.size() > kMaxBenchBytes)
            throw BenchFault{0, kTooLarge};
        if (yaml.find('\0') != std::string_view::npos)
            throw BenchFault{0, kZeroByte};
        EventBudget::check(yaml);
        const YAML::Node root = YAML::Load(std::string(yaml));
        t_entriesLeft = kMaxEntriesVisited;
        result.bench = bench(root, name);
    } catch (const BenchFault& f) {
        result.error = message(name, f.line, f.message);
    } catch (const EventBudget::BudgetExceeded& f) {
        result.error = message(name, f.line, f.message);
    } catch (const YAML::Exception& e) {
        result.error =
            message(name, e.mark.is_null() ? 0 : e.mark.line + 1, "not valid YAML: " + e.msg);
    } catch (const std::exception& e) {
        result.error = message(name, 0, std::string("cannot be read: ") + e.what());
    }
    if (!result.error.empty())
        result.bench.reset();
    return result;
}

} // namespace zsim
