// A first pass over a YAML document that builds nothing: it counts nodes and
// nesting and stops at the first limit passed, so that the tree built
// afterwards stays small whatever the file holds.
#ifndef ZSIM_EVENTBUDGET_H
#define ZSIM_EVENTBUDGET_H

#include <yaml-cpp/eventhandler.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace zsim {

constexpr size_t kMaxBenchNodes = 250000;
constexpr int kMaxBenchDepth = 16;

class EventBudget : public YAML::EventHandler {
public:
    // Throws BudgetExceeded (with the line) at the first limit passed.
    struct BudgetExceeded {
        int line;
        std::string message;
    };
    static void check(std::string_view yaml);

    void OnDocumentStart(const YAML::Mark&) override {}
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark& mark, YAML::anchor_t) override { count(mark); }
    void OnAlias(const YAML::Mark& mark, YAML::anchor_t) override { count(mark); }
    void OnScalar(const YAML::Mark& mark, const std::string&, YAML::anchor_t,
                  const std::string&) override {
        count(mark);
    }
    void OnSequenceStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t,
                         YAML::EmitterStyle::value) override {
        enter(mark);
    }
    void OnSequenceEnd() override { --m_depth; }
    void OnMapStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t,
                    YAML::EmitterStyle::value) override {
        enter(mark);
    }
    void OnMapEnd() override { --m_depth; }

private:
    void count(const YAML::Mark& mark);
    void enter(const YAML::Mark& mark);

    size_t m_nodes = 0;
    int m_depth = 0;
};

} // namespace zsim

#endif
