#include "SequenceCsv.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <cmath>

namespace {
const char* const kAt = "line %1, column %2: %3";
const char* const kAtLine = "line %1: %2";
const char* const kEmpty = "the file holds no header";
const char* const kNoDwell = "the header names no dwell_s column";
const char* const kUnknownColumn = "unknown column \"%1\" (expected dwell_s, ramp, ch1 to ch%2)";
const char* const kDuplicate = "column \"%1\" appears twice";
const char* const kExtraCell = "more cells than the header names";
const char* const kNotANumber = "\"%1\" is not a number";
const char* const kNoDwellValue = "the dwell is empty";
const char* const kShortDwell = "dwell %1 s is shorter than the shortest accepted, %2 s";
const char* const kBadRamp = "\"%1\" is not a ramp flag (0, 1, yes or no)";
const char* const kUnclosedQuote = "a quote is not closed";
const char* const kTooBig = "the file is larger than %1 bytes";
const char* const kTooManySteps = "more than %1 steps";
const char* const kCannotRead = "%1: %2";
const char* const kDwellColumn = "dwell_s";
const char* const kRampColumn = "ramp";

struct Cell {
    QString text;
    int line;
};
using Record = std::vector<Cell>;

// Splits the text into records of cells; a quoted cell may hold separators,
// doubled quotes and line breaks. Returns an error text, or empty.
QString splitRecords(const QString& text, QChar separator, std::vector<Record>& records) {
    Record record;
    QString cell;
    int line = 1;
    int cellLine = 1;
    bool quoted = false;
    const auto endCell = [&] {
        record.push_back({cell.trimmed(), cellLine});
        cell.clear();
        cellLine = line;
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text.at(i + 1) == '"') {
                cell += c;
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n' || (c == '\r' && !(i + 1 < text.size() && text.at(i + 1) == '\n')))
                    ++line;
                cell += c;
            }
        } else if (c == '"' && cell.trimmed().isEmpty()) {
            quoted = true;
            cell.clear();
        } else if (c == separator) {
            endCell();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
            ++line;
            endCell();
            records.push_back(std::move(record));
            record.clear();
        } else {
            cell += c;
        }
    }
    if (quoted)
        return QString::fromLatin1(kAtLine).arg(cellLine).arg(QLatin1String(kUnclosedQuote));
    if (!cell.isEmpty() || !record.empty()) {
        endCell();
        records.push_back(std::move(record));
    }
    return {};
}

QChar separatorOf(const QString& text) {
    bool quoted = false;
    for (const QChar c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ';')
            return QLatin1Char(';');
    }
    return QLatin1Char(',');
}

std::optional<double> number(QString text, QChar separator) {
    if (separator == ';')
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> rampFlag(const QString& text) {
    const QString flag = text.toLower();
    if (flag.isEmpty() || flag == "0" || flag == "no" || flag == "false")
        return false;
    if (flag == "1" || flag == "yes" || flag == "true")
        return true;
    return std::nullopt;
}

bool blank(const Record& record) {
    for (const Cell& cell : record)
        if (!cell.text.isEmpty())
            return false;
    return true;
}

// Column roles: -1 dwell, 0 ramp, n channel n.
struct Header {
    std::vector<int> roles;
    QString error;
};

Header readHeader(const Record& record, int channelCount) {
    Header header;
    for (size_t i = 0; i < record.size(); ++i) {
        const QString name = record[i].text.toLower();
        int role = 0;
        bool isChannel = false;
        if (name == kDwellColumn) {
            role = -1;
        } else if (name != kRampColumn) {
            role = name.startsWith("ch") ? name.mid(2).toInt(&isChannel) : 0;
            if (!isChannel || role < 1 || role > channelCount ||
                name.mid(2) != QString::number(role)) {
                header.error = QString::fromLatin1(kAt)
                                   .arg(record[i].line)
                                   .arg(i + 1)
                                   .arg(QString::fromLatin1(kUnknownColumn)
                                            .arg(record[i].text)
                                            .arg(channelCount));
                return header;
            }
        }
        if (std::find(header.roles.begin(), header.roles.end(), role) != header.roles.end()) {
            header.error = QString::fromLatin1(kAt)
                               .arg(record[i].line)
                               .arg(i + 1)
                               .arg(QString::fromLatin1(kDuplicate).arg(record[i].text));
            return header;
        }
        header.roles.push_back(role);
    }
    if (std::find(header.roles.begin(), header.roles.end(), -1) == header.roles.end())
        header.error =
            QString::fromLatin1(kAtLine).arg(record.front().line).arg(QLatin1String(kNoDwell));
    return header;
}

// One step from one row; returns an error text, or empty.
QString readStep(const Record& record, const Header& header, QChar separator, int channelCount,
                 SequenceStep& step) {
    const auto at = [&](size_t i, const QString& what) {
        return QString::fromLatin1(kAt).arg(record[i].line).arg(i + 1).arg(what);
    };
    if (record.size() > header.roles.size())
        return at(header.roles.size(), QString::fromLatin1(kExtraCell));
    step.values.assign(size_t(channelCount), std::nullopt);
    bool hasDwell = false;
    for (size_t i = 0; i < record.size(); ++i) {
        const QString& text = record[i].text;
        const int role = header.roles[i];
        if (role == 0) {
            const std::optional<bool> flag = rampFlag(text);
            if (!flag)
                return at(i, QString::fromLatin1(kBadRamp).arg(text));
            step.ramp = *flag;
            continue;
        }
        if (text.isEmpty())
            continue;
        const std::optional<double> value = number(text, separator);
        if (!value)
            return at(i, QString::fromLatin1(kNotANumber).arg(text));
        if (role > 0) {
            step.values[size_t(role - 1)] = value;
            continue;
        }
        const double minDwell = std::chrono::duration<double>(kMinDwell).count();
        if (*value < minDwell)
            return at(i, QString::fromLatin1(kShortDwell).arg(*value).arg(minDwell));
        step.dwellSeconds = *value;
        hasDwell = true;
    }
    if (!hasDwell) {
        const size_t column =
            size_t(std::find(header.roles.begin(), header.roles.end(), -1) - header.roles.begin());
        return QString::fromLatin1(kAt)
            .arg(record.front().line)
            .arg(column + 1)
            .arg(QLatin1String(kNoDwellValue));
    }
    return {};
}
} // namespace

CsvReadResult SequenceCsv::read(const QByteArray& bytes, int channelCount) {
    CsvReadResult result;
    if (bytes.size() > kMaxBytes) {
        result.error = QString::fromLatin1(kTooBig).arg(kMaxBytes);
        return result;
    }
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QChar separator = separatorOf(text);
    std::vector<Record> records;
    result.error = splitRecords(text, separator, records);
    if (!result.error.isEmpty())
        return result;
    size_t first = 0;
    while (first < records.size() && blank(records[first]))
        ++first;
    if (first == records.size()) {
        result.error = QString::fromLatin1(kEmpty);
        return result;
    }
    const Header header = readHeader(records[first], channelCount);
    if (!header.error.isEmpty()) {
        result.error = header.error;
        return result;
    }
    for (size_t r = first + 1; r < records.size(); ++r) {
        if (blank(records[r]))
            continue;
        if (int(result.steps.size()) == kMaxSteps) {
            result.error = QString::fromLatin1(kAtLine)
                               .arg(records[r].front().line)
                               .arg(QString::fromLatin1(kTooManySteps).arg(kMaxSteps));
            return result;
        }
        SequenceStep step;
        result.error = readStep(records[r], header, separator, channelCount, step);
        if (!result.error.isEmpty())
            return result;
        result.steps.push_back(step);
        result.lines.push_back(records[r].front().line);
    }
    result.ok = true;
    return result;
}

CsvReadResult SequenceCsv::readFile(const QString& path, int channelCount) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CsvReadResult result;
        result.error = QString::fromLatin1(kCannotRead).arg(path, file.errorString());
        return result;
    }
    CsvReadResult result = read(file.read(kMaxBytes + 1), channelCount);
    if (!result.ok)
        result.error = QString::fromLatin1(kCannotRead).arg(path, result.error);
    return result;
}

QByteArray SequenceCsv::write(const std::vector<SequenceStep>& steps, int channelCount) {
    const bool anyRamp =
        std::any_of(steps.begin(), steps.end(), [](const SequenceStep& s) { return s.ramp; });
    const auto number = [](double v) {
        return QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
    };
    QByteArray out = kDwellColumn;
    for (int ch = 1; ch <= channelCount; ++ch)
        out += ",ch" + QByteArray::number(ch);
    if (anyRamp)
        out += QByteArray(",") + kRampColumn;
    out += "\r\n";
    for (const SequenceStep& step : steps) {
        out += number(step.dwellSeconds);
        for (int ch = 1; ch <= channelCount; ++ch) {
            out += ',';
            if (size_t(ch) <= step.values.size() && step.values[size_t(ch - 1)])
                out += number(*step.values[size_t(ch - 1)]);
        }
        if (anyRamp)
            out += step.ramp ? ",1" : ",0";
        out += "\r\n";
    }
    return out;
}

QString SequenceCsv::writeFile(const QString& path, const std::vector<SequenceStep>& steps,
                               int channelCount) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(write(steps, channelCount)) < 0 ||
        !file.commit())
        return QString::fromLatin1(kCannotRead).arg(path, file.errorString());
    return {};
}
