// The bench simulated when no bench file is named.
#ifndef ZSIM_DEFAULTBENCH_H
#define ZSIM_DEFAULTBENCH_H

namespace zsim {

// YAML text of the built-in bench (same content as benches/default.yaml).
const char* defaultBenchYaml();

} // namespace zsim

#endif
