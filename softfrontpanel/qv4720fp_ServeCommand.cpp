#include "qv4720fp_ServeCommand.h"

#include "qv4720fp_CardEngine.h"
#include "qv4720fp_CardSession.h"
#include "qv4720fp_ExitStatus.h"
#include "qv4720fp_Print.h"
#include "qv4720fp_Server.h"
#include "qv4720fp_SetCommand.h"
#include "qv4720fp_StopSignals.h"

#include <QCoreApplication>

namespace {
const char* const kCannotListen = "cannot listen: no address could be used";
const char* const kStopped = "stopped by signal %1; the card is closed";

using Session = qv4720fp_CardSession;
} // namespace

qv4720fp_ServeCommand::qv4720fp_ServeCommand(qv4000fp_genFC* fc,
                                             const qv4000fp_connectRequest& target,
                                             const qv4720fp_ServeOptions& options)
    : m_fc(fc), m_target(target), m_options(options) {}

int qv4720fp_ServeCommand::run() {
    Session session(m_fc);
    // Never a reset unless asked: a server that restarts must not change the
    // outputs it serves.
    if (!qv4720fp_SetCommand::openAndReport(session, m_target, m_target.reset))
        return qv4720fp_ExitLibraryError;
    const QStringList reports = readCard(session);
    return qv4720fp_SetCommand::closeAndReport(session, serve(session, reports));
}

// What the About dialog would show; a failure is reported and the card is
// served all the same (with no range, nothing can be written).
QStringList qv4720fp_ServeCommand::readCard(Session& session) {
    QStringList reports;
    const std::pair<ViStatus, Session::Call> reads[] = {
        {session.readOutputRange(), Session::Call::OutputRange},
        {session.readSerialNumber(), Session::Call::SerialNumber},
        {session.readRevisions(), Session::Call::Revision},
    };
    for (const auto& [status, call] : reads) {
        if (status != VI_SUCCESS)
            reports << session.statusReport(status, call);
    }
    return reports;
}

int qv4720fp_ServeCommand::serve(Session& session, const QStringList& reports) {
    qv4720fp_CardEngine cardEngine(&session);
    qv4720fp_Server server(&session, &cardEngine, m_options, m_target.fcNumber);
    QObject::connect(&server, &qv4720fp_Server::logLine,
                     [](const QString& line) { qv4720fp_printMessage(line); });
    qv4720fp_StopSignals stop;
    QObject::connect(&stop, &qv4720fp_StopSignals::stopRequested, QCoreApplication::instance(),
                     &QCoreApplication::quit);
    if (!server.start()) {
        qv4720fp_printMessage(QString::fromLatin1(kCannotListen));
        return qv4720fp_ExitLibraryError;
    }
    for (const QString& report : reports)
        qv4720fp_printMessage(report);
    QCoreApplication::exec();
    qv4720fp_printMessage(QString::fromLatin1(kStopped).arg(stop.received()));
    return qv4720fp_ExitSuccess;
}
