#ifndef QV4720FP_PANELSERVER_H
#define QV4720FP_PANELSERVER_H

#include "qv4720fp_ServeOptions.h"

#include <QObject>

class qv4720fp_App;
class qv4720fp_RemoteStatus;
class qv4720fp_Server;

// The panel that serves its card as well: the server runs beside the
// window, the status line under the channels says where and who holds the
// lock, and while a client holds it the channel controls and Reset Device
// are the client's until the operator presses "Local".
class qv4720fp_PanelServer : public QObject {
    Q_OBJECT
public:
    qv4720fp_PanelServer(qv4720fp_App* window, const qv4720fp_ServeOptions& options);
    ~qv4720fp_PanelServer() override;

    qv4720fp_Server* server() const { return m_server; }

private:
    void showOwner(const QString& owner);

    qv4720fp_App* m_window;
    qv4720fp_Server* m_server = nullptr;
    qv4720fp_RemoteStatus* m_status = nullptr;
};

#endif
