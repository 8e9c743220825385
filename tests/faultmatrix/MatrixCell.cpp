#include "MatrixCell.h"

#include "qv4000fp_fcSelect.h"
#include "qv4720_dblCtrl.h"
#include "qv4720_fc.h"
#include "qv4720fp_App.h"
#include "qv4720fp_Config.h"
#include "zelvan_sim.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTreeWidget>

#include <cstdio>
#include <memory>

namespace {
const char* const kChoiceText = "How to connect to 4720 Function Card?";
const char* const kAutoFind = "Auto Find";
const char* const kDemo = "Run In Demo Mode";
const char* const kTryAgain = "Try Again";
const char* const kResetButton = "Reset Device";
const char* const kCloseLine = "qv4720_close(vi=%1)";
const int kAnswers = 12; // more than any cell can raise
const double kVolts = 2.5;

QString str(const char* text) {
    return QString::fromLatin1(text);
}

// Accepts the selection dialog with its first selectable card; no cell
// expects it, but rejecting it would end the process.
void acceptFirstCard(qv4000fp_fcSelect* dialog) {
    for (QTreeWidgetItemIterator it(dialog->m_tree); *it; ++it) {
        if ((*it)->flags() & Qt::ItemIsSelectable) {
            (*it)->setSelected(true);
            dialog->okPressed();
            return;
        }
    }
    dialog->reject();
}

// A trace line of the row's call (and attribute) that returned status.
bool traceShowsFault(const QString& path, const Row& row, ViStatus status) {
    const qsizetype paren = row.function.indexOf(QLatin1Char('('));
    const QByteArray call = (paren < 0 ? row.function : row.function.left(paren)).toLatin1() + '(';
    const QByteArray attribute =
        paren < 0 ? QByteArray() : "attrName=" + row.function.mid(paren + 1).chopped(1).toLatin1();
    const QByteArray ending = ") = " + QByteArray::number(status);
    QFile trace(path);
    if (!trace.open(QIODevice::ReadOnly))
        return false;
    while (!trace.atEnd()) {
        const QByteArray line = trace.readLine().trimmed();
        if (line.startsWith(call) && line.contains(attribute) && line.endsWith(ending))
            return true;
    }
    return false;
}

bool traceHas(const QString& path, const QByteArray& prefix) {
    QFile trace(path);
    if (!trace.open(QIODevice::ReadOnly))
        return false;
    while (!trace.atEnd()) {
        if (trace.readLine().startsWith(prefix))
            return true;
    }
    return false;
}
} // namespace

MatrixCell::MatrixCell(const Row& row, bool negative)
    : m_row(row), m_status(injectedStatus(row.family, negative)) {}

bool MatrixCell::run(const QString& tracePath, bool answerYes) {
    const QByteArray bench = matrixBench(m_row, m_status);
    if (zsim_loadBenchText(bench.constData(), "faultmatrix.yaml") != 0)
        return false;
    zsim_setTrace(tracePath.toLocal8Bit().constData());

    ModalAnswerer answerer;
    ViSession vi = 0;
    for (int i = 0; i < kAnswers; ++i)
        answerer.handle([this, answerYes](QWidget* modal) { answer(modal, answerYes); });
    {
        qv4720_fc card;
        auto panel = std::make_unique<qv4720fp_App>(&card);
        m_built = true;
        m_demo = panel->demo();
        vi = panel->vi();
        panel->show();
        QApplication::processEvents();
        panel->config()->channelControl(1)->setValue(kVolts);
        for (QPushButton* button : panel->findChildren<QPushButton*>()) {
            if (button->text() == str(kResetButton))
                button->click();
        }
        panel.reset();
    }
    zsim_setTrace("");
    m_hit = traceShowsFault(tracePath, m_row, m_status);
    m_closed = vi != 0 && traceHas(tracePath, str(kCloseLine).arg(vi).toLatin1());
    return true;
}

void MatrixCell::answer(QWidget* modal, bool answerYes) {
    ModalAnswerer::Seen seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.title = modal->windowTitle();
    if (auto* dialog = qobject_cast<qv4000fp_fcSelect*>(modal)) {
        m_boxes << seen;
        acceptFirstCard(dialog);
        return;
    }
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
        modal->close();
        return;
    }
    seen.text = box->text();
    seen.buttons = ModalAnswerer::buttonTexts(box);
    seen.icon = box->icon();
    const QStringList& buttons = seen.buttons;
    if (seen.text == str(kChoiceText)) {
        // Auto Find first; back here after a failure, go on without hardware.
        ModalAnswerer::clickButton(box, str(m_choices++ == 0 ? kAutoFind : kDemo));
        return;
    }
    m_boxes << seen;
    if (buttons.contains(str("Yes")) && answerYes) {
        std::printf("answered Yes: %s\n", qPrintable(seen.title));
        std::fflush(stdout);
    }
    for (const char* choice : {answerYes ? "Yes" : "No", kDemo, kTryAgain, "OK"}) {
        if (buttons.contains(str(choice))) {
            ModalAnswerer::clickButton(box, str(choice));
            return;
        }
    }
    box->reject();
}

QString boxKind(const ModalAnswerer::Seen& seen) {
    if (seen.className == QLatin1String("qv4000fp_fcSelect"))
        return QStringLiteral("selection dialog");
    if (seen.title.endsWith(QLatin1String("SFP Error message")))
        return seen.text.startsWith(QLatin1String("Function Call")) ? QStringLiteral("reset error")
                                                                    : QStringLiteral("error");
    if (seen.title.endsWith(QLatin1String("SFP Warning message")))
        return seen.text.startsWith(QLatin1String("Warning [")) ? QStringLiteral("reset warning")
                                                                : QStringLiteral("warning");
    if (seen.text.startsWith(QLatin1String("No ")))
        return QStringLiteral("no card found");
    if (seen.text.contains(QLatin1String("unavailable")))
        return QStringLiteral("card unavailable");
    return QStringLiteral("other: ") + seen.title;
}
