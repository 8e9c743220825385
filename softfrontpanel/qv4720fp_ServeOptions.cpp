#include "qv4720fp_ServeOptions.h"

#include <QCommandLineParser>

namespace {
const char* const kNeedsServe = "--%1 needs --serve";
const char* const kBadPort = "--port must be a TCP port from 0 to 65535, not '%1'";
const char* const kBadAddress = "--listen: '%1' is not an IP address";
const char* const kBadRange = "--allow: '%1' is not an address range such as 192.168.2.0/24";
const char* const kRepeatedPort = "--port given more than once";
const int kLastPort = 65535;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

QString readPort(const QCommandLineParser& parser, ScpiServerOptions* server) {
    const QStringList values = parser.values(QStringLiteral("port"));
    if (values.isEmpty())
        return QString();
    if (values.size() > 1)
        return fromTable(kRepeatedPort);
    bool ok = false;
    const int port = values.constFirst().toInt(&ok);
    if (!ok || port < 0 || port > kLastPort)
        return fromTable(kBadPort).arg(values.constFirst());
    server->port = static_cast<quint16>(port);
    return QString();
}

QString readAddresses(const QCommandLineParser& parser, ScpiServerOptions* server) {
    for (const QString& text : parser.values(QStringLiteral("listen"))) {
        QHostAddress address;
        if (!address.setAddress(text))
            return fromTable(kBadAddress).arg(text);
        server->listen << address;
    }
    for (const QString& text : parser.values(QStringLiteral("allow"))) {
        // A plain address is a range of one.
        const QString range = text.contains(QLatin1Char('/')) || text.isEmpty()
                                  ? text
                                  : text + (text.contains(QLatin1Char(':')) ? "/128" : "/32");
        const QPair<QHostAddress, int> subnet = QHostAddress::parseSubnet(range);
        if (subnet.first.isNull())
            return fromTable(kBadRange).arg(text);
        server->allow << subnet;
    }
    return QString();
}
} // namespace

QString qv4720fp_ServeOptions::parse(const QCommandLineParser& parser,
                                     qv4720fp_ServeOptions* options) {
    options->serve = parser.isSet(QStringLiteral("serve"));
    options->noWindow = parser.isSet(QStringLiteral("no-window"));
    if (!options->serve) {
        for (const char* name : {"no-window", "port", "listen", "allow"}) {
            if (parser.isSet(fromTable(name)))
                return fromTable(kNeedsServe).arg(fromTable(name));
        }
        return QString();
    }
    if (const QString problem = readPort(parser, &options->server); !problem.isEmpty())
        return problem;
    return readAddresses(parser, &options->server);
}
