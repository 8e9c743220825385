#include "FindExpression.h"

#include <regex>
#include <string>

namespace zsim {
namespace {

// Longer expressions are refused: nobody types them, and the matcher recurses.
constexpr size_t kMaxExpression = 256;

bool isRegexSpecial(char c) {
    return std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos;
}

void appendLiteral(std::string& out, char c) {
    if (isRegexSpecial(c) || c == '-')
        out += '\\';
    out += c;
}

// Copies a character set "[...]" starting at expr[i] == '['; false when open.
bool translateSet(std::string_view expr, size_t& i, std::string& out) {
    out += '[';
    ++i;
    if (i < expr.size() && expr[i] == '^') {
        out += '^';
        ++i;
    }
    bool first = true;
    for (; i < expr.size(); ++i, first = false) {
        const char c = expr[i];
        if (c == ']' && !first) {
            out += ']';
            return true;
        }
        if (c == '-' && !first && i + 1 < expr.size() && expr[i + 1] != ']')
            out += '-';
        else
            appendLiteral(out, c);
    }
    return false;
}

// VISA's syntax into ECMAScript; false for an expression VISA would refuse.
bool translate(std::string_view expr, std::string& out) {
    bool canRepeat = false; // '*' and '+' need something before them
    int depth = 0;
    for (size_t i = 0; i < expr.size(); ++i) {
        const char c = expr[i];
        switch (c) {
        case '?':
            out += '.';
            canRepeat = true;
            break;
        case '*':
        case '+':
            if (!canRepeat)
                return false;
            out += c;
            canRepeat = false;
            break;
        case '[':
            if (!translateSet(expr, i, out))
                return false;
            canRepeat = true;
            break;
        case '(':
            ++depth;
            out += c;
            canRepeat = false;
            break;
        case ')':
            if (--depth < 0)
                return false;
            out += c;
            canRepeat = true;
            break;
        case '|':
            out += c;
            canRepeat = false;
            break;
        case '\\':
            if (++i == expr.size())
                return false;
            appendLiteral(out, expr[i]);
            canRepeat = true;
            break;
        case '{':
        case '}':
        case ']':
            return false; // attribute expressions are not supported
        default:
            appendLiteral(out, c);
            canRepeat = true;
        }
    }
    return depth == 0;
}

} // namespace

struct FindExpression::Compiled {
    std::regex regex;
};

FindExpression::FindExpression(std::string_view expr) {
    std::string pattern;
    if (expr.empty() || expr.size() > kMaxExpression || !translate(expr, pattern))
        return;
    try {
        m_compiled = std::make_unique<Compiled>(
            Compiled{std::regex(pattern, std::regex::ECMAScript | std::regex::icase)});
    } catch (const std::regex_error&) {
        m_compiled.reset();
    }
}

FindExpression::~FindExpression() = default;

bool FindExpression::valid() const {
    return m_compiled != nullptr;
}

bool FindExpression::matches(std::string_view descriptor) const {
    if (!m_compiled)
        return false;
    try {
        return std::regex_match(descriptor.begin(), descriptor.end(), m_compiled->regex);
    } catch (const std::regex_error&) {
        return false;
    }
}

} // namespace zsim
