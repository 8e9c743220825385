#include "qv4000fp_fcSelect.h"

#include "qv4000fp_connectionBoxes.h"
#include "qv4000fp_discovery.h"
#include "qv4000fp_fcEnterAddress.h"
#include "qv4000fp_genFC.h"
#include "qv4000fp_icons.h"
#include "qv4000fp_messages.h"
#include "qv4000fp_resourceTree.h"

#include <QApplication>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {
const char* const kSystemHeader = "System";
const char* const kModelHeader = "FC Model";
const char* const kOk = "OK";
const char* const kCancel = "Cancel";
const char* const kHint =
    "Select one available function card and then click \"OK\" \nor click \"Cancel\" to quit";
const char* const kProgressTitle = "Zelvan %1";
const char* const kSearching = "Searching...";
const char* const kContinue = "Continue";
const char* const kDemoDescriptor = "VXI0::1::INSTR";

const int kTreeLines = 24; // minimum tree width and height, in lines of text
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

qv4000fp_connectRequest& pendingStartRequest() {
    static qv4000fp_connectRequest request;
    return request;
}

void warnAboutCardLimit(int model) {
    QMessageBox box(QMessageBox::Question, qv4000fp_connectionTexts::titleText(model),
                    qv4000fp_resourceTree::limitWarning(), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setDefaultButton(box.addButton(fromTable(kContinue), QMessageBox::ActionRole));
    box.exec();
}
} // namespace

qv4000fp_fcSelect::qv4000fp_fcSelect(qv4000fp_genFC* fc, int multiSelect)
    : QDialog(nullptr, Qt::WindowFlags()), m_okButton(new QPushButton(fromTable(kOk))),
      m_tree(new QTreeWidget), m_cancelButton(new QPushButton(fromTable(kCancel))), m_demoMode(0),
      m_fcCount(0), m_vi(0), m_fc(fc), m_startRequest(std::exchange(pendingStartRequest(), {})) {
    std::fill(std::begin(m_fcNumbers), std::end(m_fcNumbers), quint16(0));
    setWindowTitle(qv4000fp_connectionTexts::titleText(fc->m_model));
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

void qv4000fp_fcSelect::setStartRequest(const qv4000fp_connectRequest& request) {
    pendingStartRequest() = request;
}

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
    qv4000fp_discovery discovery(m_fc);
    const auto outcome = discovery.run(
        [this](const qv4000fp_discovery::Queries& queries) { waitWithProgress(queries); });
    if (outcome != qv4000fp_discovery::Outcome::Found)
        return 0;
    const int selectable = buildTree(discovery.records());
    m_tree->resizeColumnToContents(0);
    m_tree->resizeColumnToContents(1);
    return selectable;
}

// The GUI thread only runs the progress dialog's event loop until the
// network queries have ended.
void qv4000fp_fcSelect::waitWithProgress(const qv4000fp_discovery::Queries& queries) {
    QProgressDialog progress(this);
    progress.setWindowTitle(
        fromTable(kProgressTitle).arg(qv4000fp_connectionTexts::modelText(m_fc->m_model)));
    progress.setLabelText(fromTable(kSearching));
    progress.setCancelButton(nullptr);
    QFutureWatcher<void> watcher;
    connect(&watcher, &QFutureWatcher<void>::finished, &progress, &QProgressDialog::reset);
    connect(&watcher, &QFutureWatcher<void>::progressRangeChanged, &progress,
            &QProgressDialog::setRange);
    connect(&watcher, &QFutureWatcher<void>::progressValueChanged, &progress,
            &QProgressDialog::setValue);
    watcher.setFuture(queries.future);
    progress.exec();
    watcher.waitForFinished();
}

// The rows are built apart from the tree and put into it at once, so the
// tree takes them in one step rather than one row at a time.
int qv4000fp_fcSelect::buildTree(const QList<resourceInfo_t>& records) {
    const qv4000fp_resourceTree rows(records);
    if (rows.limitReached())
        warnAboutCardLimit(m_fc->m_model);
    QList<QTreeWidgetItem*> groups;
    QList<QTreeWidgetItem*> expanded; // expanding needs the rows in the tree
    QTreeWidgetItem* parents[2] = {nullptr, nullptr};
    for (const qv4000fp_resourceTree::Row& row : rows.rows()) {
        QTreeWidgetItem* item = row.depth == 0
                                    ? new QTreeWidgetItem(row.texts)
                                    : new QTreeWidgetItem(parents[row.depth - 1], row.texts);
        if (row.depth == 0)
            groups << item;
        if (row.depth < 2)
            parents[row.depth] = item;
        if (row.expanded)
            expanded << item;
        if (row.kind == qv4000fp_resourceTree::Row::Kind::Card)
            addCard(item, row, records.at(row.record).descriptor);
        else
            item->setFlags(Qt::ItemIsEnabled);
    }
    m_tree->addTopLevelItems(groups);
    for (QTreeWidgetItem* item : std::as_const(expanded))
        item->setExpanded(true);
    return rows.selectableCount();
}

// A selectable card also becomes the record's choice: after the search the
// record names the last selectable card listed.
void qv4000fp_fcSelect::addCard(QTreeWidgetItem* item, const qv4000fp_resourceTree::Row& row,
                                const QString& descriptor) {
    item->setData(0, kCardDataRole, row.fcNumber);
    item->setData(1, kCardDataRole, descriptor);
    if (!row.selectable) {
        item->setFlags(Qt::NoItemFlags);
        return;
    }
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    m_descriptor = descriptor;
    m_fcNumbers[0] = static_cast<quint16>(row.fcNumber);
}

bool qv4000fp_fcSelect::connectFunctionCard() {
    qv4000fp_fcEnterAddress addressDialog(m_fc);
    qv4000fp_connectionBoxes boxes(m_fc->m_model);
    Step step = firstStep();
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

// The start request leads to its step once; later runs start with the choice.
qv4000fp_fcSelect::Step qv4000fp_fcSelect::firstStep() {
    const qv4000fp_connectRequest request = std::exchange(m_startRequest, {});
    switch (request.start) {
    case qv4000fp_connectRequest::Start::Demo:
        return Step::Demo;
    case qv4000fp_connectRequest::Start::Card:
        m_descriptor = request.descriptor;
        m_fcNumbers[0] = request.fcNumber;
        m_fcCount = 1;
        m_openReset = request.reset;
        return Step::Open;
    case qv4000fp_connectRequest::Start::Ask:
        break;
    }
    return Step::Choice;
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
        const QString warning = qv4000fp_connectionTexts::entryWarning(descriptors, fcNumbers);
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
    // Only a start request may open without the reset flag, and only once.
    const ViUInt16 reset = std::exchange(m_openReset, true) ? 1 : 0;
    const ViStatus status = m_fc->openCard(descriptor.constData(), m_fcNumbers, reset, &m_vi);
    if (status == VI_SUCCESS)
        return Step::Connected;
    const bool tryAgain = boxes.askAfterOpenFailure(
        this, qv4000fp_connectionTexts::openErrorText(m_fc, status), m_fcCount > 1);
    return tryAgain ? Step::Choice : Step::Cancelled;
}
