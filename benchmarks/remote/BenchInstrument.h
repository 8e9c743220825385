// The command table the benchmark serves: the card's own commands over a card
// session on the simulated bench (card 2 of the carrier in VXI slot 3), so
// that every write goes through the session and the simulated driver.
#ifndef SFP_BENCH_BENCHINSTRUMENT_H
#define SFP_BENCH_BENCHINSTRUMENT_H

#include "qv4720_fc.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_CardSession.h"

class ScpiEngine;

class BenchInstrument {
public:
    explicit BenchInstrument(ScpiEngine& engine);
    ~BenchInstrument();

private:
    qv4720_fc card_;
    qv4720fp_CardSession session_;
    qv4720fp_CardEngine cardEngine_;
};

#endif
