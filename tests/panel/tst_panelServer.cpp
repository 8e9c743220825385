// The panel that serves its card: a network write moves the control without
// writing again, a client's lock makes the controls the client's, and
// "Local" takes the card back.
#include "ModalAnswerer.h"
#include "PanelBench.h"

#include "qv4720_dblCtrl.h"
#include "qv4720_fc.h"
#include "qv4720fp_Config.h"
#include "qv4720fp_PanelServer.h"
#include "qv4720fp_Server.h"

#include <QPushButton>
#include <QTcpSocket>
#include <QtTest>

namespace {
// One line to the server and, for a query, its answer.
QByteArray send(QTcpSocket& client, const QByteArray& line) {
    client.write(line + '\n');
    if (!line.contains('?'))
        return {};
    if (!QTest::qWaitFor([&] { return client.canReadLine(); }, 5000))
        return "(no answer)";
    return client.readLine().trimmed();
}
} // namespace

class tst_panelServer : public QObject {
    Q_OBJECT
private slots:
    void remoteWritesShowAndLocalWins() {
        PanelBench bench(kOneCardBench);
        ModalAnswerer answerer;
        answerer.answer(QStringLiteral("Auto Find"));
        qv4720_fc fc;
        PanelProbe panel(&fc);
        qv4720fp_ServeOptions options;
        options.serve = true;
        options.server.port = 0;
        options.server.listen = {QHostAddress(QHostAddress::LocalHost)};
        auto* served = new qv4720fp_PanelServer(&panel, options);
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost,
                             served->server()->where().section(':', -1).toUShort());
        QVERIFY(client.waitForConnected(5000));

        qv4720_dblCtrl* control = panel.config()->channelControl(3);
        QCOMPARE(send(client, "SOUR3:VOLT -2.5;:SOUR3:VOLT?"), QByteArray("-2.500000E+00"));
        QCOMPARE(control->value(), -2.5);
        QCOMPARE(bench.trace(QStringLiteral("qv4720_writeChannel(")).size(), 1);

        QCOMPARE(send(client, "SYST:LOCK:REQ?"), QByteArray("1"));
        QTRY_VERIFY(!control->isEnabled());
        QPushButton* local = nullptr;
        for (QPushButton* button : panel.findChildren<QPushButton*>()) {
            if (button->text() == QLatin1String("Local"))
                local = button;
        }
        QVERIFY(local && !local->isHidden());
        local->click();
        QVERIFY(control->isEnabled());
        send(client, "SOUR3:VOLT 1");
        QVERIFY(send(client, "SYST:ERR?").startsWith("-203,"));
        QCOMPARE(control->value(), -2.5);
        QCOMPARE(answerer.unexpected(), QStringList());
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tst_panelServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panelServer.moc"
