#include "ScpiCommandTable.h"

#include "ScpiSession.h"

#include <string>

namespace {
const char kBadPattern[] = "malformed header pattern";
const char kTooManyOptional[] = "too many optional nodes";
const char kTaken[] = "header already registered";
const char kSuffixClash[] = "a node is registered with two different suffix rules";
constexpr int kMaxOptional = 8;

std::string upperOf(const std::string& s) {
    std::string u = s;
    for (char& c : u)
        c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    return u;
}

std::string shortOf(const std::string& s) {
    std::string u;
    for (char c : s) {
        if (!(c >= 'a' && c <= 'z'))
            u += c;
    }
    return u;
}

void fail(QString* error, const char* why, const QByteArray& pattern) {
    if (error)
        *error = QStringLiteral("%1: %2").arg(QString::fromLatin1(pattern), QLatin1String(why));
}
} // namespace

struct ScpiCommandTable::Node {
    std::string shortForm;
    std::string longForm;
    bool suffixed = false;
    ScpiCommandEntry::Suffix rule;
    std::vector<std::unique_ptr<Node>> children;
    int command = -1;
    std::vector<const Node*> slotNodes; // the command's '#' nodes on this path

    const Node* find(std::string_view name) const {
        for (const std::unique_ptr<Node>& child : children) {
            if (name == child->shortForm || name == child->longForm)
                return child.get();
        }
        return nullptr;
    }
};

struct ScpiCommandTable::Element {
    std::string word;
    bool optional = false;
    int slot = -1;
};

ScpiCommandTable::ScpiCommandTable() : root_(std::make_unique<Node>()) {}
ScpiCommandTable::~ScpiCommandTable() = default;

bool ScpiCommandTable::add(const ScpiCommandEntry& entry, QString* error) {
    QByteArray pattern = entry.pattern.trimmed();
    if (pattern.endsWith('?'))
        pattern.chop(1);
    const int index = int(commands_.size());
    if (pattern.startsWith('*')) {
        if (!addCommon(pattern.toUpper(), index, error))
            return false;
        commands_.push_back(std::make_unique<ScpiCommandEntry>(entry));
        return true;
    }
    // Elements: "[:WORD#]" optional, ":WORD#" or "WORD#" required.
    std::vector<Element> elements;
    int slotCount = 0;
    for (int i = 0; i < pattern.size();) {
        Element e;
        e.optional = pattern[i] == '[';
        const int close = e.optional ? int(pattern.indexOf(']', i)) : -1;
        if (e.optional && close < 0) {
            fail(error, kBadPattern, entry.pattern);
            return false;
        }
        int from = e.optional ? i + 1 : i;
        if (from < pattern.size() && pattern[from] == ':')
            ++from;
        int to = from;
        while (to < pattern.size() && pattern[to] != ':' && pattern[to] != '[' &&
               pattern[to] != ']')
            ++to;
        if (e.optional && to != close) {
            fail(error, kBadPattern, entry.pattern);
            return false;
        }
        e.word = pattern.mid(from, to - from).toStdString();
        if (!e.word.empty() && e.word.back() == '#') {
            e.word.pop_back();
            e.slot = slotCount++;
        }
        if (e.word.empty() || e.word.size() > size_t(ScpiProgramUnit::kMaxMnemonic)) {
            fail(error, kBadPattern, entry.pattern);
            return false;
        }
        elements.push_back(e);
        i = e.optional ? close + 1 : to;
    }
    int optional = 0;
    for (const Element& e : elements)
        optional += e.optional ? 1 : 0;
    if (elements.empty() || optional > kMaxOptional) {
        fail(error, elements.empty() ? kBadPattern : kTooManyOptional, entry.pattern);
        return false;
    }
    // Every path is checked before any is added, so a clash leaves no trace.
    for (unsigned mask = 0; mask < (1u << optional); ++mask) {
        if (!addVariant(entry, elements, mask, -1, error))
            return false;
    }
    commands_.push_back(std::make_unique<ScpiCommandEntry>(entry));
    for (unsigned mask = 0; mask < (1u << optional); ++mask)
        addVariant(entry, elements, mask, index, error);
    return true;
}

bool ScpiCommandTable::addCommon(const QByteArray& name, int index, QString* error) {
    for (const auto& entry : common_) {
        if (entry.first == name.toStdString()) {
            fail(error, kTaken, name);
            return false;
        }
    }
    common_.emplace_back(name.toStdString(), index);
    return true;
}

// One path of the pattern: bit k of `mask` set drops the k-th optional node.
// With `index` -1 it only checks that the path can be added.
bool ScpiCommandTable::addVariant(const ScpiCommandEntry& entry,
                                  const std::vector<Element>& elements, unsigned mask, int index,
                                  QString* error) {
    Node* node = root_.get();
    std::vector<const Node*> slotNodes(size_t(entry.suffixes.size()), nullptr);
    int optionalSeen = 0;
    for (const Element& e : elements) {
        if (e.optional && (mask >> optionalSeen++) & 1u)
            continue;
        const std::string longForm = upperOf(e.word);
        Node* child = const_cast<Node*>(node->find(longForm));
        const ScpiCommandEntry::Suffix rule =
            e.slot >= 0 ? entry.suffixes.value(e.slot) : ScpiCommandEntry::Suffix{};
        if (!child && index < 0)
            return true; // a new branch: nothing below it can clash
        if (!child) {
            node->children.push_back(std::make_unique<Node>());
            child = node->children.back().get();
            child->longForm = longForm;
            child->shortForm = shortOf(e.word);
            child->suffixed = e.slot >= 0;
            child->rule = rule;
        } else if (child->suffixed != (e.slot >= 0) || child->rule.min != rule.min ||
                   child->rule.max != rule.max ||
                   child->rule.sessionDefault != rule.sessionDefault) {
            fail(error, kSuffixClash, entry.pattern);
            return false;
        }
        if (e.slot >= 0 && size_t(e.slot) < slotNodes.size())
            slotNodes[size_t(e.slot)] = child;
        node = child;
    }
    if (node == root_.get())
        return true; // every node optional and dropped: no header
    if (node->command >= 0) {
        fail(error, kTaken, entry.pattern);
        return false;
    }
    if (index < 0)
        return true;
    node->command = index;
    node->slotNodes = slotNodes;
    return true;
}

ScpiError ScpiCommandTable::resolveCommon(const ScpiProgramUnit& unit, Resolved& out) const {
    const ScpiProgramUnit::Node& n = unit.nodes.front();
    if (n.suffix >= 0)
        return ScpiError::standard(ScpiError::UndefinedHeader);
    for (const auto& entry : common_) {
        if (std::string_view(entry.first).substr(1) == n.view()) {
            out.command = commands_[size_t(entry.second)].get();
            out.suffixes.clear();
            return {};
        }
    }
    return ScpiError::standard(ScpiError::UndefinedHeader);
}

ScpiError ScpiCommandTable::resolve(const ScpiProgramUnit& unit, Path& path,
                                    const ScpiSession& session, Resolved& out) const {
    if (unit.common)
        return resolveCommon(unit, out);
    QVarLengthArray<Path::Step, 8> walk;
    if (!unit.absolute)
        walk = path.steps;
    const Node* node = walk.isEmpty() ? root_.get() : walk.back().node;
    for (const ScpiProgramUnit::Node& n : unit.nodes) {
        node = node->find(n.view());
        if (!node)
            return ScpiError::standard(ScpiError::UndefinedHeader);
        if (n.suffix >= 0 &&
            (!node->suffixed || n.suffix < node->rule.min || n.suffix > node->rule.max))
            return ScpiError::standard(ScpiError::HeaderSuffixOutOfRange);
        walk.append({node, n.suffix});
    }
    if (node->command < 0)
        return ScpiError::standard(ScpiError::UndefinedHeader);
    if (ScpiError e = fillSuffixes(*node, walk, session, out); e.isError())
        return e;
    walk.removeLast();
    path.steps = walk;
    return {};
}

ScpiError ScpiCommandTable::fillSuffixes(const Node& leaf,
                                         const QVarLengthArray<Path::Step, 8>& walk,
                                         const ScpiSession& session, Resolved& out) const {
    const ScpiCommandEntry& entry = *commands_[size_t(leaf.command)];
    out.command = &entry;
    out.suffixes.resize(qsizetype(leaf.slotNodes.size()));
    for (size_t slot = 0; slot < leaf.slotNodes.size(); ++slot) {
        const Node* slotNode = leaf.slotNodes[slot];
        int value = -1;
        for (const Path::Step& step : walk) {
            if (slotNode && step.node == slotNode)
                value = step.suffix;
        }
        const ScpiCommandEntry::Suffix rule = entry.suffixes.value(qsizetype(slot));
        if (value < 0)
            value = rule.sessionDefault.isEmpty() ? 1 : session.variable(rule.sessionDefault, 1);
        if (value < rule.min || value > rule.max)
            return ScpiError::standard(ScpiError::HeaderSuffixOutOfRange);
        out.suffixes[qsizetype(slot)] = value;
    }
    return {};
}
