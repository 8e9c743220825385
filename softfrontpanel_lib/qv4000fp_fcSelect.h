#ifndef QV4000FP_FCSELECT_H
#define QV4000FP_FCSELECT_H

#include "qv4000fp_connectRequest.h"
#include "qv4000fp_discovery.h"
#include "qv4000fp_resourceInfo.h"
#include "qv4000fp_resourceTree.h"
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
    static constexpr int MaxCards = qv4000fp_resourceTree::MaxCards;

    // A non-zero multiSelect lets the operator choose several cards.
    qv4000fp_fcSelect(qv4000fp_genFC* fc, int multiSelect);
    ~qv4000fp_fcSelect() override;

    // Searches every VISA resource, fills the tree with carriers and cards and
    // returns how many listed cards this panel can drive (0 to MaxCards).
    virtual int autoFind();

    // Asks the operator how to connect and opens the card. True when a card
    // was opened or demo mode chosen, false when the operator gave up.
    bool connectFunctionCard();

    // How the next dialog's workflow starts (process-wide, like panelName).
    // The dialog constructed next takes the request and the one after it
    // asks again; the request counts for its first workflow run only.
    static void setStartRequest(const qv4000fp_connectRequest& request);

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

    void waitWithProgress(const qv4000fp_discovery::Queries& queries);
    int buildTree(const QList<resourceInfo_t>& records);
    void addCard(QTreeWidgetItem* item, const qv4000fp_resourceTree::Row& row,
                 const QString& descriptor);

    Step search(qv4000fp_connectionBoxes& boxes);
    Step enterAddresses(qv4000fp_fcEnterAddress& addressDialog);
    Step openCard(qv4000fp_connectionBoxes& boxes);
    void chooseDemoMode();
    void takeEntries(const QStringList& descriptors, const QList<int>& fcNumbers);
    Step firstStep();

    qv4000fp_connectRequest m_startRequest;
    bool m_openReset = true;
};

#endif
