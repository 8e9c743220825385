// Fuzzes the descriptor order and the sort of the discovery list. Input: one
// descriptor per line (UTF-8; any other byte, NULs included, is kept). The
// order is not a strict weak ordering, so only what must hold for any input
// is checked: no undefined behaviour, irreflexive and asymmetric answers,
// and a sort that returns the records it was given, each whole.
#include "FuzzCheck.h"
#include "qv4000fp_descriptorOrder.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>

namespace {
// Enough records for the merge steps of the sort to matter; all-pairs checks
// stay on a prefix to keep the run fast.
constexpr int kMaxRecords = 256;
constexpr int kPairwiseRecords = 16;

QList<resourceInfo_t> recordsFrom(const uint8_t* data, size_t size) {
    QList<resourceInfo_t> records;
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& line : input.split('\n')) {
        if (records.size() == kMaxRecords)
            break;
        resourceInfo_t record;
        record.descriptor = QString::fromUtf8(line);
        record.fcNumbers << static_cast<int>(records.size()); // where it came from
        records << record;
    }
    return records;
}

void checkAnswers(const QList<resourceInfo_t>& records) {
    for (const resourceInfo_t& record : records) {
        const QString& d = record.descriptor;
        FUZZ_CHECK(!descriptorLessThan(d, d), "a descriptor sorts before itself");
        // A separate copy of the text must answer the same.
        FUZZ_CHECK(!descriptorLessThan(d, QString(d.constData(), d.size())),
                   "a descriptor sorts before an equal copy");
    }
    const qsizetype n = std::min<qsizetype>(records.size(), kPairwiseRecords);
    for (qsizetype i = 0; i < n; ++i) {
        for (qsizetype j = i + 1; j < n; ++j) {
            const resourceInfo_t& x = records[i];
            const resourceInfo_t& y = records[j];
            const bool xFirst = resourceRecordLessThan(x, y);
            FUZZ_CHECK(xFirst == descriptorLessThan(x.descriptor, y.descriptor),
                       "the record order differs from the descriptor order");
            FUZZ_CHECK(!(xFirst && resourceRecordLessThan(y, x)),
                       "two descriptors each sort before the other");
        }
    }
}

void checkSortKeepsRecords(const QList<resourceInfo_t>& input) {
    QList<resourceInfo_t> sorted = input;
    std::stable_sort(sorted.begin(), sorted.end(), resourceRecordLessThan);
    FUZZ_CHECK(sorted.size() == input.size(), "the sort changed the number of records");
    QList<bool> seen(input.size(), false);
    for (const resourceInfo_t& record : sorted) {
        FUZZ_CHECK(record.fcNumbers.size() == 1, "a record lost its fields in the sort");
        const int origin = record.fcNumbers.front();
        FUZZ_CHECK(origin >= 0 && origin < input.size() && !seen[origin],
                   "the sort duplicated or invented a record");
        seen[origin] = true;
        FUZZ_CHECK(record.descriptor == input[origin].descriptor,
                   "a record's descriptor changed in the sort");
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<resourceInfo_t> records = recordsFrom(data, size);
    checkAnswers(records);
    checkSortKeepsRecords(records);
    return 0;
}
