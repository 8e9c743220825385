#include "ScpiParser.h"

#include <charconv>
#include <cmath>

namespace {
// A numeric suffix larger than this is out of every range; stop reading it.
constexpr int kSuffixCap = 1000000;
// Units are short; a longer run of letters is no unit.
constexpr int kMaxUnit = 12;

// IEEE 488.2 white space: every control byte and the space, the terminator aside.
bool isWhite(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 && u != '\n';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isMnemonicChar(char c) {
    return isLetter(c) || isDigit(c) || c == '_';
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
int digitValue(char c) {
    if (isDigit(c))
        return c - '0';
    const char u = upper(c);
    return u >= 'A' && u <= 'F' ? u - 'A' + 10 : 99;
}
} // namespace

ScpiParser::ScpiParser(QByteArrayView message)
    : p_(message.data()), end_(message.data() + message.size()) {}

void ScpiParser::skipWhite() {
    while (!atEnd() && isWhite(peek()))
        ++p_;
}

// A character that has no place here: outside printable ASCII it is invalid
// as a character, otherwise it breaks the syntax.
ScpiError ScpiParser::unexpected() const {
    const auto u = static_cast<unsigned char>(peek());
    return ScpiError::standard(u >= 0x7F || u < 0x20 ? ScpiError::InvalidCharacter
                                                     : ScpiError::SyntaxError);
}

ScpiParser::Step ScpiParser::next(ScpiProgramUnit& unit, ScpiError& error) {
    if (done_)
        return Step::End;
    skipWhite();
    if (atEnd()) {
        done_ = true;
        return Step::End;
    }
    unit.clear();
    unit.absolute = first_;
    first_ = false;
    error = parseHeader(unit);
    if (!error.isError())
        error = parseParameters(unit);
    if (!error.isError()) {
        skipWhite();
        if (atEnd())
            done_ = true;
        else if (peek() == ';')
            ++p_;
        else
            error = peek() == ',' || isWhite(peek()) || isLetter(peek()) || isDigit(peek())
                        ? ScpiError::standard(ScpiError::InvalidSeparator)
                        : unexpected();
    }
    if (error.isError()) {
        done_ = true;
        return Step::Error;
    }
    return Step::Unit;
}

ScpiError ScpiParser::parseHeader(ScpiProgramUnit& unit) {
    if (peek() == ':') {
        unit.absolute = true;
        ++p_;
        if (atEnd())
            return ScpiError::standard(ScpiError::SyntaxError);
    }
    if (peek() == '*') {
        unit.common = true;
        ++p_;
        if (atEnd())
            return ScpiError::standard(ScpiError::SyntaxError);
    }
    for (;;) {
        if (unit.nodes.size() == 64)
            return ScpiError::standard(ScpiError::UndefinedHeader);
        unit.nodes.append({});
        if (ScpiError e = parseMnemonic(unit.nodes.back(), !unit.common); e.isError())
            return e;
        if (unit.common || atEnd() || peek() != ':')
            break;
        ++p_;
        if (atEnd())
            return ScpiError::standard(ScpiError::SyntaxError);
    }
    if (!atEnd() && peek() == '?') {
        unit.query = true;
        ++p_;
    }
    if (atEnd() || peek() == ';' || isWhite(peek()))
        return {};
    const auto u = static_cast<unsigned char>(peek());
    return u >= 0x7F || u < 0x20 ? ScpiError::standard(ScpiError::InvalidCharacter)
                                 : ScpiError::standard(ScpiError::HeaderSeparatorError);
}

ScpiError ScpiParser::parseMnemonic(ScpiProgramUnit::Node& node, bool allowSuffix) {
    if (atEnd() || !isLetter(peek()))
        return atEnd() ? ScpiError::standard(ScpiError::SyntaxError) : unexpected();
    const char* start = p_;
    while (!atEnd() && isMnemonicChar(peek()))
        ++p_;
    const char* nameEnd = p_;
    if (allowSuffix) {
        while (isDigit(nameEnd[-1]))
            --nameEnd;
    }
    if (nameEnd - start > ScpiProgramUnit::kMaxMnemonic)
        return ScpiError::standard(ScpiError::MnemonicTooLong);
    node.length = int(nameEnd - start);
    for (int i = 0; i < node.length; ++i)
        node.name[i] = upper(start[i]);
    node.name[node.length] = 0;
    if (nameEnd != p_) {
        node.suffix = 0;
        for (const char* d = nameEnd; d != p_; ++d)
            node.suffix = std::min(kSuffixCap, node.suffix * 10 + (*d - '0'));
    }
    return {};
}

ScpiError ScpiParser::parseParameters(ScpiProgramUnit& unit) {
    skipWhite();
    if (atEnd() || peek() == ';')
        return {};
    for (;;) {
        unit.parameters.append({});
        if (ScpiError e = parseParameter(unit.parameters.back()); e.isError())
            return e;
        skipWhite();
        if (atEnd() || peek() != ',')
            return {};
        ++p_;
        skipWhite();
        if (atEnd() || peek() == ';' || peek() == ',')
            return ScpiError::standard(ScpiError::SyntaxError);
    }
}

ScpiError ScpiParser::parseParameter(ScpiParameter& parameter) {
    const char c = peek();
    if (isDigit(c) || c == '+' || c == '-' || c == '.')
        return parseNumber(parameter);
    if (c == '#')
        return parseNonDecimal(parameter);
    if (c == '"' || c == '\'')
        return parseString(parameter);
    if (isLetter(c))
        return parseCharacter(parameter);
    return unexpected();
}

ScpiError ScpiParser::parseNumber(ScpiParameter& parameter) {
    const char* start = p_;
    if (peek() == '+' || peek() == '-')
        ++p_;
    int digits = 0;
    while (!atEnd() && isDigit(peek()))
        ++p_, ++digits;
    if (!atEnd() && peek() == '.') {
        ++p_;
        while (!atEnd() && isDigit(peek()))
            ++p_, ++digits;
    }
    if (digits == 0)
        return ScpiError::standard(ScpiError::NumericDataError);
    // An E starts an exponent only when digits follow; otherwise it is a unit.
    if (!atEnd() && upper(peek()) == 'E') {
        const char* e = p_ + 1;
        if (e != end_ && (*e == '+' || *e == '-'))
            ++e;
        if (e != end_ && isDigit(*e)) {
            p_ = e;
            while (!atEnd() && isDigit(peek()))
                ++p_;
        }
    }
    const char* from = *start == '+' ? start + 1 : start;
    double value = 0;
    const std::from_chars_result r = std::from_chars(from, p_, value);
    if (r.ec != std::errc() || r.ptr != p_ || !std::isfinite(value))
        return ScpiError::standard(ScpiError::NumericDataError);
    QByteArray unit;
    if (ScpiError e = parseUnit(unit); e.isError())
        return e;
    parameter = ScpiParameter::numeric(value, unit);
    return {};
}

ScpiError ScpiParser::parseUnit(QByteArray& unit) {
    skipWhite();
    if (atEnd() || !isLetter(peek()))
        return {};
    const char* start = p_;
    while (!atEnd() && (isLetter(peek()) || peek() == '/'))
        ++p_;
    if (p_ - start > kMaxUnit)
        return ScpiError::standard(ScpiError::InvalidSuffix);
    unit = QByteArray(start, p_ - start).toUpper();
    return {};
}

ScpiError ScpiParser::parseNonDecimal(ScpiParameter& parameter) {
    ++p_;
    if (atEnd())
        return ScpiError::standard(ScpiError::SyntaxError);
    const char kind = upper(peek());
    const int base = kind == 'H' ? 16 : kind == 'Q' ? 8 : kind == 'B' ? 2 : 0;
    if (base == 0) // block data: no command here takes it
        return ScpiError::standard(ScpiError::DataTypeError);
    ++p_;
    double value = 0;
    int digits = 0;
    while (!atEnd() && isMnemonicChar(peek())) {
        const int d = digitValue(peek());
        if (d >= base)
            return ScpiError::standard(ScpiError::NumericDataError);
        value = value * base + d;
        ++p_, ++digits;
    }
    // Beyond 2^53 a double no longer holds every whole number.
    if (digits == 0 || value > 9007199254740992.0)
        return ScpiError::standard(ScpiError::NumericDataError);
    parameter = ScpiParameter::nonDecimal(value);
    return {};
}

ScpiError ScpiParser::parseString(ScpiParameter& parameter) {
    const char quote = peek();
    ++p_;
    QByteArray contents;
    for (;;) {
        if (atEnd())
            return ScpiError::standard(ScpiError::InvalidStringData);
        const char c = peek();
        ++p_;
        if (c != quote) {
            contents += c;
            continue;
        }
        if (atEnd() || peek() != quote)
            break;
        contents += quote; // a doubled quote stands for itself
        ++p_;
    }
    parameter = ScpiParameter::string(contents);
    return {};
}

ScpiError ScpiParser::parseCharacter(ScpiParameter& parameter) {
    const char* start = p_;
    while (!atEnd() && isMnemonicChar(peek()))
        ++p_;
    if (p_ - start > ScpiProgramUnit::kMaxMnemonic)
        return ScpiError::standard(ScpiError::CharacterDataTooLong);
    parameter = ScpiParameter::character(QByteArray(start, p_ - start).toUpper());
    return {};
}
