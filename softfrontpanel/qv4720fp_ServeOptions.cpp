#include "qv4720fp_ServeOptions.h"

#include <QCommandLineParser>

namespace {
const char* const kNeedsServe = "--%1 needs --serve";
const char* const kBadPort = "--%1 must be a TCP port from 0 to 65535, not '%2'";
const char* const kBadAddress = "--listen: '%1' is not an IP address";
const char* const kBadRange = "--allow: '%1' is not an address range such as 192.168.2.0/24";
const char* const kRepeatedPort = "--%1 given more than once";
const int kLastPort = 65535;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

QString readPort(const QCommandLineParser& parser, const QString& name, quint16* port) {
    const QStringList values = parser.values(name);
    if (values.isEmpty())
        return QString();
    if (values.size() > 1)
        return fromTable(kRepeatedPort).arg(name);
    bool ok = false;
    const int number = values.constFirst().toInt(&ok);
    if (!ok || number < 0 || number > kLastPort)
        return fromTable(kBadPort).arg(name, values.constFirst());
    *port = static_cast<quint16>(number);
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
        for (const char* name : {"no-window", "port", "vxi11-port", "listen", "allow"}) {
            if (parser.isSet(fromTable(name)))
                return fromTable(kNeedsServe).arg(fromTable(name));
        }
        return QString();
    }
    for (const auto& [name, port] :
         {std::pair{"port", &options->server.port}, std::pair{"vxi11-port", &options->vxi11Port}}) {
        if (const QString problem = readPort(parser, fromTable(name), port); !problem.isEmpty())
            return problem;
    }
    return readAddresses(parser, &options->server);
}
