#include "SoakRun.h"

#include "ModalAnswerer.h"
#include "qv4000fp_About.h"
#include "qv4720_dblCtrl.h"
#include "qv4720_fc.h"
#include "qv4720fp_App.h"
#include "qv4720fp_Config.h"
#include "zelvan_sim.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWhatsThis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

// The panel with the framework's buttons and About dialog opened up.
class SoakPanel : public qv4720fp_App {
public:
    using qv4720fp_App::qv4720fp_App;
    QPushButton* resetButton() const { return d_resetButton; }
    QPushButton* aboutButton() const { return d_aboutButton; }
    QPushButton* whatsThisButton() const { return d_whatsThisButton; }
    QPushButton* closeButton() const { return d_closeButton; }
    QWidget* about() const { return d_about; }
};

namespace {
const char* const kBench = R"(version: 1
resources:
  "VXI0::3::INSTR":
    slot: 3
    carrier:
      model: 2391
      slots:
        2: {code: 0x4720, range: [-10, 10], serial: 0x00001A2B, subtype: "AA"}
)";
const char* const kDescriptor = "VXI0::3::INSTR";
const int kFcNumber = 2;
const int kChannels = qv4720fp_Config::ChannelCount;
const qint64 kStepLimitMs = 20000;
const int kPollMs = 1; // boxes come thousands of times: answer them at once
const char* const kErrorTitle = " SFP Error message";
const char* const kWarningTitle = " SFP Warning message";
const char* const kExitQuestion = "Do you really want to exit?";
const char* const kWriteWarning = "Warning: [";
const char* const kResetError = "Function Call failed due to [";
const char* const kResetWarning = "Warning [";

Qt::Key keyNamed(const QString& name) {
    if (name == QLatin1String("down"))
        return Qt::Key_Down;
    if (name == QLatin1String("pageup"))
        return Qt::Key_PageUp;
    if (name == QLatin1String("pagedown"))
        return Qt::Key_PageDown;
    return Qt::Key_Up;
}

void click(QWidget* widget) {
    if (widget && widget->isVisible())
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

QPushButton* buttonIn(QWidget* parent, const char* text) {
    for (QPushButton* button : parent->findChildren<QPushButton*>()) {
        if (button->text() == QLatin1String(text))
            return button;
    }
    return nullptr;
}

// The text between the first "[" after prefix and the last "]".
QString bracketed(const QString& text, int from) {
    const int open = text.indexOf(QLatin1Char('['), from);
    const int close = text.lastIndexOf(QLatin1Char(']'));
    return open < 0 || close < open ? QStringLiteral("?") : text.mid(open + 1, close - open - 1);
}

QString listText(QList<double> values) {
    QStringList texts;
    for (double v : values)
        texts << QString::number(v, 'g', 17);
    return texts.join(QLatin1Char(','));
}
} // namespace

SoakRun::SoakRun() : m_fc(std::make_unique<qv4720_fc>()) {}

SoakRun::~SoakRun() = default;

QString SoakRun::tracePath() const {
    return m_tracePath.isEmpty() ? m_dir.filePath(QStringLiteral("soak-trace.txt")) : m_tracePath;
}

QString SoakRun::run(const SoakActions& actions) {
    QString failure = start();
    for (int i = 0; failure.isEmpty() && i < actions.size(); ++i) {
        failure = perform(actions[i]);
        ++m_figures.actions;
        if (m_sampler && m_figures.actions % m_sampleEvery == 0)
            m_sampler(m_panel.get());
        if (!failure.isEmpty())
            failure =
                QStringLiteral("step %1 (%2): %3").arg(i + 1).arg(actions[i].toText(), failure);
    }
    if (failure.isEmpty())
        failure = finish();
    m_panel.reset();
    m_answerer.reset();
    zsim_clearInjectedStatus(nullptr);
    return failure;
}

SoakActions SoakRun::shrink(const SoakActions& failing) {
    SoakActions current = failing;
    for (int chunk = std::max(1, int(current.size()) / 2); chunk >= 1;) {
        bool dropped = false;
        for (int from = 0; from < current.size();) {
            SoakActions candidate = current;
            candidate.remove(from, std::min(chunk, int(candidate.size()) - from));
            if (!run(candidate).isEmpty()) {
                current = candidate;
                dropped = true;
            } else {
                from += chunk;
            }
        }
        if (!dropped)
            chunk /= 2;
    }
    return current;
}

QString SoakRun::start() {
    m_watching = false;
    zsim_clearInjectedStatus(nullptr);
    m_faults.clear();
    if (zsim_loadBenchText(kBench, "soak-bench.yaml") != 0)
        return QStringLiteral("the soak bench did not load");
    QFile::remove(tracePath());
    m_traceOffset = 0;
    zsim_setTrace(tracePath().toLocal8Bit().constData());
    std::fill(std::begin(m_last), std::end(m_last), Write());
    std::fill(std::begin(m_output), std::end(m_output), 0.0);

    m_answerer = std::make_unique<ModalAnswerer>();
    m_answerer->setPollInterval(kPollMs);
    m_answerer->answer(QStringLiteral("Auto Find"));
    m_panel = std::make_unique<SoakPanel>(m_fc.get());
    if (!m_answerer->unexpected().isEmpty() || m_panel->demo())
        return QStringLiteral("connecting: ") + m_answerer->unexpected().join(QLatin1Char('|'));
    for (int channel = 1; channel <= kChannels; ++channel) {
        QObject::connect(m_panel->config()->channelControl(channel),
                         qOverload<int, double>(&qv4720_dblCtrl::valueChanged), m_panel.get(),
                         [this](int indx, double val) { m_changes[indx] << val; });
    }
    m_panel->show();
    m_panel->activateWindow();
    if (!QTest::qWaitForWindowActive(m_panel.get()))
        return QStringLiteral("the panel never became the active window");
    m_answerer->clear();
    m_loLimit = m_panel->loLimit();
    m_hiLimit = m_panel->hiLimit();
    StepTrace construction;
    const QString failure = readTrace(&construction);
    m_watching = true;
    return failure;
}

QString SoakRun::perform(const SoakAction& action) {
    keepAnswering();
    m_changes.clear();
    QElapsedTimer timer;
    timer.start();
    act(action);
    QCoreApplication::processEvents();
    StepTrace step;
    QString failure = readTrace(&step);
    if (failure.isEmpty())
        failure = checkWrites(step);
    if (failure.isEmpty())
        failure = checkControls();
    if (failure.isEmpty())
        failure = checkBoxes(step);
    if (failure.isEmpty())
        failure = checkQuiet();
    if (failure.isEmpty() && timer.elapsed() > kStepLimitMs)
        failure = QStringLiteral("the step took %1 ms").arg(timer.elapsed());
    m_answerer->clear();
    return failure;
}

void SoakRun::act(const SoakAction& action) {
    switch (action.kind) {
    case SoakAction::Kind::Type:
        typeInto(action);
        break;
    case SoakAction::Kind::Hold:
        holdKey(action);
        break;
    case SoakAction::Kind::Wheel:
        turnWheel(action);
        break;
    case SoakAction::Kind::Reset:
        click(m_panel->resetButton());
        break;
    case SoakAction::Kind::About:
        useAbout(action);
        break;
    case SoakAction::Kind::WhatsThis:
        useWhatsThis(action);
        break;
    case SoakAction::Kind::Close:
        click(m_panel->closeButton());
        break;
    case SoakAction::Kind::Resize:
        m_panel->resize(action.width, action.height);
        break;
    case SoakAction::Kind::Fault: {
        const QByteArray function = action.word.toLatin1();
        zsim_setInjectedStatus(function.constData(), int(action.status));
        m_faults[action.word] = action.status;
        break;
    }
    }
}

void SoakRun::typeInto(const SoakAction& action) {
    qv4720_dblCtrl* control = m_panel->config()->channelControl(action.channel);
    click(control->findChild<QLineEdit*>());
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control, action.text);
    if (action.word == QLatin1String("enter"))
        QTest::keyClick(control, Qt::Key_Return);
    else if (action.word == QLatin1String("tab"))
        QTest::keyClick(control, Qt::Key_Tab);
    else if (action.word == QLatin1String("escape"))
        QTest::keyClick(control, Qt::Key_Escape);
}

// The first press, then auto-repeated presses while the key stays down.
void SoakRun::holdKey(const SoakAction& action) {
    qv4720_dblCtrl* control = m_panel->config()->channelControl(action.channel);
    click(control->findChild<QLineEdit*>());
    const Qt::Key key = keyNamed(action.text);
    for (int i = 0; i < action.count; ++i) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), i > 0);
        QApplication::sendEvent(control, &press);
    }
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(control, &release);
}

void SoakRun::turnWheel(const SoakAction& action) {
    qv4720_dblCtrl* control = m_panel->config()->channelControl(action.channel);
    const QPointF at = QPointF(control->rect().center());
    const int step = action.count > 0 ? 120 : -120;
    for (int i = 0; i < std::abs(action.count); ++i) {
        QWheelEvent wheel(at, control->mapToGlobal(at), QPoint(), QPoint(0, step), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(control, &wheel);
    }
}

void SoakRun::useAbout(const SoakAction& action) {
    for (int i = 0; i < action.count; ++i)
        click(m_panel->aboutButton());
    QWidget* about = m_panel->about();
    click(buttonIn(about, "Next >"));
    click(buttonIn(about, "< Previous"));
    if (action.word == QLatin1String("ok"))
        click(buttonIn(about, "OK"));
}

void SoakRun::useWhatsThis(const SoakAction& action) {
    click(m_panel->whatsThisButton());
    click(m_panel->config()->channelControl(action.channel));
    if (QWidget* popup = QApplication::activePopupWidget())
        QTest::keyClick(popup, Qt::Key_Escape);
    if (QWhatsThis::inWhatsThisMode())
        QTest::keyClick(m_panel.get(), Qt::Key_Escape);
}

void SoakRun::answerBox(QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        return;
    }
    if (m_errorsYes && box->icon() == QMessageBox::Critical &&
        ModalAnswerer::clickButton(box, QStringLiteral("Yes")))
        return;
    if (!ModalAnswerer::clickButton(box, QStringLiteral("No")) &&
        !ModalAnswerer::clickButton(box, QStringLiteral("OK")))
        box->reject();
}

// Each answer queues the next, so a step may raise any number of boxes.
void SoakRun::keepAnswering(bool exitYes) {
    if (m_answerer->pending() > 0)
        return;
    m_answerer->handle([this, exitYes](QWidget* modal) {
        keepAnswering(exitYes);
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (exitYes && box && box->text() == QLatin1String(kExitQuestion) &&
            ModalAnswerer::clickButton(box, QStringLiteral("Yes")))
            return;
        answerBox(modal);
    });
}

QString SoakRun::readTrace(StepTrace* step) {
    static const QRegularExpression write(
        QStringLiteral("^qv4720_writeChannel\\(vi=\\d+, channel=(-?\\d+), value=([^)]*)\\) = "
                       "(-?\\d+)$"));
    static const QRegularExpression status(QStringLiteral("^(qv4720_\\w+)\\(.*\\) = (-?\\d+)$"));
    QFile file(tracePath());
    if (!file.open(QIODevice::ReadOnly))
        return QString(); // nothing traced yet
    file.seek(m_traceOffset);
    QByteArray data = file.readAll();
    data.truncate(data.lastIndexOf('\n') + 1);
    m_traceOffset += data.size();
    for (const QByteArray& raw : data.split('\n')) {
        const QString line = QString::fromLatin1(raw);
        const QRegularExpressionMatch w = write.match(line);
        const QRegularExpressionMatch s = status.match(line);
        if (w.hasMatch()) {
            const int channel = w.captured(1).toInt();
            bool numeric = false;
            const double value = w.captured(2).toDouble(&numeric);
            const long result = w.captured(3).toLong();
            if (channel < 1 || channel > kChannels)
                return QStringLiteral("a write to channel %1: %2").arg(channel).arg(line);
            if (!numeric || !(value >= m_loLimit && value <= m_hiLimit))
                return QStringLiteral("a write outside the card's range: ") + line;
            step->writes[channel] << value;
            m_last[channel] = Write{value, result, true};
            if (result >= 0)
                m_output[channel] = value;
            ++m_figures.writes;
            if (result != 0) {
                ++m_figures.failedWrites;
                ++step->failedWrites;
            }
        } else if (s.hasMatch() && s.captured(1) == QLatin1String("qv4720_reset")) {
            ++m_figures.resets;
            if (s.captured(2).toLong() >= 0)
                std::fill(std::begin(m_output), std::end(m_output), 0.0);
            if (s.captured(2).toLong() != 0)
                ++step->failedResets;
        } else if (s.hasMatch() && s.captured(1) == QLatin1String("qv4720_close")) {
            ++step->closes;
        } else if (line.startsWith(QLatin1String("qv4720_")) &&
                   !line.startsWith(QLatin1String("qv4720_error_message("))) {
            // Construction is over: only writes, resets and texts may follow.
            if (m_watching)
                return QStringLiteral("an unexpected driver call: ") + line;
        }
    }
    return QString();
}

// Every write is one value change of that control, and every change is written.
QString SoakRun::checkWrites(const StepTrace& step) {
    for (int channel = 1; channel <= kChannels; ++channel) {
        QList<double> changes = m_changes.value(channel);
        QList<double> writes = step.writes.value(channel);
        std::sort(changes.begin(), changes.end());
        std::sort(writes.begin(), writes.end());
        if (changes != writes)
            return QStringLiteral("channel %1 changed to [%2] but was written [%3]")
                .arg(channel)
                .arg(listText(changes), listText(writes));
    }
    if (step.closes != 0)
        return QStringLiteral("the session was closed while the panel is open");
    return QString();
}

QString SoakRun::checkControls() {
    for (int channel = 1; channel <= kChannels; ++channel) {
        const double shown = m_panel->config()->channelControl(channel)->value();
        const Write& last = m_last[channel];
        if (last.made && last.status >= 0 && shown != last.value)
            return QStringLiteral("channel %1 shows %2 but %3 was written")
                .arg(channel)
                .arg(shown, 0, 'g', 17)
                .arg(last.value, 0, 'g', 17);
        if (!last.made && shown != 0.0)
            return QStringLiteral("channel %1 shows %2, never written").arg(channel).arg(shown);
        double output = 0;
        if (zsim_channelOutput(kDescriptor, kFcNumber, channel, &output) != 0 ||
            output != m_output[channel])
            return QStringLiteral("channel %1 of the card holds %2, expected %3")
                .arg(channel)
                .arg(output, 0, 'g', 17)
                .arg(m_output[channel], 0, 'g', 17);
    }
    return QString();
}

// One box per failed write or reset; where the library gave no text, none shows.
QString SoakRun::checkBoxes(const StepTrace& step) {
    const QString writeCall =
        qv4720fp_CardSession::callText(qv4720fp_CardSession::Call::WriteChannel);
    const bool driverTextRefused = m_faults.value(QStringLiteral("qv4720_error_message")) != 0;
    // The driver's message call has no text whenever it answers non-zero; the
    // carrier library's only when it fails.
    const bool carrierTextRefused = m_faults.value(QStringLiteral("qv4000_errorMessage")) < 0;
    int writeBoxes = 0;
    int resetBoxes = 0;
    for (const ModalAnswerer::Seen& seen : m_answerer->seen()) {
        ++m_figures.boxes;
        const QString& text = seen.text;
        const bool report = seen.title.endsWith(QLatin1String(kErrorTitle)) ||
                            seen.title.endsWith(QLatin1String(kWarningTitle));
        if (!report) {
            if (text != QLatin1String(kExitQuestion))
                return QStringLiteral("an unexpected box: ") + seen.title + QStringLiteral(": ") +
                       text;
            continue;
        }
        const bool write =
            text.startsWith(writeCall) || text.startsWith(QLatin1String(kWriteWarning));
        const bool reset = text.startsWith(QLatin1String(kResetError)) ||
                           text.startsWith(QLatin1String(kResetWarning));
        if (!write && !reset)
            return QStringLiteral("an unexpected report: ") + text;
        writeBoxes += write ? 1 : 0;
        resetBoxes += reset ? 1 : 0;
        const QString shown = bracketed(text, text.startsWith(writeCall) ? writeCall.size() : 0);
        if (((write && driverTextRefused) || (reset && carrierTextRefused)) && !shown.isEmpty())
            return QStringLiteral("a text the library did not give: ") + text;
    }
    if (writeBoxes != step.failedWrites || resetBoxes != step.failedResets)
        return QStringLiteral("%1 write and %2 reset reports for %3 failed writes and %4 resets")
            .arg(writeBoxes)
            .arg(resetBoxes)
            .arg(step.failedWrites)
            .arg(step.failedResets);
    if (!m_answerer->unexpected().isEmpty())
        return QStringLiteral("unanswered: ") + m_answerer->unexpected().join(QLatin1Char('|'));
    return QString();
}

QString SoakRun::checkQuiet() {
    if (QApplication::overrideCursor())
        return QStringLiteral("an override cursor stayed");
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return QStringLiteral("a modal or popup widget stayed open");
    if (QWhatsThis::inWhatsThisMode())
        return QStringLiteral("What's This mode stayed on");
    if (!m_panel->isVisible())
        return QStringLiteral("the panel window went away");
    return QString();
}

// Close answered Yes, then the window is destroyed: exactly one close, and
// nothing left open on the bench.
QString SoakRun::finish() {
    m_watching = false;
    m_answerer->clear();
    // Leaving a channel field for the button may still write (and report)
    // what was typed there; only the exit question is answered Yes.
    keepAnswering(true);
    click(m_panel->closeButton());
    QCoreApplication::processEvents();
    if (m_panel->isVisible())
        return QStringLiteral("Close answered Yes left the window open");
    m_panel.reset();
    StepTrace end;
    const QString failure = readTrace(&end);
    if (!failure.isEmpty())
        return failure;
    if (end.closes != 1)
        return QStringLiteral("%1 closes at the end").arg(end.closes);
    if (zsim_openSessionCount() != 0 || zsim_openObjectCount() != 0)
        return QStringLiteral("%1 sessions and %2 VISA objects open after Close")
            .arg(zsim_openSessionCount())
            .arg(zsim_openObjectCount());
    return QString();
}
