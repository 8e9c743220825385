// Every library call the panel makes, with an injected negative and an
// injected positive status: the box the operator sees (or silence), that the
// panel goes on afterwards, and that answering Yes to an error box ends the
// program with exit code 0. Prints the whole matrix.
#include "FaultMatrix.h"
#include "MatrixCell.h"

#include "qv4000.h"
#include "qv4000fp_fcSelect.h"
#include "qv4000fp_messages.h"
#include "qv4720.h"
#include "qv4720_fc.h"
#include "zelvan_sim.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const char* const kYesChild = "--answer-yes";

// A cell that ends the process in the middle is a fault of its own.
const char* g_runningCell = nullptr;
void failIfInsideCell() {
    if (g_runningCell) {
        std::fprintf(stderr, "FAIL: the process ended inside the cell %s\n", g_runningCell);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

QString driverText(ViStatus status) {
    char text[QV4720_ERROR_MESSAGE_BUFLEN] = {};
    qv4720_error_message(0, status, text);
    return QString::fromLocal8Bit(text, qsizetype(strnlen(text, sizeof text)));
}

QString carrierText(ViStatus status) {
    char text[QV4000_ERROR_MESSAGE_BUFLEN] = {};
    qv4000_errorMessage(status, text);
    return QString::fromLocal8Bit(text, qsizetype(strnlen(text, sizeof text)));
}

const QList<Row>& matrix() {
    static const QList<Row> rows = [] {
        zsim_useDefaultBench();
        return faultMatrix({driverText, carrierText});
    }();
    return rows;
}

const Expect& expectation(const Row& row, bool negative) {
    return negative ? row.negative : row.positive;
}

QString sign(bool negative) {
    return negative ? QStringLiteral("negative") : QStringLiteral("positive");
}

QString describe(const QList<Box>& boxes, bool demo) {
    QStringList kinds;
    for (const Box& box : boxes)
        kinds << box.kind;
    const QString shown =
        kinds.isEmpty() ? QStringLiteral("silent") : kinds.join(QLatin1String(" + "));
    return demo ? shown + QStringLiteral(", demo") : shown;
}

QString describe(const MatrixCell& cell) {
    QList<Box> boxes;
    for (const ModalAnswerer::Seen& seen : cell.boxes())
        boxes << Box{boxKind(seen), {}, {}, {}};
    if (!cell.built())
        return QStringLiteral("NOT BUILT");
    return describe(boxes, cell.demo());
}

// Title, text and buttons of each box, in order; empty when all match.
QString boxDifference(const QList<ModalAnswerer::Seen>& seen, const QList<Box>& expected) {
    QString difference;
    for (qsizetype i = 0; i < std::max(seen.size(), expected.size()); ++i) {
        const QString got = i < seen.size() ? QStringLiteral("%1 | %2 | %3")
                                                  .arg(seen[i].title, seen[i].text,
                                                       seen[i].buttons.join(QLatin1Char('/')))
                                            : QStringLiteral("(none)");
        const QString want = i < expected.size()
                                 ? QStringLiteral("%1 | %2 | %3")
                                       .arg(expected[i].title, expected[i].text,
                                            expected[i].buttons.join(QLatin1Char('/')))
                                 : QStringLiteral("(none)");
        if (got != want)
            difference += QStringLiteral("\n  box %1 seen:     %2\n  box %1 expected: %3")
                              .arg(i + 1)
                              .arg(got, want);
    }
    return difference;
}

struct Printed {
    QString call;
    QString seen[2];
    QString expected[2];
    bool ok[2] = {true, true};
};

// Reached only in a child process: the cell with Yes to its error box.
int runYesChild(int rowIndex, bool negative, const QString& tracePath) {
    if (rowIndex < 0 || rowIndex >= matrix().size())
        return 2;
    MatrixCell cell(matrix().at(rowIndex), negative);
    if (!cell.run(tracePath, true))
        return 2;
    std::printf("survived\n");
    return 3;
}
} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT
private:
    QList<Printed> m_printed;

    Printed& printedRow(const Row& row) {
        for (Printed& p : m_printed) {
            if (p.call == row.call)
                return p;
        }
        m_printed << Printed{row.call, {}, {}};
        return m_printed.last();
    }

private slots:
    void initTestCase() {
        std::atexit(failIfInsideCell);
        QVERIFY(!driverText(injectedStatus(Family::Driver, true)).isEmpty());
        QVERIFY(!carrierText(injectedStatus(Family::Driver, true)).isEmpty());
        for (const Row& row : matrix())
            printedRow(row);
    }

    void cell_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("negative");
        for (int i = 0; i < matrix().size(); ++i) {
            for (bool negative : {true, false}) {
                const QString name = matrix()[i].call + QLatin1Char(' ') + sign(negative);
                QTest::newRow(qPrintable(name)) << i << negative;
            }
        }
    }
    void cell() {
        QFETCH(int, row);
        QFETCH(bool, negative);
        const Row& r = matrix().at(row);
        const Expect& expected = expectation(r, negative);
        QTemporaryDir dir;
        const QByteArray name = QTest::currentDataTag();
        g_runningCell = name.constData();
        MatrixCell cell(r, negative);
        const bool loaded = cell.run(dir.filePath(QStringLiteral("trace.txt")));
        g_runningCell = nullptr;

        Printed& printed = printedRow(r);
        printed.seen[negative] = loaded ? describe(cell) : QStringLiteral("BAD BENCH");
        printed.expected[negative] = describe(expected.boxes, expected.demo);
        const QString difference = boxDifference(cell.boxes(), expected.boxes);
        printed.ok[negative] =
            loaded && cell.hit() && difference.isEmpty() && cell.demo() == expected.demo;
        QVERIFY2(loaded, "the bench did not load");
        QVERIFY2(cell.hit(), "the injected status never reached the panel");
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(cell.demo(), expected.demo);
        // Went on to the end: a connected panel closes its session, a demo one has none.
        QCOMPARE(cell.closed(), !expected.demo);
    }

    void errorBoxAnsweredYesEndsTheProgram_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("negative");
        for (int i = 0; i < matrix().size(); ++i) {
            for (bool negative : {true, false}) {
                const Expect& expected = expectation(matrix()[i], negative);
                if (!expected.boxes.isEmpty() &&
                    expected.boxes.first().buttons.contains(QStringLiteral("Yes"))) {
                    const QString name = matrix()[i].call + QLatin1Char(' ') + sign(negative);
                    QTest::newRow(qPrintable(name)) << i << negative;
                }
            }
        }
    }
    void errorBoxAnsweredYesEndsTheProgram() {
        QFETCH(int, row);
        QFETCH(bool, negative);
        QTemporaryDir dir;
        const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(
            QCoreApplication::applicationFilePath(),
            {QString::fromLatin1(kYesChild), QString::number(row), sign(negative), tracePath});
        QVERIFY(child.waitForFinished(120000));
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(out.contains(QStringLiteral("answered Yes: Zelvan 4720 SFP Error message")),
                 qPrintable(out));
        QVERIFY(!out.contains(QStringLiteral("survived")));

        // Ended at once: the session is never closed.
        QFile trace(tracePath);
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QByteArray lines = trace.readAll();
        QVERIFY(lines.contains("qv4720_paramInit("));
        QVERIFY(!lines.contains("qv4720_close("));
    }

    // A resource that cannot be opened, or is no carrier, is listed as its
    // group row alone; a warning status from either call is success.
    void discoveryFailuresLeaveAGroupRow_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<int>("carrierRows");
        for (const char* call : {"viOpen", "qv4000_openCarrier"}) {
            QTest::addRow("%s negative", call) << QString::fromLatin1(call) << true << 0;
            QTest::addRow("%s positive", call) << QString::fromLatin1(call) << false << 1;
        }
    }
    void discoveryFailuresLeaveAGroupRow() {
        QFETCH(QString, call);
        QFETCH(bool, negative);
        QFETCH(int, carrierRows);
        const auto row = std::find_if(matrix().begin(), matrix().end(),
                                      [&call](const Row& r) { return r.call == call; });
        QVERIFY(row != matrix().end());
        const QByteArray bench = matrixBench(*row, injectedStatus(row->family, negative));
        QCOMPARE(zsim_loadBenchText(bench.constData(), "faultmatrix.yaml"), 0);

        qv4720_fc card;
        qv4000fp_fcSelect dialog(&card, 0);
        QCOMPARE(dialog.autoFind(), 1);
        const QList<QTreeWidgetItem*> gpib =
            dialog.m_tree->findItems(QStringLiteral("GPIB0"), Qt::MatchExactly);
        QCOMPARE(gpib.size(), 1);
        QCOMPARE(gpib.first()->childCount(), carrierRows);
        QCOMPARE(dialog.m_descriptor, QStringLiteral("VXI0::3::INSTR"));
        QCOMPARE(zsim_openSessionCount(), 0);
    }

    void cleanupTestCase() {
        qInfo("%-56s | %-34s %-34s | %-34s %-34s", "call (fault injected)", "negative: seen",
              "expected", "positive: seen", "expected");
        for (const Printed& p : m_printed) {
            QString line = QStringLiteral("%1 | %2 %3 | %4 %5")
                               .arg(p.call, -56)
                               .arg(p.seen[1], -34)
                               .arg(p.expected[1], -34)
                               .arg(p.seen[0], -34)
                               .arg(p.expected[0], -34);
            if (!p.ok[0] || !p.ok[1])
                line += QStringLiteral("  <-- DIFFERS");
            qInfo("%s", qPrintable(line));
        }
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // As the program's start-up does before any box can show.
    panelName = QStringLiteral("4720");
    if (argc == 5 && std::strcmp(argv[1], kYesChild) == 0)
        return runYesChild(std::atoi(argv[2]), std::strcmp(argv[3], "negative") == 0,
                           QString::fromLocal8Bit(argv[4]));
    TestFaultMatrix test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faultmatrix.moc"
