// The command table the benchmark serves: an identity and eight voltage
// channels with trivial handlers. To measure the real card instead, register
// the card layer's commands on the engine in its place.
#ifndef SFP_BENCH_BENCHINSTRUMENT_H
#define SFP_BENCH_BENCHINSTRUMENT_H

#include <array>

class ScpiEngine;

class BenchInstrument {
public:
    explicit BenchInstrument(ScpiEngine& engine);

private:
    std::array<double, 8> volts_{};
};

#endif
