#include "DefaultBench.h"

namespace zsim {

const char* defaultBenchYaml() {
    return R"(version: 1
resources:
  "VXI0::3::INSTR":
    slot: 3
    carrier:
      model: 2391
      slots:
        1: {code: 0x5C5C}
        2: {code: 0x4720, range: [-10, 10], serial: 0x00001A2B, subtype: "AA", firmware: "1.0.3"}
        3: {}
        4: {code: 0x4860, variant: "AB"}
  "TCPIP0::192.168.2.100::INSTR":
    address: 192.168.2.100
    hostname: lab-carrier-1
    device_name: inst0
    latency_ms: 150
    carrier:
      model: 2391
      slots:
        1: {code: 0x4720}
  "ASRL1::INSTR": {}
)";
}

} // namespace zsim
