// A bench as normalized YAML: every default spelt out, no comments, so two
// benches that behave alike describe alike. parseBench reads it back.
#ifndef ZSIM_BENCHDESCRIPTION_H
#define ZSIM_BENCHDESCRIPTION_H

#include "BenchTypes.h"
#include "SimExport.h"

#include <string>

namespace zsim {

ZSIM_INTERNAL std::string describeBench(const Bench& bench);

} // namespace zsim

#endif
