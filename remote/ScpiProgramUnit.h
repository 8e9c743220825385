// One command or query of a program message, as parsed: the header's nodes
// (upper case, numeric suffix apart) and the parameters.
#ifndef SFP_SCPIPROGRAMUNIT_H
#define SFP_SCPIPROGRAMUNIT_H

#include "ScpiParameter.h"

#include <QVarLengthArray>

#include <cstring>
#include <string_view>

struct ScpiProgramUnit {
    // IEEE 488.2 bounds a program mnemonic to 12 characters.
    static constexpr int kMaxMnemonic = 12;
    struct Node {
        char name[kMaxMnemonic + 1] = {};
        int length = 0;
        int suffix = -1; // -1: none written
        std::string_view view() const { return std::string_view(name, size_t(length)); }
    };

    bool common = false;   // *XXX
    bool query = false;    // ends in '?'
    bool absolute = false; // starts at the root (':' or the first unit of a message)
    QVarLengthArray<Node, 6> nodes;
    QVarLengthArray<ScpiParameter, 2> parameters;

    void clear() {
        common = query = absolute = false;
        nodes.clear();
        parameters.clear();
    }
};

#endif
