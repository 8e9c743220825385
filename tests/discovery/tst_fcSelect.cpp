#include "ModalAnswerer.h"
#include "qv4000fp_fcSelect.h"
#include "qv4720_fc.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// The selection dialog on its own: construction, OK, double click, Cancel.
class tst_fcSelect : public QObject {
    Q_OBJECT
private slots:
    void construction();
    void okTakesSelectedCards();
    void okWithoutSelectionDoesNothing();
    void okTakesAtMost256Cards();
    void doubleClickTakesCurrentCard();
    void doubleClickOnOtherRowsDoesNothing();
    void closingWithoutChoiceRejects_data();
    void closingWithoutChoiceRejects();

private:
    qv4720_fc m_card;
};

namespace {
const char* const kHint =
    "Select one available function card and then click \"OK\" \nor click \"Cancel\" to quit";

// A group, a carrier and cards as the search lists them; FC 2 is greyed.
struct Tree {
    QTreeWidgetItem* group;
    QTreeWidgetItem* carrier;
    QList<QTreeWidgetItem*> cards;
};

Tree fillTree(QTreeWidget* tree, const QString& descriptor, int cards) {
    Tree t;
    t.group = new QTreeWidgetItem(tree, QStringList("VXI0"));
    t.group->setFlags(Qt::ItemIsEnabled);
    t.carrier = new QTreeWidgetItem(t.group, QStringList("Slot 3 - 4160 MB"));
    t.carrier->setFlags(Qt::ItemIsEnabled);
    for (int i = 1; i <= cards; ++i) {
        auto* card = new QTreeWidgetItem(t.carrier, {QStringLiteral("FC %1").arg(i), "4720"});
        const int number = i == 2 ? 0 : i;
        card->setData(0, Qt::StatusTipRole, number);
        card->setData(1, Qt::StatusTipRole, descriptor);
        card->setFlags(number ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags);
        t.cards << card;
    }
    tree->expandAll();
    return t;
}
} // namespace

void tst_fcSelect::construction() {
    qv4000fp_fcSelect dialog(&m_card, 0);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Zelvan 4720 SFP: Select Function Card"));
    QVERIFY(!dialog.parent());
    QCOMPARE(dialog.m_tree->columnCount(), 2);
    QCOMPARE(dialog.m_tree->headerItem()->text(0), QStringLiteral("System"));
    QCOMPARE(dialog.m_tree->headerItem()->text(1), QStringLiteral("FC Model"));
    QCOMPARE(dialog.m_tree->selectionMode(), QAbstractItemView::SingleSelection);
    const int lines = 24 * dialog.fontMetrics().height();
    QCOMPARE(dialog.m_tree->minimumWidth(), lines);
    QCOMPARE(dialog.m_tree->minimumHeight(), lines);
    QCOMPARE(dialog.m_okButton->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.m_cancelButton->text(), QStringLiteral("Cancel"));
    // The record starts defined, whichever path fills it later.
    QCOMPARE(dialog.m_fcCount, 0);
    QCOMPARE(dialog.m_demoMode, 0);
    QCOMPARE(dialog.m_vi, ViSession(0));
    QCOMPARE(dialog.m_fc, &m_card);
    QVERIFY(dialog.m_descriptor.isEmpty());
    for (quint16 number : dialog.m_fcNumbers)
        QCOMPARE(number, quint16(0));

    qv4000fp_fcSelect multi(&m_card, 1);
    QCOMPARE(multi.m_tree->selectionMode(), QAbstractItemView::ExtendedSelection);
}

void tst_fcSelect::okTakesSelectedCards() {
    qv4000fp_fcSelect dialog(&m_card, 1);
    const Tree tree = fillTree(dialog.m_tree, "VXI0::3::INSTR", 3);
    tree.cards[0]->setSelected(true);
    tree.cards[2]->setSelected(true);
    ModalAnswerer answerer;
    answerer.handle([&](QWidget*) { dialog.m_okButton->click(); });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.m_descriptor, QStringLiteral("VXI0::3::INSTR,VXI0::3::INSTR"));
    QCOMPARE(dialog.m_fcCount, 2);
    QCOMPARE(dialog.m_fcNumbers[0], quint16(1));
    QCOMPARE(dialog.m_fcNumbers[1], quint16(3));
    QCOMPARE(dialog.m_selectedItems.size(), 2);
}

void tst_fcSelect::okWithoutSelectionDoesNothing() {
    qv4000fp_fcSelect dialog(&m_card, 0);
    fillTree(dialog.m_tree, "VXI0::3::INSTR", 2);
    dialog.m_descriptor = "VXI0::3::INSTR";
    dialog.show();
    dialog.m_okButton->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
    QCOMPARE(dialog.m_descriptor, QStringLiteral("VXI0::3::INSTR"));
}

// The record holds 256 card numbers; a larger selection keeps the first 256.
void tst_fcSelect::okTakesAtMost256Cards() {
    qv4000fp_fcSelect dialog(&m_card, 1);
    for (int i = 0; i < 300; ++i) {
        auto* card = new QTreeWidgetItem(dialog.m_tree, {QStringLiteral("FC %1").arg(i + 1)});
        card->setData(0, Qt::StatusTipRole, i + 1);
        card->setData(1, Qt::StatusTipRole, QStringLiteral("VXI%1::1::INSTR").arg(i));
        card->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    dialog.m_tree->selectAll();
    dialog.show();
    dialog.okPressed();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.m_fcCount, 256);
    QCOMPARE(dialog.m_descriptor.split(',').size(), 256);
}

void tst_fcSelect::doubleClickTakesCurrentCard() {
    qv4000fp_fcSelect dialog(&m_card, 1);
    const Tree tree = fillTree(dialog.m_tree, "VXI0::3::INSTR", 3);
    tree.cards[0]->setSelected(true);
    dialog.m_tree->setCurrentItem(tree.cards[2]);
    dialog.show();
    emit dialog.m_tree->itemDoubleClicked(tree.cards[2], 0);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.m_fcCount, 1);
    QCOMPARE(dialog.m_fcNumbers[0], quint16(3));
    QCOMPARE(dialog.m_descriptor, QStringLiteral("VXI0::3::INSTR"));
}

void tst_fcSelect::doubleClickOnOtherRowsDoesNothing() {
    qv4000fp_fcSelect dialog(&m_card, 0);
    const Tree tree = fillTree(dialog.m_tree, "VXI0::3::INSTR", 3);
    dialog.show();
    for (QTreeWidgetItem* item : {tree.group, tree.carrier, tree.cards[1]}) {
        emit dialog.m_tree->itemDoubleClicked(item, 0);
        QVERIFY(dialog.isVisible());
    }
    // A selectable row double-clicked while the current row is not one: the
    // hint goes to the debug output and the dialog stays.
    dialog.m_tree->setCurrentItem(tree.carrier);
    QTest::ignoreMessage(QtDebugMsg, kHint);
    emit dialog.m_tree->itemDoubleClicked(tree.cards[0], 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.m_fcCount, 0);
}

void tst_fcSelect::closingWithoutChoiceRejects_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close button") << 2;
}

void tst_fcSelect::closingWithoutChoiceRejects() {
    QFETCH(int, how);
    qv4000fp_fcSelect dialog(&m_card, 0);
    const Tree tree = fillTree(dialog.m_tree, "VXI0::3::INSTR", 1);
    tree.cards[0]->setSelected(true);
    ModalAnswerer answerer;
    answerer.handle([&](QWidget* modal) {
        if (how == 0)
            dialog.m_cancelButton->click();
        else if (how == 1)
            QTest::keyClick(modal, Qt::Key_Escape);
        else
            modal->close();
    });
    QCOMPARE(dialog.exec(), 0);
    QCOMPARE(dialog.m_fcCount, 0);
}

QTEST_MAIN(tst_fcSelect)
#include "tst_fcSelect.moc"
