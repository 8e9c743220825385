// The regular expressions of VISA's resource search: '?' any character,
// '*' and '+' repeat what precedes them, '[...]' and '[^...]' character
// sets, '(...)' groups, '|' alternatives, '\' escapes. Case-insensitive and
// matched against the whole descriptor.
#ifndef ZSIM_FINDEXPRESSION_H
#define ZSIM_FINDEXPRESSION_H

#include "SimExport.h"

#include <memory>
#include <string_view>

namespace zsim {

class ZSIM_INTERNAL FindExpression {
public:
    explicit FindExpression(std::string_view expr);
    ~FindExpression();
    FindExpression(const FindExpression&) = delete;
    FindExpression& operator=(const FindExpression&) = delete;

    bool valid() const;
    bool matches(std::string_view descriptor) const;

private:
    struct Compiled;
    std::unique_ptr<Compiled> m_compiled;
};

} // namespace zsim

#endif
