#include "qv4000fp_fcSelect.h"

#include "qv4000.h"
#include "qv4000fp_connectionBoxes.h"
#include "qv4000fp_descriptorOrder.h"
#include "qv4000fp_fcEnterAddress.h"
#include "qv4000fp_genFC.h"
#include "qv4000fp_icons.h"
#include "qv4000fp_libraryText.h"
#include "qv4000fp_messages.h"

#include <QApplication>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QThreadPool>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
const char* const kSystemHeader = "System";
const char* const kModelHeader = "FC Model";
const char* const kOk = "OK";
const char* const kCancel = "Cancel";
const char* const kHint =
    "Select one available function card and then click \"OK\" \nor click \"Cancel\" to quit";
const char* const kProgressTitle = "Zelvan %1";
const char* const kSearching = "Searching...";
const char* const kLimitText =
    "Found more Function Cards than supported by this SoftFrontPanel. Only first %1 are "
    "available.\nPlease contact Quorvel's support if you need support for more cards.";
const char* const kContinue = "Continue";
const char* const kDemoDescriptor = "VXI0::1::INSTR";
const char* const kNetworkKind = "TCPIP";

const int kTreeLines = 24; // minimum tree width and height, in lines of text
const int kMaxPoolThreads = 128;
const Qt::ItemDataRole kCardDataRole = Qt::StatusTipRole;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

void writeHint() {
    qDebug("%s", kHint);
}

bool isSelectable(const QTreeWidgetItem* item) {
    return item && (item->flags() & Qt::ItemIsSelectable);
}

// The driver's text for a status, or the carrier library's when it has none.
QString errorTextFor(qv4000fp_genFC* fc, ViStatus status) {
    const QString text = fc->errorMessage(status);
    if (!text.isEmpty())
        return text;
    char buffer[QV4000_ERROR_MESSAGE_BUFLEN];
    std::memset(buffer, 0, sizeof buffer);
    qv4000_errorMessage(status, buffer);
    return qv4000fp_libraryText(buffer);
}

// The network queries run on a pool of their own. The toolkit's global pool
// also serves its raster painting, which takes threads just while the
// progress dialog first paints; the map does not start the threads it was
// denied then until one of its queries has ended, a whole network round trip
// later.
QThreadPool* discoveryThreadPool() {
    static QThreadPool pool;
    return &pool;
}

void warnAboutCardLimit(int model) {
    QMessageBox box(QMessageBox::Question, qv4000fp_connectionBoxes::titleText(model),
                    fromTable(kLimitText).arg(qv4000fp_fcSelect::MaxCards), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setDefaultButton(box.addButton(fromTable(kContinue), QMessageBox::ActionRole));
    box.exec();
}
} // namespace

qv4000fp_fcSelect::qv4000fp_fcSelect(qv4000fp_genFC* fc, int multiSelect)
    : QDialog(nullptr, Qt::WindowFlags()), m_okButton(new QPushButton(fromTable(kOk))),
      m_tree(new QTreeWidget), m_cancelButton(new QPushButton(fromTable(kCancel))), m_demoMode(0),
      m_fcCount(0), m_vi(0), m_fc(fc) {
    std::fill(std::begin(m_fcNumbers), std::end(m_fcNumbers), quint16(0));
    setWindowTitle(qv4000fp_connectionBoxes::titleText(fc->m_model));
    setWindowIcon(qv4000fp_connectionIcon());
    auto* layout = new QVBoxLayout(this);

    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({fromTable(kSystemHeader), fromTable(kModelHeader)});
    const int treeSize = kTreeLines * fontMetrics().height();
    m_tree->setMinimumWidth(treeSize);
    m_tree->setMinimumHeight(treeSize);
    if (multiSelect)
        m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &qv4000fp_fcSelect::dblClick);
    layout->addWidget(m_tree);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_okButton, &QPushButton::clicked, this, &qv4000fp_fcSelect::okPressed);

    adjustSize();
}

qv4000fp_fcSelect::~qv4000fp_fcSelect() = default;

void qv4000fp_fcSelect::okPressed() {
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    if (selected.isEmpty())
        return;
    m_selectedItems = selected;
    // The record holds MaxCards numbers; a larger selection keeps the first ones.
    m_fcCount = static_cast<int>(qMin<qsizetype>(selected.size(), MaxCards));
    m_descriptor.clear();
    for (int i = 0; i < m_fcCount; ++i) {
        QTreeWidgetItem* item = selected.at(i);
        if (!isSelectable(item)) {
            writeHint();
            return;
        }
        m_fcNumbers[i] = static_cast<quint16>(item->data(0, kCardDataRole).toInt());
        m_descriptor += item->data(1, kCardDataRole).toString();
        if (i == m_fcCount - 1)
            accept();
        else
            m_descriptor += QLatin1Char(',');
    }
}

void qv4000fp_fcSelect::dblClick(QTreeWidgetItem* item) {
    if (!isSelectable(item))
        return;
    QTreeWidgetItem* current = m_tree->currentItem();
    if (!isSelectable(current)) {
        writeHint();
        return;
    }
    m_fcNumbers[0] = static_cast<quint16>(current->data(0, kCardDataRole).toInt());
    m_descriptor = current->data(1, kCardDataRole).toString();
    m_fcCount = 1;
    accept();
}

int qv4000fp_fcSelect::autoFind() {
    m_tree->clear();
    ViSession defaultRM = 0;
    if (viOpenDefaultRM(&defaultRM) != VI_SUCCESS) {
        viClose(defaultRM);
        return 0;
    }
    ViFindList findList = 0;
    QList<resourceInfo_t> records;
    if (!findResources(defaultRM, &findList, &records))
        return 0;
    records = withoutDuplicateAddresses(queryResources(defaultRM, records));
    // Records that compare equal (carriers of one VXI interface) keep VISA's
    // order; and a stable sort stays in bounds where letter case makes the
    // descriptor order cycle.
    std::stable_sort(records.begin(), records.end(), resourceRecordLessThan);
    const int selectable = buildTree(records);
    m_tree->resizeColumnToContents(0);
    m_tree->resizeColumnToContents(1);
    viClose(findList);
    viClose(defaultRM);
    return selectable;
}

// Local resources are queried here one after the other; network resources,
// which may take long to answer, all at once on the thread pool.
QList<resourceInfo_t> qv4000fp_fcSelect::queryResources(ViSession defaultRM,
                                                        const QList<resourceInfo_t>& found) {
    std::vector<getResourceInfo_params_t> items(static_cast<size_t>(found.size()));
    for (qsizetype i = 0; i < found.size(); ++i) {
        getResourceInfo_params_t& item = items[static_cast<size_t>(i)];
        item.fc = m_fc;
        item.defaultRM = defaultRM;
        item.info = found.at(i);
        if (!item.info.descriptor.toUpper().contains(QLatin1String(kNetworkKind))) {
            getResourceInfo(&item);
            item.done = true;
        }
    }
    // The map hands each thread a growing block of items once the items go
    // fast; with the finished items first, a block could hold several network
    // items that would then be queried one after the other. Pending items go
    // first, so each of them starts on a thread of its own.
    QVector<getResourceInfo_params_t*> sequence;
    sequence.reserve(found.size());
    for (bool done : {false, true}) {
        for (getResourceInfo_params_t& item : items) {
            if (item.done == done)
                sequence.append(&item);
        }
    }
    runNetworkQueries(sequence);
    QList<resourceInfo_t> results;
    results.reserve(found.size());
    for (const getResourceInfo_params_t& item : items)
        results.append(item.info);
    return results;
}

// The GUI thread only runs the progress dialog's event loop until the map has
// finished; it reads the items after that. One thread per pending item, up to
// the limit: threads for items that are already done would only delay the
// start of the others.
void qv4000fp_fcSelect::runNetworkQueries(QVector<getResourceInfo_params_t*>& items) {
    const qsizetype pending =
        std::count_if(items.cbegin(), items.cend(),
                      [](const getResourceInfo_params_t* item) { return !item->done; });
    discoveryThreadPool()->setMaxThreadCount(
        static_cast<int>(std::clamp<qsizetype>(pending, 1, kMaxPoolThreads)));
    QProgressDialog progress(this);
    progress.setWindowTitle(
        fromTable(kProgressTitle).arg(qv4000fp_connectionBoxes::modelText(m_fc->m_model)));
    progress.setLabelText(fromTable(kSearching));
    progress.setCancelButton(nullptr);
    QFutureWatcher<void> watcher;
    connect(&watcher, &QFutureWatcher<void>::finished, &progress, &QProgressDialog::reset);
    connect(&watcher, &QFutureWatcher<void>::progressRangeChanged, &progress,
            &QProgressDialog::setRange);
    connect(&watcher, &QFutureWatcher<void>::progressValueChanged, &progress,
            &QProgressDialog::setValue);
    watcher.setFuture(QtConcurrent::map(discoveryThreadPool(), items, getResourceInfo));
    progress.exec();
    watcher.waitForFinished();
}

// The rows are built apart from the tree and put into it at once, so the
// tree takes them in one step rather than one row at a time.
struct qv4000fp_fcSelect::TreeRows {
    QList<QTreeWidgetItem*> groups;
    QList<QTreeWidgetItem*> expanded; // expanding needs the rows in the tree
    int selectable = 0;
};

int qv4000fp_fcSelect::buildTree(const QList<resourceInfo_t>& records) {
    TreeRows rows;
    QString previousGroup;
    QTreeWidgetItem* groupItem = nullptr;
    for (const resourceInfo_t& record : records) {
        const QString group = record.descriptor.section(QLatin1Char(':'), 0, 0);
        if (!groupItem || group != previousGroup) {
            groupItem = new QTreeWidgetItem(QStringList(group));
            groupItem->setFlags(Qt::ItemIsEnabled);
            rows.groups << groupItem;
            rows.expanded << groupItem;
            previousGroup = group;
        }
        // A resource that failed to open, or is no carrier, shows only as its group.
        if (record.systemText.isEmpty())
            continue;
        if (!addCarrier(groupItem, record, rows))
            break;
    }
    m_tree->addTopLevelItems(rows.groups);
    for (QTreeWidgetItem* item : std::as_const(rows.expanded))
        item->setExpanded(true);
    return rows.selectable;
}

// Adds the carrier row and its card rows; false when the card limit ended
// the listing.
bool qv4000fp_fcSelect::addCarrier(QTreeWidgetItem* groupItem, const resourceInfo_t& record,
                                   TreeRows& rows) {
    auto* carrierItem = new QTreeWidgetItem(groupItem, record.systemText);
    carrierItem->setFlags(Qt::ItemIsEnabled);
    bool anySelectable = false;
    bool withinLimit = true;
    const qsizetype cards = qMin(record.fcColumns.size(), record.fcNumbers.size());
    for (qsizetype k = 0; k < cards; ++k) {
        const int fcNumber = record.fcNumbers.at(k);
        if (fcNumber != 0 && rows.selectable == MaxCards) {
            warnAboutCardLimit(m_fc->m_model);
            withinLimit = false;
            break;
        }
        auto* cardItem = new QTreeWidgetItem(carrierItem, record.fcColumns.at(k));
        cardItem->setData(0, kCardDataRole, fcNumber);
        cardItem->setData(1, kCardDataRole, record.descriptor);
        if (fcNumber == 0) {
            cardItem->setFlags(Qt::NoItemFlags);
            continue;
        }
        cardItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        m_descriptor = record.descriptor;
        m_fcNumbers[0] = static_cast<quint16>(fcNumber);
        ++rows.selectable;
        anySelectable = true;
    }
    if (anySelectable)
        rows.expanded << carrierItem;
    return withinLimit;
}

bool qv4000fp_fcSelect::connectFunctionCard() {
    qv4000fp_fcEnterAddress addressDialog(m_fc);
    qv4000fp_connectionBoxes boxes(m_fc->m_model);
    Step step = Step::Choice;
    while (step != Step::Connected && step != Step::Cancelled) {
        switch (step) {
        case Step::Choice:
            switch (boxes.askHowToConnect()) {
            case qv4000fp_connectionBoxes::AutoFind:
                step = Step::Search;
                break;
            case qv4000fp_connectionBoxes::DemoMode:
                step = Step::Demo;
                break;
            case qv4000fp_connectionBoxes::EnterAddress:
                step = Step::Entry;
                break;
            case qv4000fp_connectionBoxes::Cancel:
                step = Step::Cancelled;
                break;
            }
            break;
        case Step::Search:
            step = search(boxes);
            break;
        case Step::Demo:
            chooseDemoMode();
            step = Step::Connected;
            break;
        case Step::Entry:
            step = enterAddresses(addressDialog);
            break;
        case Step::Open:
            step = openCard(boxes);
            break;
        case Step::Connected:
        case Step::Cancelled:
            break;
        }
    }
    return step == Step::Connected;
}

qv4000fp_fcSelect::Step qv4000fp_fcSelect::search(qv4000fp_connectionBoxes& boxes) {
    const int found = autoFind();
    if (found >= 2)
        return exec() == QDialog::Accepted ? Step::Open : Step::Cancelled;
    if (found == 1) {
        m_fcCount = 1;
        return Step::Open;
    }
    switch (boxes.askAfterNoCardFound(this)) {
    case qv4000fp_connectionBoxes::NoCardTryAgain:
        return Step::Choice;
    case qv4000fp_connectionBoxes::NoCardDemoMode:
        return Step::Demo;
    case qv4000fp_connectionBoxes::NoCardCancel:
        break;
    }
    return Step::Cancelled;
}

void qv4000fp_fcSelect::chooseDemoMode() {
    m_demoMode = 1;
    m_fcNumbers[0] = 1;
    m_descriptor = fromTable(kDemoDescriptor);
    m_fcCount = 1;
}

// Entries are written to the descriptor file at every acceptance, valid or
// not, so the dialog shows them again after a warning.
qv4000fp_fcSelect::Step qv4000fp_fcSelect::enterAddresses(qv4000fp_fcEnterAddress& addressDialog) {
    for (;;) {
        addressDialog.loadDescriptors();
        if (addressDialog.exec() != QDialog::Accepted)
            return Step::Choice;
        QStringList descriptors;
        QList<int> fcNumbers;
        addressDialog.saveDescriptors(descriptors, fcNumbers);
        const QString warning = qv4000fp_connectionBoxes::entryWarning(descriptors, fcNumbers);
        if (warning.isEmpty()) {
            takeEntries(descriptors, fcNumbers);
            return Step::Open;
        }
        showWarningMessage(warning);
    }
}

void qv4000fp_fcSelect::takeEntries(const QStringList& descriptors, const QList<int>& fcNumbers) {
    // The address dialog offers at most eight rows; the record never takes
    // more than it holds.
    const qsizetype count = qMin<qsizetype>(descriptors.size(), MaxCards);
    m_descriptor = descriptors.mid(0, count).join(QLatin1Char(','));
    for (qsizetype i = 0; i < count; ++i)
        m_fcNumbers[i] = static_cast<quint16>(fcNumbers.at(i));
    m_fcCount = static_cast<int>(count);
}

// Only status 0 opens the card: a warning from the driver counts as failure.
qv4000fp_fcSelect::Step qv4000fp_fcSelect::openCard(qv4000fp_connectionBoxes& boxes) {
    const QByteArray descriptor = m_descriptor.toLatin1();
    const ViStatus status = m_fc->initInstrument(descriptor.constData(), m_fcNumbers, 1, 1, &m_vi);
    if (status == VI_SUCCESS)
        return Step::Connected;
    // A warning still hands back an open session; as the card counts as not
    // opened, that session is closed rather than left to leak on a retry.
    if (status > VI_SUCCESS && m_vi != 0) {
        m_fc->closeInstrument(m_vi);
        m_vi = 0;
    }
    const bool tryAgain =
        boxes.askAfterOpenFailure(this, errorTextFor(m_fc, status), m_fcCount > 1);
    return tryAgain ? Step::Choice : Step::Cancelled;
}
