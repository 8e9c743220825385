// One parameter of a program message unit, as the parser found it; the
// conversions check it against what a command accepts and answer with the
// SCPI error a wrong value deserves.
#ifndef SFP_SCPIPARAMETER_H
#define SFP_SCPIPARAMETER_H

#include "ScpiError.h"

#include <QByteArray>
#include <QByteArrayList>

class ScpiParameter {
public:
    enum class Kind { Numeric, NonDecimal, Character, String };
    enum class Keyword { None, Minimum, Maximum, Default };
    struct Limits {
        double min;
        double max;
        double def;
    };

    static ScpiParameter numeric(double value, const QByteArray& unit = {});
    static ScpiParameter nonDecimal(double value);
    static ScpiParameter character(const QByteArray& upperCase);
    static ScpiParameter string(const QByteArray& contents);

    Kind kind() const { return kind_; }
    double number() const { return number_; }
    // Character data (upper case), a string's contents, or a number's unit suffix.
    const QByteArray& text() const { return text_; }
    Keyword keyword() const;
    // Character data equal to the short or the long form of `mnemonic`
    // written as in a header pattern ("MINimum").
    bool isMnemonic(const char* mnemonic) const;

    // A number scaled by its unit (one of `units`, with an SI prefix), or
    // MINimum/MAXimum/DEFault; -222 outside [min, max], never clamped.
    ScpiError toReal(const QByteArrayList& units, const Limits& limits, double* out) const;
    // A whole number in [min, max]; a fraction is rounded, as IEEE 488.2 asks.
    ScpiError toInt(int min, int max, int* out) const;
    // ON/OFF or a number (non-zero is on).
    ScpiError toBool(bool* out) const;

private:
    ScpiError unitScale(const QByteArrayList& units, double* scale) const;

    Kind kind_ = Kind::Numeric;
    double number_ = 0;
    QByteArray text_;
};

#endif
