#include "DiscoveryBench.h"
#include "ModalAnswerer.h"
#include "qv4000fp_fcSelect.h"
#include "qv4720_fc.h"

#include <QTreeWidget>
#include <QtTest>

// The resource search behind "Auto Find" and the tree it leaves in the
// selection dialog, run against simulated benches.
class tst_autoFind : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void nothingToFind_data();
    void nothingToFind();
    void listsCarriersAndCards();
    void groupRowsForResourcesThatAreNoCarriers();
    void failedAttributeReadsReadAsSlotZero();
    void dropsSecondDescriptorOfSameNetworkCarrier();
    void queriesLowerCaseNetworkDescriptorsInParallel();
    void networkQueriesOverlap();
    void slotResourcesOnlyStillShowProgress();
    void remembersLastSelectableCardInSortedOrder();
    void listsUpTo256Cards();
    void warnsOnceAndStopsAt257Cards();
    void searchAgainRebuildsTree();

private:
    qv4720_fc m_card;
};

namespace {
QTreeWidgetItem* child(QTreeWidgetItem* item, const QString& text) {
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->text(0) == text)
            return item->child(i);
    }
    return nullptr;
}

QStringList topLevelTexts(QTreeWidget* tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

int selectableCards(QTreeWidget* tree) {
    int count = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->flags() & Qt::ItemIsSelectable)
            ++count;
    }
    return count;
}
} // namespace

void tst_autoFind::cleanup() {
    // Every search closes what it opened, whatever it found.
    QCOMPARE(zsim_openObjectCount(), 0);
}

void tst_autoFind::nothingToFind_data() {
    QTest::addColumn<QString>("yaml");
    QTest::newRow("no resources") << bench(QStringLiteral("  {}\n"));
    QTest::newRow("no resource manager")
        << QStringLiteral("version: 1\nfaults: {viOpenDefaultRM: -1073807360}\n") +
               QStringLiteral("resources:\n") + vxiCarriers(1, 1);
    QTest::newRow("failed search")
        << QStringLiteral("version: 1\nfaults: {viFindRsrc: -1073807343}\n"
                          "resources:\n") +
               vxiCarriers(1, 1);
}

void tst_autoFind::nothingToFind() {
    QFETCH(QString, yaml);
    QVERIFY(loadBench(yaml));
    qv4000fp_fcSelect dialog(&m_card, 0);
    dialog.m_descriptor = QStringLiteral("kept");
    dialog.m_fcNumbers[0] = 7;
    ProgressWatcher progress;
    QCOMPARE(dialog.autoFind(), 0);
    QCOMPARE(dialog.m_tree->topLevelItemCount(), 0);
    QCOMPARE(progress.shown, 0);
    QCOMPARE(dialog.m_descriptor, QStringLiteral("kept"));
    QCOMPARE(dialog.m_fcNumbers[0], quint16(7));
}

void tst_autoFind::listsCarriersAndCards() {
    QVERIFY(loadBench(bench(QStringLiteral(R"yaml(
  "VXI0::5::INSTR":
    slot: 5
    carrier:
      model: 2391
      slots:
        1: {code: 0x4720}
        3: {code: 0x5C5C}
        4: {code: 0x8F88}
        5: {code: 0x4860, variant: "AB"}
        6: {code: 0x4870, variant: "CD"}
        7: {code: 0xB348}
  "VXI0::9::INSTR":
    slot: 9
    carrier: {model: 1234, slots: {2: {code: 0x5C5C}}}
)yaml"))));
    qv4000fp_fcSelect dialog(&m_card, 0);
    ProgressWatcher progress;
    QCOMPARE(dialog.autoFind(), 1);
    QCOMPARE(progress.shown, 1);
    QCOMPARE(progress.title, QStringLiteral("Zelvan 4720"));
    QCOMPARE(progress.label, QStringLiteral("Searching..."));

    QCOMPARE(topLevelTexts(dialog.m_tree), QStringList{"VXI0"});
    QTreeWidgetItem* group = dialog.m_tree->topLevelItem(0);
    QCOMPARE(group->flags(), Qt::ItemIsEnabled);
    QVERIFY(group->isExpanded());
    QCOMPARE(group->childCount(), 2);

    QTreeWidgetItem* carrier = child(group, "Slot 5 - 4160 MB");
    QVERIFY(carrier);
    QCOMPARE(carrier->flags(), Qt::ItemIsEnabled);
    QVERIFY(carrier->isExpanded());
    const QStringList rows = {"FC 1", "FC 3", "FC 4", "FC 5", "FC 6", "FC 7"};
    const QStringList models = {"4720", "4650", "4950", "4860-AB", "4870-CD", "4831"};
    QCOMPARE(carrier->childCount(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(carrier->child(i)->text(0), rows[i]);
        QCOMPARE(carrier->child(i)->text(1), models[i]);
        QCOMPARE(carrier->child(i)->data(1, Qt::StatusTipRole).toString(),
                 QStringLiteral("VXI0::5::INSTR"));
    }
    QCOMPARE(carrier->child(0)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QCOMPARE(carrier->child(0)->data(0, Qt::StatusTipRole).toInt(), 1);
    for (int i = 1; i < rows.size(); ++i) {
        QCOMPARE(carrier->child(i)->flags(), Qt::NoItemFlags);
        QCOMPARE(carrier->child(i)->data(0, Qt::StatusTipRole).toInt(), 0);
    }

    // Other carrier codes are shown unchanged; no drivable card: collapsed.
    QTreeWidgetItem* other = child(group, "Slot 9 - 1234 MB");
    QVERIFY(other);
    QVERIFY(!other->isExpanded());
    QCOMPARE(other->child(0)->text(1), QStringLiteral("4650"));

    QCOMPARE(dialog.m_descriptor, QStringLiteral("VXI0::5::INSTR"));
    QCOMPARE(dialog.m_fcNumbers[0], quint16(1));
}

void tst_autoFind::groupRowsForResourcesThatAreNoCarriers() {
    QVERIFY(loadBench(bench(QStringLiteral(R"yaml(
  "ASRL1::INSTR": {}
  "GPIB0::22::INSTR": {faults: {viOpen: -1073807343}}
  "VXI0::1::INSTR": {slot: 1, carrier: {model: 2391, slots: {2: {code: 0x4720}}}}
)yaml"))));
    qv4000fp_fcSelect dialog(&m_card, 0);
    QCOMPARE(dialog.autoFind(), 1);
    QCOMPARE(topLevelTexts(dialog.m_tree), (QStringList{"ASRL1", "GPIB0", "VXI0"}));
    QCOMPARE(dialog.m_tree->topLevelItem(0)->childCount(), 0);
    QCOMPARE(dialog.m_tree->topLevelItem(1)->childCount(), 0);
    QCOMPARE(dialog.m_fcNumbers[0], quint16(2));
}

void tst_autoFind::failedAttributeReadsReadAsSlotZero() {
    QVERIFY(loadBench(bench(QStringLiteral(R"yaml(
  "VXI0::4::INSTR":
    slot: 4
    faults: {"viGetAttribute(VI_ATTR_SLOT)": -1073807331}
    carrier: {model: 2391, slots: {1: {code: 0x4720}}}
  "TCPIP0::10.1.1.1::INSTR":
    address: 10.1.1.1
    faults: {"viGetAttribute(VI_ATTR_INTF_TYPE)": -1073807331}
    carrier: {model: 77, slots: {1: {code: 0x4720}}}
)yaml"))));
    qv4000fp_fcSelect dialog(&m_card, 0);
    QCOMPARE(dialog.autoFind(), 2);
    QTreeWidgetItem* network = dialog.m_tree->topLevelItem(0);
    QCOMPARE(network->text(0), QStringLiteral("TCPIP0"));
    QCOMPARE(network->child(0)->text(0), QStringLiteral("Slot 0 - 77 MB"));
    QTreeWidgetItem* vxi = dialog.m_tree->topLevelItem(1);
    QCOMPARE(vxi->child(0)->text(0), QStringLiteral("Slot 0 - 4160 MB"));
}

void tst_autoFind::dropsSecondDescriptorOfSameNetworkCarrier() {
    QVERIFY(loadBench(bench(QStringLiteral(R"yaml(
  "TCPIP0::lab-carrier-1::INSTR":
    address: 192.168.2.100
    carrier: {model: 2391, slots: {1: {code: 0x4720}}}
  "TCPIP0::192.168.2.100::INSTR":
    address: 192.168.2.100
    carrier: {model: 2391, slots: {1: {code: 0x4720}}}
  "TCPIP0::192.168.2.101::INSTR":
    address: 192.168.2.101
    carrier: {model: 2391, slots: {3: {code: 0x4720}}}
)yaml"))));
    qv4000fp_fcSelect dialog(&m_card, 0);
    QCOMPARE(dialog.autoFind(), 2);
    QTreeWidgetItem* group = dialog.m_tree->topLevelItem(0);
    QCOMPARE(dialog.m_tree->topLevelItemCount(), 1);
    QCOMPARE(group->childCount(), 2);
    // The host-name descriptor came first from VISA; it stays. Its address
    // numbers read as zeros, so it also sorts first.
    QCOMPARE(group->child(0)->text(0), QStringLiteral("192.168.2.100 - 4160 LXI"));
    QCOMPARE(group->child(0)->child(0)->data(1, Qt::StatusTipRole).toString(),
             QStringLiteral("TCPIP0::lab-carrier-1::INSTR"));
    QCOMPARE(group->child(1)->text(0), QStringLiteral("192.168.2.101 - 4160 LXI"));
}

void tst_autoFind::queriesLowerCaseNetworkDescriptorsInParallel() {
    QVERIFY(loadBench(bench(networkCarriers(4, 300, QStringLiteral("tcpip0")))));
    zsim_resetStatistics();
    qv4000fp_fcSelect dialog(&m_card, 0);
    ProgressWatcher progress;
    QCOMPARE(dialog.autoFind(), 4);
    QCOMPARE(zsim_maxOpensInFlight(), 4);
    QCOMPARE(progress.shown, 1);
    QCOMPARE(topLevelTexts(dialog.m_tree), QStringList{"tcpip0"});
}

void tst_autoFind::networkQueriesOverlap() {
    QVERIFY(loadBench(bench(networkCarriers(32, 100) + vxiCarriers(3, 1))));
    zsim_resetStatistics();
    qv4000fp_fcSelect dialog(&m_card, 0);
    QCOMPARE(dialog.autoFind(), 35);
    QVERIFY2(zsim_maxOpensInFlight() >= 16, qPrintable(QString::number(zsim_maxOpensInFlight())));
}

void tst_autoFind::slotResourcesOnlyStillShowProgress() {
    QVERIFY(loadBench(bench(vxiCarriers(3, 2))));
    TraceFile trace;
    qv4000fp_fcSelect dialog(&m_card, 0);
    ProgressWatcher progress;
    QCOMPARE(dialog.autoFind(), 6);
    QCOMPARE(progress.shown, 1);
    QCOMPARE(progress.hidden, 1);
    QCOMPARE(trace.linesStartingWith("viOpen").size(), 3);
    QCOMPARE(trace.linesStartingWith("qv4000_closeCarrier").size(), 3);
    QVERIFY(trace.linesStartingWith("viFindRsrc").first().contains("expr=\"?*INSTR\""));
}

void tst_autoFind::remembersLastSelectableCardInSortedOrder() {
    // VISA's order puts VXI2 last; sorted, VXI10 comes last, and its slot 4
    // card is the last selectable one (slot 6 holds another model).
    QVERIFY(loadBench(bench(QStringLiteral(R"yaml(
  "VXI10::1::INSTR": {slot: 1, carrier: {model: 2391, slots: {2: {code: 0x4720}, 4: {code: 0x4720}, 6: {code: 0x5C5C}}}}
  "TCPIP0::10.0.0.1::INSTR": {address: 10.0.0.1, carrier: {model: 2391, slots: {1: {code: 0x4720}}}}
  "VXI2::1::INSTR": {slot: 1, carrier: {model: 2391, slots: {3: {code: 0x4720}}}}
)yaml"))));
    qv4000fp_fcSelect dialog(&m_card, 0);
    QCOMPARE(dialog.autoFind(), 4);
    QCOMPARE(topLevelTexts(dialog.m_tree), (QStringList{"TCPIP0", "VXI2", "VXI10"}));
    QCOMPARE(dialog.m_descriptor, QStringLiteral("VXI10::1::INSTR"));
    QCOMPARE(dialog.m_fcNumbers[0], quint16(4));
}

void tst_autoFind::listsUpTo256Cards() {
    QVERIFY(loadBench(bench(vxiCarriers(32, 8))));
    qv4000fp_fcSelect dialog(&m_card, 0);
    ModalAnswerer answerer;
    QCOMPARE(dialog.autoFind(), 256);
    QCOMPARE(selectableCards(dialog.m_tree), 256);
    QVERIFY(answerer.seen().isEmpty());
}

void tst_autoFind::warnsOnceAndStopsAt257Cards() {
    // Board 0 to 32: the 257th card sits on VXI32, the last in sorted order,
    // and a further carrier after it must not be listed either.
    QVERIFY(loadBench(bench(vxiCarriers(32, 8) + vxiCarriers(2, 2, 32))));
    qv4000fp_fcSelect dialog(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Continue");
    QCOMPARE(dialog.autoFind(), 256);
    QCOMPARE(answerer.seen().size(), 1);
    QVERIFY(answerer.unexpected().isEmpty());
    const ModalAnswerer::Seen& box = answerer.seen().first();
    QCOMPARE(box.title, QStringLiteral("Zelvan 4720 SFP: Select Function Card"));
    QCOMPARE(box.text, QStringLiteral("Found more Function Cards than supported by this "
                                      "SoftFrontPanel. Only first 256 are available.\nPlease "
                                      "contact Quorvel's support if you need support for more "
                                      "cards."));
    QCOMPARE(box.buttons, QStringList{"Continue"});
    QCOMPARE(box.defaultButton, QStringLiteral("Continue"));
    QVERIFY(!box.hasEscapeButton);
    QCOMPARE(box.icon, QMessageBox::Question);

    QCOMPARE(selectableCards(dialog.m_tree), 256);
    QTreeWidgetItem* last = dialog.m_tree->topLevelItem(dialog.m_tree->topLevelItemCount() - 1);
    QCOMPARE(last->text(0), QStringLiteral("VXI32"));
    QCOMPARE(last->childCount(), 1);
    QCOMPARE(last->child(0)->childCount(), 0);
    QVERIFY(!last->child(0)->isExpanded());
    QCOMPARE(dialog.m_descriptor, QStringLiteral("VXI31::32::INSTR"));
    QCOMPARE(dialog.m_fcNumbers[0], quint16(8));
}

void tst_autoFind::searchAgainRebuildsTree() {
    QVERIFY(loadBench(bench(vxiCarriers(2, 1))));
    qv4000fp_fcSelect dialog(&m_card, 0);
    QCOMPARE(dialog.autoFind(), 2);
    QCOMPARE(dialog.m_tree->topLevelItemCount(), 2);
    QVERIFY(loadBench(bench(QStringLiteral("  {}\n"))));
    QCOMPARE(dialog.autoFind(), 0);
    QCOMPARE(dialog.m_tree->topLevelItemCount(), 0);
    QCOMPARE(dialog.m_descriptor, QStringLiteral("VXI1::2::INSTR"));
}

QTEST_MAIN(tst_autoFind)
#include "tst_autoFind.moc"
