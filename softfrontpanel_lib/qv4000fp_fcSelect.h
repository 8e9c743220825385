#ifndef QV4000FP_FCSELECT_H
#define QV4000FP_FCSELECT_H

#include "qv4000fp_resourceInfo.h"
#include "visa.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QVector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class qv4000fp_connectionBoxes;
class qv4000fp_fcEnterAddress;
class qv4000fp_genFC;

// The modal dialog in which the operator picks the function card(s) to
// connect to. It also carries the outcome of the whole connection step (the
// connection record below), which the panel reads after connectFunctionCard().
class qv4000fp_fcSelect : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxCards = 256;

    // A non-zero multiSelect lets the operator choose several cards.
    qv4000fp_fcSelect(qv4000fp_genFC* fc, int multiSelect);
    ~qv4000fp_fcSelect() override;

    // Searches every VISA resource, fills the tree with carriers and cards and
    // returns how many listed cards this panel can drive (0 to MaxCards).
    virtual int autoFind();

    // Asks the operator how to connect and opens the card. True when a card
    // was opened or demo mode chosen, false when the operator gave up.
    bool connectFunctionCard();

    QPushButton* m_okButton;
    QTreeWidget* m_tree;
    QPushButton* m_cancelButton;
    QList<QTreeWidgetItem*> m_selectedItems;

    // The connection record.
    QString m_descriptor;          // several descriptors are joined with ","
    quint16 m_fcNumbers[MaxCards]; // entry i belongs to descriptor i
    int m_demoMode;
    int m_fcCount;
    ViSession m_vi;
    qv4000fp_genFC* m_fc; // not owned

public slots:
    void dblClick(QTreeWidgetItem* item);
    void okPressed();

private:
    enum class Step { Choice, Search, Demo, Entry, Open, Connected, Cancelled };

    QList<resourceInfo_t> queryResources(ViSession defaultRM, const QList<resourceInfo_t>& found);
    void runNetworkQueries(QVector<getResourceInfo_params_t*>& items);
    struct TreeRows;
    int buildTree(const QList<resourceInfo_t>& records);
    bool addCarrier(QTreeWidgetItem* groupItem, const resourceInfo_t& record, TreeRows& rows);

    Step search(qv4000fp_connectionBoxes& boxes);
    Step enterAddresses(qv4000fp_fcEnterAddress& addressDialog);
    Step openCard(qv4000fp_connectionBoxes& boxes);
    void chooseDemoMode();
    void takeEntries(const QStringList& descriptors, const QList<int>& fcNumbers);
};

#endif
