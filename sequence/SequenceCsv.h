// Sequence steps as a CSV file a spreadsheet writes: a header naming
// `dwell_s`, channel columns `ch1`.. and optionally `ramp`, in any order; one
// row per step; an empty channel cell leaves the channel unchanged. Comma or
// semicolon separators (with a semicolon, a decimal comma is taken too),
// quoted cells, CRLF or LF line ends and a UTF-8 byte order mark are all
// accepted. Errors name the line and the column.
#ifndef SFP_SEQUENCECSV_H
#define SFP_SEQUENCECSV_H

#include "Sequence.h"

#include <QByteArray>
#include <QString>

struct CsvReadResult {
    bool ok = false;
    std::vector<SequenceStep> steps;
    std::vector<int> lines; // the line each step was read from
    QString error;
};

class SequenceCsv {
public:
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    static constexpr int kMaxSteps = 1000000;

    static CsvReadResult read(const QByteArray& bytes, int channelCount);
    static CsvReadResult readFile(const QString& path, int channelCount);
    static QByteArray write(const std::vector<SequenceStep>& steps, int channelCount);
    // Empty when written, else why not.
    static QString writeFile(const QString& path, const std::vector<SequenceStep>& steps,
                             int channelCount);
};

#endif
