#include "PanelBench.h"

#include "TraceLines.h"
#include "zelvan_sim.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>

#include "qv4000fp_About.h"

const char* const kOneCardBench = R"(version: 1
resources:
  "VXI0::3::INSTR":
    slot: 3
    carrier:
      model: 2391
      slots:
        1: {code: 0x5C5C}
        2: {code: 0x4720, range: [-10, 10], serial: 0x00001A2B, subtype: "AA", firmware: "1.0.3"}
)";

PanelBench::PanelBench(const char* yaml) {
    m_loaded = zsim_loadBenchText(yaml, "panel-bench.yaml") == 0;
    zsim_setTrace(tracePath().toLocal8Bit().constData());
}

PanelBench::~PanelBench() {
    zsim_setTrace("");
}

QString PanelBench::tracePath() const {
    return m_dir.filePath(QStringLiteral("trace.txt"));
}

QStringList PanelBench::trace(const QString& prefix) const {
    return traceLines(tracePath(), prefix);
}

QStringList PanelBench::driverCalls() const {
    static const QRegularExpression call(QStringLiteral("^(qv4720_\\w+)\\((vi=0[,)])?"));
    QStringList calls;
    for (const QString& line : trace(QStringLiteral("qv4720_"))) {
        const QRegularExpressionMatch match = call.match(line);
        calls << match.captured(1) + (match.hasCaptured(2) ? QStringLiteral(" vi=0") : QString());
    }
    return calls;
}

QMap<QString, QString> hardwareRows(qv4000fp_About* about) {
    // Its contents are built when it is first shown, as the About button does.
    about->show();
    QMap<QString, QString> rows;
    for (QGroupBox* group : about->findChildren<QGroupBox*>()) {
        auto* form = qobject_cast<QFormLayout*>(group->layout());
        if (group->title() != QLatin1String("Hardware Information") || !form)
            continue;
        for (int row = 0; row < form->rowCount(); ++row) {
            auto* label = form->itemAt(row, QFormLayout::LabelRole);
            auto* field = form->itemAt(row, QFormLayout::FieldRole);
            auto* labelWidget = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
            auto* fieldWidget = field ? qobject_cast<QLabel*>(field->widget()) : nullptr;
            if (labelWidget && fieldWidget)
                rows.insert(labelWidget->text(), fieldWidget->text());
        }
    }
    return rows;
}
