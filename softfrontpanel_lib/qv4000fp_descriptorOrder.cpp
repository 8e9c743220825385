#include "qv4000fp_descriptorOrder.h"

#include <QByteArray>

#include <algorithm>
#include <climits>

namespace {
// Interface kinds ordered by board number alone.
const char* const kBoardKinds[] = {"VXI", "GPIB-VXI", "GPIB", "SOCKET", "BACKPLANE", "PXI", "ASRL"};
// The kind ordered by board number, then by the four numbers of its address.
const char* const kNetworkKind = "TCPIP";

// A descriptor taken apart from left to right; whatever reading does not get
// to keeps its 0.
struct ParsedDescriptor {
    QByteArray prefix;
    int numbers[5] = {0, 0, 0, 0, 0}; // board, then the four address numbers
};

// Reads text from left to right the way a C scan of "%d" does: blanks are
// skipped, a sign is optional, at least one digit is needed. Values beyond
// the int range stay at its bounds instead of overflowing.
class Reader {
public:
    explicit Reader(const QByteArray& text) : m_text(text) {}

    QByteArray letters() {
        const int start = m_pos;
        while (m_pos < m_text.size() && isAsciiLetter(m_text.at(m_pos)))
            ++m_pos;
        return m_text.mid(start, m_pos - start).toUpper();
    }

    bool number(int* value) {
        int pos = m_pos;
        while (pos < m_text.size() && isBlank(m_text.at(pos)))
            ++pos;
        bool negative = false;
        if (pos < m_text.size() && (m_text.at(pos) == '+' || m_text.at(pos) == '-'))
            negative = m_text.at(pos++) == '-';
        if (pos >= m_text.size() || !isDigit(m_text.at(pos)))
            return false;
        long long magnitude = 0;
        for (; pos < m_text.size() && isDigit(m_text.at(pos)); ++pos) {
            if (magnitude <= INT_MAX)
                magnitude = magnitude * 10 + (m_text.at(pos) - '0');
        }
        const long long signedValue = negative ? -magnitude : magnitude;
        *value = static_cast<int>(std::clamp<long long>(signedValue, INT_MIN, INT_MAX));
        m_pos = pos;
        return true;
    }

    bool literal(const char* text) {
        const QByteArray expected(text);
        if (m_text.mid(m_pos, expected.size()) != expected)
            return false;
        m_pos += static_cast<int>(expected.size());
        return true;
    }

private:
    static bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    const QByteArray m_text;
    int m_pos = 0;
};

QByteArray prefixOf(const QString& descriptor) {
    return Reader(descriptor.toLocal8Bit()).letters();
}

// Board number, then "::" and four numbers separated by ".".
ParsedDescriptor parseNetwork(const QString& descriptor) {
    ParsedDescriptor parsed;
    Reader reader(descriptor.toLocal8Bit());
    parsed.prefix = reader.letters();
    if (!reader.number(&parsed.numbers[0]) || !reader.literal("::"))
        return parsed;
    for (int i = 1; i < 5; ++i) {
        if (i > 1 && !reader.literal("."))
            break;
        if (!reader.number(&parsed.numbers[i]))
            break;
    }
    return parsed;
}

int boardOf(const QString& descriptor) {
    int board = 0;
    Reader reader(descriptor.toLocal8Bit());
    reader.letters();
    reader.number(&board);
    return board;
}

bool isBoardKind(const QByteArray& prefix) {
    for (const char* kind : kBoardKinds) {
        if (prefix == kind)
            return true;
    }
    return false;
}

bool networkLessThan(const QString& a, const QString& b) {
    const ParsedDescriptor pa = parseNetwork(a);
    const ParsedDescriptor pb = parseNetwork(b);
    for (int i = 0; i < 5; ++i) {
        if (pa.numbers[i] != pb.numbers[i])
            return pa.numbers[i] < pb.numbers[i];
    }
    return false;
}
} // namespace

bool descriptorLessThan(QString a, QString b) {
    const QByteArray prefixA = prefixOf(a);
    const QByteArray prefixB = prefixOf(b);
    if (prefixA != prefixB)
        return a < b;
    if (prefixA == kNetworkKind)
        return networkLessThan(a, b);
    if (isBoardKind(prefixA))
        return boardOf(a) < boardOf(b);
    return a < b;
}

bool resourceRecordLessThan(const resourceInfo_t& x, const resourceInfo_t& y) {
    return descriptorLessThan(x.descriptor, y.descriptor);
}
