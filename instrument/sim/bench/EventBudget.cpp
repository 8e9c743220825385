#include "EventBudget.h"

#include <yaml-cpp/mark.h>
#include <yaml-cpp/parser.h>

#include <sstream>

namespace zsim {
namespace {
const char* const kTooManyNodes = "more than 250000 YAML nodes";
const char* const kTooDeep = "nested deeper than 16 levels";

int lineOf(const YAML::Mark& mark) {
    return mark.is_null() ? 0 : mark.line + 1;
}
} // namespace

void EventBudget::check(std::string_view yaml) {
    std::istringstream in{std::string(yaml)};
    YAML::Parser parser(in);
    EventBudget budget;
    parser.HandleNextDocument(budget); // only the first document is ever loaded
}

void EventBudget::count(const YAML::Mark& mark) {
    if (++m_nodes > kMaxBenchNodes)
        throw BudgetExceeded{lineOf(mark), kTooManyNodes};
}

void EventBudget::enter(const YAML::Mark& mark) {
    count(mark);
    if (++m_depth > kMaxBenchDepth)
        throw BudgetExceeded{lineOf(mark), kTooDeep};
}

} // namespace zsim
