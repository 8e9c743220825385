#ifndef QV4720FP_REMOTESTATUS_H
#define QV4720FP_REMOTESTATUS_H

#include <QWidget>

class QLabel;
class QPushButton;

// The line under the channels while the card is served on the network:
// where it listens, how many clients are connected and who holds the lock.
// While a client holds it, "Remote" names the owner and "Local" takes the
// card back for the operator.
class qv4720fp_RemoteStatus : public QWidget {
    Q_OBJECT
public:
    qv4720fp_RemoteStatus();

    void setListening(const QString& where);
    void setClientCount(int count);
    // An empty owner: nobody holds the lock.
    void setLockOwner(const QString& owner);

signals:
    void localRequested();

private:
    void refresh();

    QLabel* m_status = nullptr;
    QLabel* m_remote = nullptr;
    QPushButton* m_local = nullptr;
    QString m_where;
    int m_clients = 0;
    QString m_owner;
};

#endif
