#include "qv4720fp_SafetyDialog.h"

#include "SetupFile.h"
#include "SetupRecall.h"
#include "qv4720fp_App.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_Config.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {
const char* const kTitle = "Limits and Setups";
const char* const kHeaders[] = {"Low (V)", "High (V)", "Slew (V/s)"};
const char* const kChannelLabel = "Channel %1";
const char* const kCellHelp = "Empty: off.";
const char* const kApply = "Apply";
const char* const kSave = "Save Setup...";
const char* const kRecall = "Recall Setup...";
const char* const kClose = "Close";
const char* const kApplied = "Settings applied.";
const char* const kNotNumber = "Channel %1, %2: \"%3\" is not a number.";
const char* const kBothLimits = "Channel %1: give both limits or neither.";
const char* const kChannelError = "Channel %1: %2";
const char* const kSaved = "Setup saved to %1.";
const char* const kRecalled = "Setup recalled from %1.";
const char* const kNothingToChange = "The setup in %1 is what the card has now.";
const char* const kRecallQuestion = "Recall this setup? These changes will be made:";
const char* const kChangeLine = "Channel %1 %2: %3 -> %4";
const char* const kChangeKinds[] = {"set-point", "limits", "slew"};
const char* const kFileFilter = "Setups (*.json);;All files (*)";
const char* const kErrorStyle = "color: #b00000";
} // namespace

qv4720fp_SafetyDialog::qv4720fp_SafetyDialog(qv4720fp_App* app) : QDialog(app), m_app(app) {
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* grid = new QGridLayout(this);
    for (int column = 0; column < ColumnCount; ++column)
        grid->addWidget(new QLabel(QString::fromLatin1(kHeaders[column])), 0, column + 1);
    for (int channel = 1; channel <= qv4720fp_Config::ChannelCount; ++channel) {
        grid->addWidget(new QLabel(QString::fromLatin1(kChannelLabel).arg(channel)), channel, 0);
        for (int column = 0; column < ColumnCount; ++column) {
            auto* cell = new QLineEdit;
            cell->setToolTip(QString::fromLatin1(kCellHelp));
            grid->addWidget(cell, channel, column + 1);
            m_cells[channel - 1][column] = cell;
        }
    }
    m_status = new QLabel;
    m_status->setWordWrap(true);
    grid->addWidget(m_status, qv4720fp_Config::ChannelCount + 1, 0, 1, ColumnCount + 1);

    auto* buttons = new QDialogButtonBox;
    connect(buttons->addButton(QString::fromLatin1(kApply), QDialogButtonBox::ApplyRole),
            &QPushButton::clicked, this, &qv4720fp_SafetyDialog::apply);
    connect(buttons->addButton(QString::fromLatin1(kSave), QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this, &qv4720fp_SafetyDialog::saveSetup);
    connect(buttons->addButton(QString::fromLatin1(kRecall), QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this, &qv4720fp_SafetyDialog::recallSetup);
    connect(buttons->addButton(QString::fromLatin1(kClose), QDialogButtonBox::RejectRole),
            &QPushButton::clicked, this, &QDialog::close);
    grid->addWidget(buttons, qv4720fp_Config::ChannelCount + 2, 0, 1, ColumnCount + 1);
    refresh();
}

void qv4720fp_SafetyDialog::refresh() {
    const SafetySettings safety = m_app->cardEngine()->safety();
    auto text = [](const std::optional<double>& v) {
        return v ? QString::number(*v, 'g', 7) : QString();
    };
    for (int channel = 1; channel <= qv4720fp_Config::ChannelCount; ++channel) {
        const ChannelSafety& settings = safety.channel(channel);
        cell(channel, Low)->setText(text(settings.low));
        cell(channel, High)->setText(text(settings.high));
        cell(channel, Slew)->setText(text(settings.slewVps));
    }
}

bool qv4720fp_SafetyDialog::readCells(SafetySettings* settings, QString* error) const {
    for (int channel = 1; channel <= qv4720fp_Config::ChannelCount; ++channel) {
        std::optional<double> values[ColumnCount];
        for (int column = 0; column < ColumnCount; ++column) {
            const QString text = cell(channel, column)->text().trimmed();
            if (text.isEmpty())
                continue;
            bool ok = false;
            values[column] = text.toDouble(&ok);
            if (!ok) {
                *error = QString::fromLatin1(kNotNumber)
                             .arg(channel)
                             .arg(QString::fromLatin1(kHeaders[column]), text);
                return false;
            }
        }
        if (values[Low].has_value() != values[High].has_value()) {
            *error = QString::fromLatin1(kBothLimits).arg(channel);
            return false;
        }
        const ChannelSafety wanted{values[Low], values[High], values[Slew]};
        const QString refused = settings->setChannel(channel, wanted);
        if (!refused.isEmpty()) {
            *error = QString::fromLatin1(kChannelError).arg(channel).arg(refused);
            return false;
        }
    }
    return true;
}

bool qv4720fp_SafetyDialog::apply() {
    SafetySettings settings = m_app->cardEngine()->safety();
    QString error;
    if (!readCells(&settings, &error)) {
        showStatus(error, true);
        return false;
    }
    const SinkStatus status = m_app->cardEngine()->engine().setSafety(settings);
    m_app->config()->refreshGuards();
    showStatus(status.ok ? QString::fromLatin1(kApplied) : status.error, !status.ok);
    return status.ok;
}

void qv4720fp_SafetyDialog::saveSetup() {
    const QString path =
        QFileDialog::getSaveFileName(this, QString::fromLatin1(kSave).remove(QLatin1String("...")),
                                     QString(), QString::fromLatin1(kFileFilter));
    if (path.isEmpty())
        return;
    const qv4720fp_CardSession::Identity identity = m_app->session()->identity();
    const SavedSetup setup =
        SetupFile::capture(identity.model, identity.serialNumber, m_app->cardEngine()->safety(),
                           m_app->cardEngine()->knownValues());
    const QString error = SetupFile::writeFile(path, setup);
    showStatus(error.isEmpty() ? QString::fromLatin1(kSaved).arg(path) : error, !error.isEmpty());
}

void qv4720fp_SafetyDialog::recallSetup() {
    const QString path = QFileDialog::getOpenFileName(
        this, QString::fromLatin1(kRecall).remove(QLatin1String("...")), QString(),
        QString::fromLatin1(kFileFilter));
    if (path.isEmpty())
        return;
    const SetupReadResult read = SetupFile::readFile(path, qv4720fp_Config::ChannelCount);
    if (!read.ok) {
        showStatus(read.error, true);
        return;
    }
    const qv4720fp_CardSession::Identity identity = m_app->session()->identity();
    const SetupRecall::Plan plan =
        SetupRecall::plan(read.setup, identity.model, identity.serialNumber,
                          m_app->cardEngine()->safety(), m_app->cardEngine()->knownValues());
    if (!plan.error.isEmpty()) {
        showStatus(plan.error, true);
        return;
    }
    if (plan.changes.empty() && plan.warning.isEmpty()) {
        showStatus(QString::fromLatin1(kNothingToChange).arg(path), false);
        return;
    }
    QStringList lines;
    for (const SetupChange& change : plan.changes)
        lines << QString::fromLatin1(kChangeLine)
                     .arg(change.channel)
                     .arg(QString::fromLatin1(kChangeKinds[change.kind]), change.from, change.to);
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kTitle),
                    QString::fromLatin1(kRecallQuestion), QMessageBox::Yes | QMessageBox::No, this);
    if (!plan.warning.isEmpty())
        lines.prepend(plan.warning + QLatin1Char('\n'));
    box.setInformativeText(lines.join(QLatin1Char('\n')));
    if (box.exec() != QMessageBox::Yes)
        return;
    const SinkStatus status = SetupRecall::apply(m_app->cardEngine()->engine(), plan);
    refresh();
    m_app->config()->refreshGuards();
    showStatus(status.ok ? QString::fromLatin1(kRecalled).arg(path) : status.error, !status.ok);
}

void qv4720fp_SafetyDialog::showStatus(const QString& text, bool error) {
    m_status->setStyleSheet(error ? QString::fromLatin1(kErrorStyle) : QString());
    m_status->setText(text);
}
