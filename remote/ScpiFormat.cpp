#include "ScpiFormat.h"

#include <cmath>

namespace {
const char kNotANumberText[] = "9.91E+37";
}

QByteArray ScpiFormat::integer(qint64 value) {
    return QByteArray::number(value);
}

QByteArray ScpiFormat::real(double value, int digits) {
    if (std::isnan(value) || value == kNotANumber)
        return kNotANumberText;
    return QByteArray::number(value, 'E', digits);
}

QByteArray ScpiFormat::quoted(const QByteArray& text) {
    QByteArray inner = text;
    inner.replace('"', "\"\"");
    return '"' + inner + '"';
}
