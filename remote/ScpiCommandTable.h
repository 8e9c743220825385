// The commands a server knows. Each pattern is compiled once, at
// registration, into a tree with one path per combination of its optional
// nodes, so that a header is resolved by walking the tree node by node.
#ifndef SFP_SCPICOMMANDTABLE_H
#define SFP_SCPICOMMANDTABLE_H

#include "ScpiCommandEntry.h"
#include "ScpiError.h"
#include "ScpiProgramUnit.h"

#include <QString>
#include <QVarLengthArray>

#include <memory>
#include <vector>

class ScpiSession;

class ScpiCommandTable {
public:
    struct Node;
    // The current path of IEEE 488.2: after ';' a header continues at the
    // level of the previous header's last node, suffixes included.
    struct Path {
        struct Step {
            const Node* node;
            int suffix;
        };
        QVarLengthArray<Step, 8> steps;
    };
    struct Resolved {
        const ScpiCommandEntry* command = nullptr;
        QVarLengthArray<int, 4> suffixes;
    };

    ScpiCommandTable();
    ~ScpiCommandTable();
    ScpiCommandTable(const ScpiCommandTable&) = delete;
    ScpiCommandTable& operator=(const ScpiCommandTable&) = delete;

    // False, with the reason, when the pattern is malformed or one of its
    // headers is already taken.
    bool add(const ScpiCommandEntry& entry, QString* error = nullptr);

    // Finds the command of a unit, fills in its suffixes and moves `path`
    // on (common commands leave it alone). -113 or -114 when none fits.
    ScpiError resolve(const ScpiProgramUnit& unit, Path& path, const ScpiSession& session,
                      Resolved& out) const;

private:
    struct Element;
    bool addCommon(const QByteArray& name, int index, QString* error);
    bool addVariant(const ScpiCommandEntry& entry, const std::vector<Element>& elements,
                    unsigned mask, int index, QString* error);
    ScpiError resolveCommon(const ScpiProgramUnit& unit, Resolved& out) const;
    ScpiError fillSuffixes(const Node& leaf, const QVarLengthArray<Path::Step, 8>& walk,
                           const ScpiSession& session, Resolved& out) const;

    std::vector<std::unique_ptr<ScpiCommandEntry>> commands_;
    std::vector<std::pair<std::string, int>> common_;
    std::unique_ptr<Node> root_;
};

#endif
