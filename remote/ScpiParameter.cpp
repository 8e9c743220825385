#include "ScpiParameter.h"

#include <climits>
#include <cmath>

namespace {
const char kMinimum[] = "MINimum";
const char kMaximum[] = "MAXimum";
const char kDefault[] = "DEFault";
const char kOn[] = "ON";
const char kOff[] = "OFF";

struct Prefix {
    const char* text;
    double scale;
};
// SCPI's multipliers: "M" is milli and "MA" mega.
const Prefix kPrefixes[] = {{"EX", 1e18}, {"PE", 1e15}, {"T", 1e12},  {"G", 1e9},
                            {"MA", 1e6},  {"K", 1e3},   {"M", 1e-3},  {"U", 1e-6},
                            {"N", 1e-9},  {"P", 1e-12}, {"F", 1e-15}, {"A", 1e-18}};

bool matchesMnemonic(const QByteArray& upper, const char* mnemonic) {
    QByteArray shortForm;
    QByteArray longForm(mnemonic);
    for (const char* c = mnemonic; *c; ++c) {
        if (*c >= 'A' && *c <= 'Z')
            shortForm += *c;
    }
    return upper == shortForm || upper == longForm.toUpper();
}
} // namespace

ScpiParameter ScpiParameter::numeric(double value, const QByteArray& unit) {
    ScpiParameter p;
    p.kind_ = Kind::Numeric;
    p.number_ = value;
    p.text_ = unit;
    return p;
}

ScpiParameter ScpiParameter::nonDecimal(double value) {
    ScpiParameter p = numeric(value);
    p.kind_ = Kind::NonDecimal;
    return p;
}

ScpiParameter ScpiParameter::character(const QByteArray& upperCase) {
    ScpiParameter p;
    p.kind_ = Kind::Character;
    p.text_ = upperCase;
    return p;
}

ScpiParameter ScpiParameter::string(const QByteArray& contents) {
    ScpiParameter p;
    p.kind_ = Kind::String;
    p.text_ = contents;
    return p;
}

bool ScpiParameter::isMnemonic(const char* mnemonic) const {
    return kind_ == Kind::Character && matchesMnemonic(text_, mnemonic);
}

ScpiParameter::Keyword ScpiParameter::keyword() const {
    if (isMnemonic(kMinimum))
        return Keyword::Minimum;
    if (isMnemonic(kMaximum))
        return Keyword::Maximum;
    if (isMnemonic(kDefault))
        return Keyword::Default;
    return Keyword::None;
}

ScpiError ScpiParameter::unitScale(const QByteArrayList& units, double* scale) const {
    *scale = 1;
    if (text_.isEmpty())
        return {};
    if (units.isEmpty())
        return ScpiError::standard(ScpiError::SuffixNotAllowed);
    for (const QByteArray& unit : units) {
        if (text_ == unit)
            return {};
        if (!text_.endsWith(unit))
            continue;
        const QByteArray prefix = text_.left(text_.size() - unit.size());
        for (const Prefix& p : kPrefixes) {
            if (prefix == p.text) {
                *scale = p.scale;
                return {};
            }
        }
    }
    return ScpiError::standard(ScpiError::InvalidSuffix);
}

ScpiError ScpiParameter::toReal(const QByteArrayList& units, const Limits& limits,
                                double* out) const {
    switch (kind_) {
    case Kind::Character:
        switch (keyword()) {
        case Keyword::Minimum:
            *out = limits.min;
            return {};
        case Keyword::Maximum:
            *out = limits.max;
            return {};
        case Keyword::Default:
            *out = limits.def;
            return {};
        case Keyword::None:
            break;
        }
        return ScpiError::standard(ScpiError::DataTypeError);
    case Kind::String:
        return ScpiError::standard(ScpiError::DataTypeError);
    case Kind::Numeric:
    case Kind::NonDecimal:
        break;
    }
    double scale = 1;
    if (const ScpiError e = unitScale(units, &scale); e.isError())
        return e;
    const double value = number_ * scale;
    if (!std::isfinite(value))
        return ScpiError::standard(ScpiError::NumericDataError);
    if (value < limits.min || value > limits.max)
        return ScpiError::standard(ScpiError::DataOutOfRange);
    *out = value;
    return {};
}

ScpiError ScpiParameter::toInt(int min, int max, int* out) const {
    double value = 0;
    const Limits limits{double(min), double(max), double(min)};
    if (const ScpiError e = toReal({}, limits, &value); e.isError())
        return e;
    const double rounded = std::round(value);
    if (rounded < min || rounded > max)
        return ScpiError::standard(ScpiError::DataOutOfRange);
    *out = int(rounded);
    return {};
}

ScpiError ScpiParameter::toBool(bool* out) const {
    if (kind_ == Kind::Character) {
        if (text_ == kOn || text_ == kOff) {
            *out = text_ == kOn;
            return {};
        }
        return ScpiError::standard(ScpiError::DataTypeError);
    }
    int value = 0;
    if (const ScpiError e = toInt(INT_MIN, INT_MAX, &value); e.isError())
        return e;
    *out = value != 0;
    return {};
}
