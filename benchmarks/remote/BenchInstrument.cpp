#include "BenchInstrument.h"

#include "qv4720fp_ScpiCommands.h"

#include <cstdio>

BenchInstrument::BenchInstrument(ScpiEngine& engine) : session_(&card_), cardEngine_(&session_) {
    if (session_.open(QStringLiteral("VXI0::3::INSTR"), 2, false) != VI_SUCCESS)
        std::fprintf(stderr, "the simulated card did not open\n");
    session_.readOutputRange();
    session_.readSerialNumber();
    session_.readRevisions();
    qv4720fp_ScpiCommands::addTo(engine, &session_, &cardEngine_);
}

BenchInstrument::~BenchInstrument() {
    session_.close();
}
