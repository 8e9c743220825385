#include "qv4720fp_ListCommand.h"

#include "qv4000fp_connectionTexts.h"
#include "qv4000fp_libraryText.h"
#include "qv4000fp_terminalProgress.h"
#include "qv4720_fc.h"
#include "qv4720fp_ExitStatus.h"
#include "qv4720fp_Print.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {
const char* const kSystemHeader = "System";
const char* const kModelHeader = "FC Model";
const char* const kOpenHeader = "Open with";
const char* const kNotUsable = "(not usable)";
const char* const kOpenArguments = "--resource %1 --fc %2";
const char* const kSearchFailed = "The VISA resource search failed: %1";
const char* const kStatusText = "status 0x%1";
const char* const kStatusWithDescription = "%1 (status 0x%2)";
// Descriptors made of these characters need no quoting in a shell.
const char* const kShellPlain = "^[A-Za-z0-9_:.,/@%+=-]+$";

const int kJsonVersion = 1;                       // raised when a field changes meaning or goes
const int kIndent = 2;                            // spaces per tree level
const int kColumnGap = 2;                         // spaces between columns
const std::size_t kStatusDescriptionLength = 256; // the size VISA documents

QString quotedForShell(const QString& text) {
    static const QRegularExpression plain(QString::fromLatin1(kShellPlain));
    if (plain.match(text).hasMatch())
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// Texts from the libraries go to a terminal: control characters (a line
// break, an escape sequence) are shown as '?' so that each row stays one
// line and cannot act on the terminal.
QString printable(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return text;
}

// The three columns of one listing line: the indented tree text, the model
// text and how to open the card.
struct Line {
    QString system;
    QString model;
    QString open;
};

QList<Line> listingLines(const QList<resourceInfo_t>& records, const qv4000fp_resourceTree& tree) {
    QList<Line> lines{{QString::fromLatin1(kSystemHeader), QString::fromLatin1(kModelHeader),
                       QString::fromLatin1(kOpenHeader)}};
    for (const qv4000fp_resourceTree::Row& row : tree.rows()) {
        Line line;
        line.system = QString(row.depth * kIndent, QLatin1Char(' ')) + row.texts.value(0);
        line.model = row.texts.value(1);
        if (row.kind == qv4000fp_resourceTree::Row::Kind::Card) {
            line.open = row.selectable ? qv4720fp_ListCommand::openArguments(
                                             records.at(row.record).descriptor, row.fcNumber)
                                       : QString::fromLatin1(kNotUsable);
        }
        lines << Line{printable(line.system), printable(line.model), printable(line.open)};
    }
    return lines;
}

QJsonObject carrierObject(const resourceInfo_t& record) {
    QJsonObject carrier{{QStringLiteral("model"), int(record.carrierModel)}};
    if (record.tcpipAddress.isEmpty()) {
        carrier.insert(QStringLiteral("slot"), record.slot);
    } else {
        carrier.insert(QStringLiteral("address"), record.tcpipAddress);
        carrier.insert(QStringLiteral("host"), record.tcpipHostName.isEmpty()
                                                   ? QJsonValue(QJsonValue::Null)
                                                   : QJsonValue(record.tcpipHostName));
    }
    return carrier;
}

// The cards of a carrier, as the tree's card rows show them; none when the
// resource is no carrier.
QJsonArray cardArray(const resourceInfo_t& record, int* usable) {
    QJsonArray cards;
    if (record.systemText.isEmpty())
        return cards;
    const qsizetype count = qMin(record.fcColumns.size(), record.fcNumbers.size());
    for (qsizetype k = 0; k < count; ++k) {
        const int fcNumber = record.fcNumbers.at(k);
        QJsonObject card{
            {QStringLiteral("fc"), k < record.fcSlots.size() ? record.fcSlots.at(k) : fcNumber},
            {QStringLiteral("model"), record.fcColumns.at(k).value(1).trimmed()},
            {QStringLiteral("usable"), fcNumber != 0}};
        if (fcNumber != 0) {
            card.insert(QStringLiteral("arguments"),
                        QJsonArray{QStringLiteral("--resource"), record.descriptor,
                                   QStringLiteral("--fc"), QString::number(fcNumber)});
            ++*usable;
        }
        cards.append(card);
    }
    return cards;
}

QJsonObject resourceObject(const resourceInfo_t& record, int* usable) {
    return {{QStringLiteral("descriptor"), record.descriptor},
            {QStringLiteral("interface"), record.descriptor.section(QLatin1Char(':'), 0, 0)},
            {QStringLiteral("carrier"), record.systemText.isEmpty()
                                            ? QJsonValue(QJsonValue::Null)
                                            : QJsonValue(carrierObject(record))},
            {QStringLiteral("cards"), cardArray(record, usable)}};
}
} // namespace

qv4720fp_ListCommand::qv4720fp_ListCommand(Format format) : m_format(format) {}

int qv4720fp_ListCommand::run() {
    qv4720_fc card;
    qv4000fp_discovery discovery(&card);
    discovery.setReadHostNames(m_format == Format::Json);
    const qv4000fp_discovery::Outcome outcome = discovery.run(waitShowingProgress);
    const QString searchError = outcome == qv4000fp_discovery::Outcome::SearchFailed
                                    ? searchErrorText(discovery.status())
                                    : QString();
    // The machine listing has no card limit; the text keeps the dialog's.
    const qv4000fp_resourceTree tree(discovery.records());
    if (m_format == Format::Json) {
        qv4720fp_print(stdout, json(discovery.records(), searchError));
    } else {
        if (tree.limitReached())
            qv4720fp_printMessage(qv4000fp_resourceTree::limitWarning());
        if (!tree.rows().isEmpty())
            qv4720fp_print(stdout, text(discovery.records(), tree));
    }
    if (!searchError.isEmpty()) {
        qv4720fp_printMessage(searchError);
        return qv4720fp_ExitLibraryError;
    }
    if (tree.selectableCount() == 0) {
        qv4720fp_printMessage(qv4000fp_connectionTexts::noCardText(card.m_model));
        return qv4720fp_ExitLibraryError;
    }
    return qv4720fp_ExitSuccess;
}

QByteArray qv4720fp_ListCommand::text(const QList<resourceInfo_t>& records,
                                      const qv4000fp_resourceTree& tree) {
    const QList<Line> lines = listingLines(records, tree);
    qsizetype systemWidth = 0;
    qsizetype modelWidth = 0;
    for (const Line& line : lines) {
        systemWidth = qMax(systemWidth, line.system.size());
        modelWidth = qMax(modelWidth, line.model.size());
    }
    const QString gap(kColumnGap, QLatin1Char(' '));
    QString listing;
    for (const Line& line : lines) {
        const QString full = line.system.leftJustified(systemWidth) + gap +
                             line.model.leftJustified(modelWidth) + gap + line.open;
        static const QRegularExpression trailingBlanks(QStringLiteral("\\s+$"));
        listing += QString(full).remove(trailingBlanks) + QLatin1Char('\n');
    }
    return listing.toLocal8Bit();
}

QByteArray qv4720fp_ListCommand::json(const QList<resourceInfo_t>& records,
                                      const QString& searchError) {
    QJsonArray resources;
    int usable = 0;
    for (const resourceInfo_t& record : records)
        resources.append(resourceObject(record, &usable));
    QJsonObject document{{QStringLiteral("version"), kJsonVersion},
                         {QStringLiteral("resources"), resources},
                         {QStringLiteral("usableCards"), usable}};
    if (!searchError.isEmpty())
        document.insert(QStringLiteral("searchError"), searchError);
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QString qv4720fp_ListCommand::openArguments(const QString& descriptor, int fcNumber) {
    return QString::fromLatin1(kOpenArguments).arg(quotedForShell(descriptor)).arg(fcNumber);
}

// The main thread runs an event loop, which brings the watcher's progress,
// until the network queries have ended.
void qv4720fp_ListCommand::waitShowingProgress(const qv4000fp_discovery::Queries& queries) {
    QEventLoop loop;
    QFutureWatcher<void> watcher;
    qv4000fp_terminalProgress progress(stderr, queries.total - queries.pending, queries.pending);
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    QObject::connect(&watcher, &QFutureWatcher<void>::progressValueChanged, &loop,
                     [&progress](int value) { progress.show(value); });
    watcher.setFuture(queries.future);
    loop.exec();
    progress.erase();
}

QString qv4720fp_ListCommand::searchErrorText(ViStatus status) {
    const QString hex = QString::number(static_cast<quint32>(status), 16).toUpper();
    qv4000fp_libraryBuffer<kStatusDescriptionLength> description;
    if (viStatusDesc(VI_NULL, status, description.data) >= VI_SUCCESS &&
        !description.text().isEmpty()) {
        return QString::fromLatin1(kSearchFailed)
            .arg(QString::fromLatin1(kStatusWithDescription).arg(description.text(), hex));
    }
    return QString::fromLatin1(kSearchFailed).arg(QString::fromLatin1(kStatusText).arg(hex));
}
