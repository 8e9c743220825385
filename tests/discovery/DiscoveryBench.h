#ifndef DISCOVERYBENCH_H
#define DISCOVERYBENCH_H

// Helpers shared by the discovery tests: loading benches, reading the call
// trace and noticing progress dialogs.

#include "zelvan_sim.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QProgressDialog>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

inline bool loadBench(const QString& yaml) {
    return zsim_loadBenchText(yaml.toUtf8().constData(), "test bench") == 0;
}

// count VXI carriers, each with `cardsPerCarrier` 4720 cards in slots 1 upward.
inline QString vxiCarriers(int count, int cardsPerCarrier, int firstBoard = 0) {
    QString yaml;
    for (int i = 0; i < count; ++i) {
        yaml += QStringLiteral("  \"VXI%1::%2::INSTR\":\n    slot: %2\n    carrier:\n      model: "
                               "2391\n      slots:\n")
                    .arg(firstBoard + i)
                    .arg(i % 250 + 1);
        for (int s = 1; s <= cardsPerCarrier; ++s)
            yaml += QStringLiteral("        %1: {code: 0x4720}\n").arg(s);
    }
    return yaml;
}

// count network carriers that each take latencyMs to open.
inline QString networkCarriers(int count, int latencyMs, const QString& prefix = "TCPIP0") {
    QString yaml;
    for (int i = 0; i < count; ++i) {
        const QString address = QStringLiteral("10.0.%1.%2").arg(i / 250).arg(i % 250 + 1);
        yaml += QStringLiteral("  \"%1::%2::INSTR\":\n    address: %2\n    latency_ms: %3\n"
                               "    carrier: {model: 2391, slots: {1: {code: 0x4720}}}\n")
                    .arg(prefix, address)
                    .arg(latencyMs);
    }
    return yaml;
}

inline QString bench(const QString& resources) {
    return QStringLiteral("version: 1\nresources:\n") + resources;
}

// The libraries' call trace, written to a file of its own for one test.
class TraceFile {
public:
    TraceFile() {
        m_path = m_dir.filePath(QStringLiteral("trace.txt"));
        zsim_setTrace(m_path.toLocal8Bit().constData());
    }
    ~TraceFile() { zsim_setTrace(""); }
    QStringList lines() const {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList linesStartingWith(const QString& function) const {
        QStringList found;
        for (const QString& line : lines()) {
            if (line.startsWith(function + QLatin1Char('(')))
                found << line;
        }
        return found;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Counts how often a progress dialog was shown and hidden.
class ProgressWatcher : public QObject {
public:
    ProgressWatcher() { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }
    int shown = 0;
    int hidden = 0;
    QString title;
    QString label;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* progress = qobject_cast<QProgressDialog*>(watched)) {
            if (event->type() == QEvent::Show) {
                ++shown;
                title = progress->windowTitle();
                label = progress->labelText();
            } else if (event->type() == QEvent::Hide) {
                ++hidden;
            }
        }
        return false;
    }
};

#endif
