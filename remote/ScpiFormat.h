// Response formats of IEEE 488.2 for handlers: whole numbers (NR1), reals
// (NR3), SCPI's not-a-number, and quoted strings.
#ifndef SFP_SCPIFORMAT_H
#define SFP_SCPIFORMAT_H

#include <QByteArray>

class ScpiFormat {
public:
    // SCPI's not-a-number: what a query answers for a value it does not know.
    static constexpr double kNotANumber = 9.91e37;

    static QByteArray integer(qint64 value);
    // NR3 with `digits` after the point; a NaN or kNotANumber gives "9.91E+37".
    static QByteArray real(double value, int digits = 6);
    // Between double quotes, inner quotes doubled.
    static QByteArray quoted(const QByteArray& text);
};

#endif
