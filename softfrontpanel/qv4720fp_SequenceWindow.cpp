#include "qv4720fp_SequenceWindow.h"

#include "SequenceCsv.h"
#include "qv4720fp_App.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_Config.h"
#include "qv4720fp_PlotView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const char* const kTitle = "Sequences";
const char* const kDwellHeader = "dwell_s";
const char* const kChannelHeader = "ch%1";
const char* const kRampHeader = "ramp";
const char* const kAddStep = "Add Step";
const char* const kRemoveStep = "Remove Step";
const char* const kLoad = "Load CSV...";
const char* const kSave = "Save CSV...";
const char* const kRepeat = "Repeat:";
const char* const kAtEnd = "At the end:";
const char* const kOnStop = "On Stop or error:";
const char* const kHold = "Hold";
const char* const kGoTo = "Go to values";
const char* const kRuleValues = "Values:";
const char* const kStart = "Start";
const char* const kPause = "Pause";
const char* const kResume = "Resume";
const char* const kStop = "Stop";
const char* const kIdle = "Idle";
const char* const kProgress = "%1: step %2 of %3, pass %4 of %5";
const char* const kStates[] = {"Idle", "Running", "Paused", "Stopping"};
const char* const kFinished = "Finished";
const char* const kEndedBy = "Ended: %1";
const char* const kStarted = "Started.";
const char* const kNoSteps = "The sequence has no steps.";
const char* const kBadCell = "Step %1, column %2: \"%3\" is not a number.";
const char* const kNoDwell = "Step %1, column dwell_s: a dwell is needed.";
const char* const kBadRuleValue = "%1 channel %2: \"%3\" is not a number.";
const char* const kLoaded = "Loaded %1 steps from %2.";
const char* const kSaved = "Saved %1 steps to %2.";
const char* const kNoPlot = "The plot is not available: %1";
const char* const kFileFilter = "Sequences (*.csv);;All files (*)";
const char* const kErrorStyle = "color: #b00000";
const char* const kPlotLibrary = "/../lib/zelvan-sfp/libqv4720fp_plot.so";

const int kChannels = qv4720fp_Config::ChannelCount;
const int kPollMs = 100;
const int kMaxRepeat = 1000000;
const int kInitialRows = 3;
const double kDefaultDwell = 1.0;
} // namespace

int qv4720fp_SequenceWindow::rampColumn() {
    return kChannels + 1;
}

qv4720fp_SequenceWindow::qv4720fp_SequenceWindow(qv4720fp_App* app)
    : QWidget(app, Qt::Window), m_app(app) {
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* column = new QVBoxLayout(this);
    column->addWidget(buildEditor());
    column->addWidget(buildRules());
    column->addWidget(buildControls());
    m_status = new QLabel;
    m_status->setWordWrap(true);
    column->addWidget(m_status);
    loadPlot();
    connect(&m_poll, &QTimer::timeout, this, &qv4720fp_SequenceWindow::poll);
    m_poll.start(kPollMs);
    poll();
}

QWidget* qv4720fp_SequenceWindow::buildEditor() {
    auto* editor = new QWidget;
    auto* layout = new QVBoxLayout(editor);
    layout->setContentsMargins(0, 0, 0, 0);
    m_table = new QTableWidget(0, kChannels + 2);
    QStringList headers{QString::fromLatin1(kDwellHeader)};
    for (int channel = 1; channel <= kChannels; ++channel)
        headers << QString::fromLatin1(kChannelHeader).arg(channel);
    headers << QString::fromLatin1(kRampHeader);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_table);
    for (int row = 0; row < kInitialRows; ++row)
        addStep();

    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, void (qv4720fp_SequenceWindow::*)()> actions[] = {
        {kAddStep, &qv4720fp_SequenceWindow::addStep},
        {kRemoveStep, &qv4720fp_SequenceWindow::removeStep},
        {kLoad, &qv4720fp_SequenceWindow::loadCsv},
        {kSave, &qv4720fp_SequenceWindow::saveCsv}};
    for (const auto& [text, slot] : actions) {
        auto* button = new QPushButton(QString::fromLatin1(text));
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(new QLabel(QString::fromLatin1(kRepeat)));
    m_repeat = new QSpinBox;
    m_repeat->setRange(1, kMaxRepeat);
    buttons->addWidget(m_repeat);
    layout->addLayout(buttons);
    return editor;
}

QWidget* qv4720fp_SequenceWindow::buildRules() {
    auto* rules = new QWidget;
    auto* grid = new QGridLayout(rules);
    grid->setContentsMargins(0, 0, 0, 0);
    const QStringList kinds{QString::fromLatin1(kHold), QString::fromLatin1(kGoTo)};
    m_endRule = new QComboBox;
    m_endRule->addItems(kinds);
    m_stopRule = new QComboBox;
    m_stopRule->addItems(kinds);
    grid->addWidget(new QLabel(QString::fromLatin1(kAtEnd)), 0, 0);
    grid->addWidget(m_endRule, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QString::fromLatin1(kOnStop)), 0, 3);
    grid->addWidget(m_stopRule, 0, 4, 1, 2);
    grid->addWidget(new QLabel(QString::fromLatin1(kRuleValues)), 1, 0);
    for (int channel = 1; channel <= kChannels; ++channel) {
        auto* value = new QLineEdit;
        value->setPlaceholderText(QString::fromLatin1(kChannelHeader).arg(channel));
        grid->addWidget(value, 1, channel);
        m_ruleValues.push_back(value);
    }
    return rules;
}

QWidget* qv4720fp_SequenceWindow::buildControls() {
    auto* controls = new QWidget;
    auto* row = new QHBoxLayout(controls);
    row->setContentsMargins(0, 0, 0, 0);
    m_start = new QPushButton(QString::fromLatin1(kStart));
    m_pause = new QPushButton(QString::fromLatin1(kPause));
    m_stop = new QPushButton(QString::fromLatin1(kStop));
    connect(m_start, &QPushButton::clicked, this, &qv4720fp_SequenceWindow::start);
    connect(m_pause, &QPushButton::clicked, this, &qv4720fp_SequenceWindow::pauseOrResume);
    connect(m_stop, &QPushButton::clicked, this, &qv4720fp_SequenceWindow::stop);
    row->addWidget(m_start);
    row->addWidget(m_pause);
    row->addWidget(m_stop);
    m_progress = new QLabel(QString::fromLatin1(kIdle));
    row->addWidget(m_progress, 1);
    return controls;
}

// The chart library is resolved only here, when the window is first built.
void qv4720fp_SequenceWindow::loadPlot() {
    QLibrary library(QCoreApplication::applicationDirPath() + QLatin1String(kPlotLibrary));
    auto create =
        reinterpret_cast<qv4720fp_CreatePlot>(library.resolve(QV4720FP_CREATE_PLOT_SYMBOL));
    if (!create) {
        showStatus(QString::fromLatin1(kNoPlot).arg(library.errorString()), true);
        return;
    }
    // The library stays loaded: QLibrary does not unload on destruction.
    m_plot = create(this, kChannels);
    m_plot->setVoltageRange(m_app->loLimit(), m_app->hiLimit());
    layout()->addWidget(m_plot->widget());
}

void qv4720fp_SequenceWindow::addStep() {
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, kDwellColumn, new QTableWidgetItem(QString::number(kDefaultDwell)));
    auto* ramp = new QTableWidgetItem;
    ramp->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    ramp->setCheckState(Qt::Unchecked);
    m_table->setItem(row, rampColumn(), ramp);
}

void qv4720fp_SequenceWindow::removeStep() {
    const int row = m_table->currentRow() >= 0 ? m_table->currentRow() : m_table->rowCount() - 1;
    if (row >= 0)
        m_table->removeRow(row);
}

void qv4720fp_SequenceWindow::setSteps(const std::vector<SequenceStep>& steps) {
    m_table->setRowCount(0);
    for (const SequenceStep& step : steps) {
        addStep();
        const int row = m_table->rowCount() - 1;
        m_table->item(row, kDwellColumn)->setText(QString::number(step.dwellSeconds, 'g', 10));
        for (int channel = 1; channel <= kChannels; ++channel) {
            const size_t index = size_t(channel - 1);
            if (index < step.values.size() && step.values[index])
                m_table->setItem(
                    row, channel,
                    new QTableWidgetItem(QString::number(*step.values[index], 'g', 10)));
        }
        m_table->item(row, rampColumn())->setCheckState(step.ramp ? Qt::Checked : Qt::Unchecked);
    }
}

bool qv4720fp_SequenceWindow::readSequence(Sequence* sequence, QString* error) const {
    sequence->steps.clear();
    for (int row = 0; row < m_table->rowCount(); ++row) {
        SequenceStep step;
        step.values.assign(kChannels, std::nullopt);
        for (int column = kDwellColumn; column <= kChannels; ++column) {
            const QTableWidgetItem* item = m_table->item(row, column);
            const QString text = item ? item->text().trimmed() : QString();
            if (text.isEmpty()) {
                if (column == kDwellColumn) {
                    *error = QString::fromLatin1(kNoDwell).arg(row + 1);
                    return false;
                }
                continue;
            }
            bool ok = false;
            const double value = text.toDouble(&ok);
            if (!ok) {
                *error = QString::fromLatin1(kBadCell).arg(row + 1).arg(
                    m_table->horizontalHeaderItem(column)->text(), text);
                return false;
            }
            if (column == kDwellColumn)
                step.dwellSeconds = value;
            else
                step.values[size_t(column - 1)] = value;
        }
        const QTableWidgetItem* ramp = m_table->item(row, rampColumn());
        step.ramp = ramp && ramp->checkState() == Qt::Checked;
        sequence->steps.push_back(step);
    }
    if (sequence->steps.empty()) {
        *error = QString::fromLatin1(kNoSteps);
        return false;
    }
    sequence->repeat = m_repeat->value();
    if (!readRule(m_endRule, &sequence->atEnd, error) ||
        !readRule(m_stopRule, &sequence->onStop, error))
        return false;
    sequence->onError = sequence->onStop;
    return true;
}

bool qv4720fp_SequenceWindow::readRule(const QComboBox* kind, StopRule* rule,
                                       QString* error) const {
    rule->kind = kind->currentIndex() == 0 ? StopRule::Hold : StopRule::GoTo;
    rule->values.assign(kChannels, std::nullopt);
    if (rule->kind == StopRule::Hold)
        return true;
    for (int channel = 1; channel <= kChannels; ++channel) {
        const QString text = m_ruleValues[size_t(channel - 1)]->text().trimmed();
        if (text.isEmpty())
            continue;
        bool ok = false;
        rule->values[size_t(channel - 1)] = text.toDouble(&ok);
        if (!ok) {
            *error =
                QString::fromLatin1(kBadRuleValue).arg(kind->currentText()).arg(channel).arg(text);
            return false;
        }
    }
    return true;
}

bool qv4720fp_SequenceWindow::start() {
    Sequence sequence;
    QString error;
    if (!readSequence(&sequence, &error)) {
        showStatus(error, true);
        return false;
    }
    SetpointEngine& engine = m_app->cardEngine()->engine();
    const uint64_t first = engine.log().total();
    const SinkStatus status = engine.start(sequence);
    if (!status.ok) {
        showStatus(status.error, true);
        return false;
    }
    m_nextRecord = first;
    m_running = true;
    if (m_plot)
        m_plot->clear();
    showStatus(QString::fromLatin1(kStarted), false);
    m_app->config()->refreshGuards();
    poll();
    return true;
}

void qv4720fp_SequenceWindow::pauseOrResume() {
    SetpointEngine& engine = m_app->cardEngine()->engine();
    if (engine.progress().state == SetpointEngine::State::Paused)
        engine.resume();
    else
        engine.pause();
}

void qv4720fp_SequenceWindow::stop() {
    if (m_app->cardEngine()->started())
        m_app->cardEngine()->engine().stop();
}

void qv4720fp_SequenceWindow::loadCsv() {
    const QString path =
        QFileDialog::getOpenFileName(this, QString(), QString(), QString::fromLatin1(kFileFilter));
    if (path.isEmpty())
        return;
    const CsvReadResult read = SequenceCsv::readFile(path, kChannels);
    if (!read.ok) {
        showStatus(read.error, true);
        return;
    }
    setSteps(read.steps);
    showStatus(QString::fromLatin1(kLoaded).arg(read.steps.size()).arg(path), false);
}

void qv4720fp_SequenceWindow::saveCsv() {
    Sequence sequence;
    QString error;
    if (!readSequence(&sequence, &error)) {
        showStatus(error, true);
        return;
    }
    const QString path =
        QFileDialog::getSaveFileName(this, QString(), QString(), QString::fromLatin1(kFileFilter));
    if (path.isEmpty())
        return;
    error = SequenceCsv::writeFile(path, sequence.steps, kChannels);
    showStatus(error.isEmpty() ? QString::fromLatin1(kSaved).arg(sequence.steps.size()).arg(path)
                               : error,
               !error.isEmpty());
}

// Progress and the plot follow the engine by polling: its signals come from
// its own thread, and the write log is made to be read from any thread.
void qv4720fp_SequenceWindow::poll() {
    qv4720fp_CardEngine* cardEngine = m_app->cardEngine();
    const bool started = cardEngine->started();
    const SetpointEngine::Progress progress =
        started ? cardEngine->engine().progress() : SetpointEngine::Progress{};
    const bool idle = progress.state == SetpointEngine::State::Idle;
    m_start->setEnabled(idle);
    m_pause->setEnabled(!idle);
    m_stop->setEnabled(!idle);
    m_pause->setText(
        QString::fromLatin1(progress.state == SetpointEngine::State::Paused ? kResume : kPause));
    if (!idle || progress.steps > 0)
        m_progress->setText(QString::fromLatin1(kProgress)
                                .arg(QString::fromLatin1(
                                    idle ? (progress.outcome.isEmpty() ? kFinished : kStates[0])
                                         : kStates[int(progress.state)]))
                                .arg(progress.step)
                                .arg(progress.steps)
                                .arg(progress.pass)
                                .arg(progress.passes));
    if (idle && m_running) {
        // The run this window started has ended: say how.
        m_running = false;
        showStatus(progress.outcome.isEmpty() ? QString::fromLatin1(kFinished)
                                              : QString::fromLatin1(kEndedBy).arg(progress.outcome),
                   !progress.outcome.isEmpty());
    }
    // Before the first sequence there is no time zero to plot against.
    if (!started || !m_plot || progress.steps == 0)
        return;
    const std::vector<WriteRecord> records =
        cardEngine->engine().log().readFrom(m_nextRecord, &m_nextRecord);
    for (const WriteRecord& record : records) {
        if (record.ok)
            m_plot->addPoint(record.channel,
                             std::chrono::duration<double>(record.at - progress.started).count(),
                             record.volts);
    }
    if (!idle)
        m_plot->showUntil(
            std::chrono::duration<double>(SetpointEngine::Clock::now() - progress.started).count());
}

void qv4720fp_SequenceWindow::showStatus(const QString& text, bool error) {
    m_status->setStyleSheet(error ? QString::fromLatin1(kErrorStyle) : QString());
    m_status->setText(text);
}
