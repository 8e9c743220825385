#include "qv4720fp_Config.h"

#include "qv4720_dblCtrl.h"
#include "qv4720fp_App.h"
#include "qv4720fp_CardEngine.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolTip>

#include <cmath>

namespace {
const char* const kChannelLabel = "Channel %1: ";
const char* const kChannelHelp = "Value to write to the DAC for channel %1.";
const char* const kRangeHelp = "Range of output value selection for all channels.";
const char* const kRampingHelp = "Channel %1 is ramping at its slew limit.";
const char* const kDrivenHelp = "Channel %1 is driven by a running sequence.";
const char* const kRefusedHelp = "Channel %1: %2";

const int kControlMinimumWidth = 50;
const int kControlDecimals = 7;
const int kBusyPollMs = 200;
} // namespace

qv4720fp_Config::qv4720fp_Config(qv4720fp_App* app) : m_app(app) {
    auto* grid = new QGridLayout;
    setLayout(grid);
    QFont italic = font();
    italic.setItalic(true);

    for (int channel = 1; channel <= ChannelCount; ++channel)
        addChannelRow(channel);

    m_rangeLabel = new QLabel;
    m_rangeLabel->setFont(italic);
    m_rangeLabel->setWhatsThis(QString::fromLatin1(kRangeHelp));
    m_rangeLabel->setToolTip(QString::fromLatin1(kRangeHelp));
    grid->addWidget(m_rangeLabel, ChannelCount, 0, 1, 2, Qt::AlignLeft);
    connect(m_app->session(), &qv4720fp_CardSession::setpointChanged, this,
            &qv4720fp_Config::setpointChanged_slot);
    m_busyPoll.setInterval(kBusyPollMs);
    connect(&m_busyPoll, &QTimer::timeout, this, &qv4720fp_Config::refreshGuards);
    connect(m_app->cardEngine(), &qv4720fp_CardEngine::engineStarted, this,
            &qv4720fp_Config::watchEngine);
}

void qv4720fp_Config::watchEngine() {
    SetpointEngine& engine = m_app->cardEngine()->engine();
    connect(&engine, &SetpointEngine::stateChanged, this, &qv4720fp_Config::refreshGuards,
            Qt::QueuedConnection);
}

void qv4720fp_Config::addChannelRow(int channel) {
    auto* grid = static_cast<QGridLayout*>(layout());
    const int row = channel - 1;

    QLabel* label = new QLabel(QString::fromLatin1(kChannelLabel).arg(channel));
    grid->addWidget(label, row, 0, 1, 1, Qt::AlignLeft);
    m_channelLabels[row] = label;

    auto* control = new qv4720_dblCtrl(channel);
    control->setMinimumWidth(kControlMinimumWidth);
    control->setDecimals(kControlDecimals);
    // The control offers exactly the card's range. It is set before the
    // control is connected, so that building the page writes nothing.
    control->setRange(m_app->loLimit(), m_app->hiLimit());
    // A typed number reaches the card when the operator confirms it (Enter,
    // leaving the field, or a step), never the partial numbers on the way:
    // typing -9.5 must not first put -9 V on the output.
    control->setKeyboardTracking(false);
    const QString help = QString::fromLatin1(kChannelHelp).arg(channel);
    control->setWhatsThis(help);
    control->setToolTip(help);
    grid->addWidget(control, row, 1, 1, 1, Qt::AlignLeft);
    connect(control, &qv4720_dblCtrl::valueChanged, this, &qv4720fp_Config::setValue_slot);
    m_channelCtrls[row] = control;
}

void qv4720fp_Config::setValue_slot(int indx, double val) {
    if (indx < 1 || indx > ChannelCount)
        return;
    if (m_app->cardEngine()->guards(indx)) {
        writeGuarded(indx, val);
        return;
    }
    qv4720_dblCtrl* control = m_channelCtrls[indx - 1];
    // Setting the control back re-enters this slot with the limit, which is
    // then written; the value that goes on from here is the limit as well.
    if (val < m_app->loLimit()) {
        control->setValue(m_app->loLimit());
        val = m_app->loLimit();
    }
    if (val > m_app->hiLimit()) {
        control->setValue(m_app->hiLimit());
        val = m_app->hiLimit();
    }
    // In demo mode the session writes nothing.
    m_app->writeChannel(indx, val);
}

// A guarded channel: the control clamps to the soft limits, and the engine
// writes (ramped where slew-limited). A refusal is said at the control, not
// in a box: a running sequence refuses many writes in a row.
void qv4720fp_Config::writeGuarded(int indx, double val) {
    qv4720_dblCtrl* control = m_channelCtrls[indx - 1];
    const CheckResult checked = m_app->cardEngine()->safety().check(indx, val, LimitMode::Clamp);
    if (checked.ok && checked.value != val) {
        const QSignalBlocker quiet(control);
        control->setValue(checked.value);
    }
    const SinkStatus status =
        m_app->cardEngine()->set(indx, checked.ok ? checked.value : val, LimitMode::Clamp);
    if (status.ok) {
        refreshChannel(indx);
        return;
    }
    const QString text = QString::fromLatin1(kRefusedHelp).arg(indx).arg(status.error);
    control->setToolTip(text);
    QToolTip::showText(control->mapToGlobal(control->rect().bottomLeft()), text, control);
    if (const std::optional<double> known = m_app->session()->setpoint(indx)) {
        const QSignalBlocker quiet(control);
        control->setValue(*known);
    }
}

void qv4720fp_Config::refreshGuards() {
    bool busy = false;
    for (int channel = 1; channel <= ChannelCount; ++channel) {
        refreshChannel(channel);
        busy = busy || m_channelCtrls[channel - 1]->isReadOnly();
    }
    if (busy && !m_busyPoll.isActive())
        m_busyPoll.start();
    else if (!busy)
        m_busyPoll.stop();
}

void qv4720fp_Config::refreshChannel(int channel) {
    qv4720fp_CardEngine* cardEngine = m_app->cardEngine();
    if (!cardEngine->started())
        return;
    qv4720_dblCtrl* control = m_channelCtrls[channel - 1];
    const SafetySettings safety = cardEngine->safety();
    {
        // A new range must not write the value it clamps the control to.
        const QSignalBlocker quiet(control);
        control->setRange(safety.lowest(channel), safety.highest(channel));
    }
    SetpointEngine& engine = cardEngine->engine();
    const bool driven = !engine.check(channel, safety.lowest(channel), LimitMode::Clamp).ok;
    const bool ramping = engine.isRamping(channel);
    QString help = QString::fromLatin1(kChannelHelp).arg(channel);
    if (driven)
        help = QString::fromLatin1(kDrivenHelp).arg(channel);
    else if (ramping)
        help = QString::fromLatin1(kRampingHelp).arg(channel);
    control->setReadOnly(driven || ramping);
    control->setToolTip(help);
    QFont marker = m_channelLabels[channel - 1]->font();
    marker.setItalic(driven || ramping);
    m_channelLabels[channel - 1]->setFont(marker);
    m_channelLabels[channel - 1]->setToolTip(driven || ramping ? help : QString());
    if ((driven || ramping) && !m_busyPoll.isActive())
        m_busyPoll.start();
}

// Another front end wrote the channel: the control shows the value without
// writing it again. A value this program does not know leaves it as it is.
void qv4720fp_Config::setpointChanged_slot(int indx) {
    const std::optional<double> volts = m_app->session()->setpoint(indx);
    if (!volts || indx < 1 || indx > ChannelCount)
        return;
    qv4720_dblCtrl* control = m_channelCtrls[indx - 1];
    // The control's own writes come back here; it keeps what the operator
    // chose, which it shows rounded to its decimals.
    if (std::abs(control->value() - *volts) < 0.5 * std::pow(10.0, -control->decimals()))
        return;
    const QSignalBlocker quiet(control);
    control->setValue(*volts);
    refreshChannel(indx);
}
