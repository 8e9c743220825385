// Splits one program message (a line without its newline) into program
// message units, one at a time, so that each unit runs before the next one
// is read. Follows IEEE 488.2's syntax: headers of colon-separated mnemonics
// with numeric suffixes, common headers (*XXX), queries, and decimal,
// non-decimal, character and string parameters separated by commas. A
// syntax error ends the message: the rest is discarded.
#ifndef SFP_SCPIPARSER_H
#define SFP_SCPIPARSER_H

#include "ScpiError.h"
#include "ScpiProgramUnit.h"

#include <QByteArrayView>

class ScpiParser {
public:
    enum class Step { Unit, End, Error };

    explicit ScpiParser(QByteArrayView message);
    // The next unit, the end of the message, or the error that ended it.
    Step next(ScpiProgramUnit& unit, ScpiError& error);

private:
    bool atEnd() const { return p_ == end_; }
    char peek() const { return *p_; }
    void skipWhite();
    ScpiError parseHeader(ScpiProgramUnit& unit);
    ScpiError parseMnemonic(ScpiProgramUnit::Node& node, bool allowSuffix);
    ScpiError parseParameters(ScpiProgramUnit& unit);
    ScpiError parseParameter(ScpiParameter& parameter);
    ScpiError parseNumber(ScpiParameter& parameter);
    ScpiError parseUnit(QByteArray& unit);
    ScpiError parseNonDecimal(ScpiParameter& parameter);
    ScpiError parseString(ScpiParameter& parameter);
    ScpiError parseCharacter(ScpiParameter& parameter);
    ScpiError unexpected() const;

    const char* p_;
    const char* end_;
    bool first_ = true;
    bool done_ = false;
};

#endif
