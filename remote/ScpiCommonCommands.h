// The commands every instrument answers the same way, which need no
// instrument: IEEE 488.2's status commands, SCPI's required SYSTem and
// STATus subsystems, and the lock. *IDN?, *RST and *TST? belong to the binding.
#ifndef SFP_SCPICOMMONCOMMANDS_H
#define SFP_SCPICOMMONCOMMANDS_H

class ScpiEngine;

class ScpiCommonCommands {
public:
    static void registerAll(ScpiEngine& engine);

private:
    static void registerStatusCommands(ScpiEngine& engine);
    static void registerRegister(ScpiEngine& engine, const char* pattern, int which);
    static void registerSystemCommands(ScpiEngine& engine);
    static void registerLockCommands(ScpiEngine& engine);
};

#endif
