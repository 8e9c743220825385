#include "qv4720fp_PlayOptions.h"

#include <QCommandLineParser>
#include <QLocale>

#include <cmath>

namespace {
const char* const kBadLimit = "--limit '%1': expected CH=LOW:HIGH, such as 1=-2.5:5";
const char* const kBadSlew = "--slew '%1': expected CH=VOLTS_PER_SECOND, such as 1=0.5";
const char* const kBadChannel = "--%1 '%2': the channel must be 1 to 8";
const char* const kRepeated = "--%1 '%2': channel %3 is already given";
const char* const kBadRepeat = "--repeat must be a whole number from 1 to 1000000, not '%1'";
const char* const kRepeatWithoutPlay = "--repeat needs --play";
const char* const kOnce = "--%1 given more than once";
const int kChannels = 8;
const int kMaxRepeat = 1000000;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

bool readNumber(const QString& text, double* value) {
    bool ok = false;
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    *value = locale.toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(*value);
}

// "CH=rest": the channel, or 0 when it is not one; rest in *rest.
int channelOf(const QString& text, QString* rest) {
    const int equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return -1;
    *rest = text.mid(equals + 1);
    bool ok = false;
    const int channel = text.left(equals).toInt(&ok);
    return ok && channel >= 1 && channel <= kChannels ? channel : 0;
}

template <class Entry>
QString checkChannel(const char* option, const QString& text, int channel,
                     const QList<Entry>& earlier) {
    if (channel == 0)
        return fromTable(kBadChannel).arg(fromTable(option), text);
    for (const Entry& entry : earlier) {
        if (entry.channel == channel)
            return fromTable(kRepeated).arg(fromTable(option), text).arg(channel);
    }
    return QString();
}

QString readLimits(const QStringList& texts, QList<qv4720fp_PlayOptions::Limit>* limits) {
    for (const QString& text : texts) {
        QString rest;
        qv4720fp_PlayOptions::Limit limit;
        limit.channel = channelOf(text, &rest);
        const QStringList bounds = rest.split(QLatin1Char(':'));
        if (limit.channel < 0 || bounds.size() != 2 || !readNumber(bounds.at(0), &limit.low) ||
            !readNumber(bounds.at(1), &limit.high))
            return fromTable(kBadLimit).arg(text);
        if (const QString problem = checkChannel("limit", text, limit.channel, *limits);
            !problem.isEmpty())
            return problem;
        limits->append(limit);
    }
    return QString();
}

QString readSlews(const QStringList& texts, QList<qv4720fp_PlayOptions::Slew>* slews) {
    for (const QString& text : texts) {
        QString rest;
        qv4720fp_PlayOptions::Slew slew;
        slew.channel = channelOf(text, &rest);
        if (slew.channel < 0 || !readNumber(rest, &slew.voltsPerSecond))
            return fromTable(kBadSlew).arg(text);
        if (const QString problem = checkChannel("slew", text, slew.channel, *slews);
            !problem.isEmpty())
            return problem;
        slews->append(slew);
    }
    return QString();
}
} // namespace

QString qv4720fp_PlayOptions::parse(const QCommandLineParser& parser,
                                    qv4720fp_PlayOptions* options) {
    for (const char* name : {"play", "repeat", "recall"}) {
        if (parser.values(fromTable(name)).size() > 1)
            return fromTable(kOnce).arg(fromTable(name));
    }
    options->play = parser.value(QStringLiteral("play"));
    options->recall = parser.value(QStringLiteral("recall"));
    if (parser.isSet(QStringLiteral("repeat"))) {
        if (options->play.isEmpty())
            return fromTable(kRepeatWithoutPlay);
        bool ok = false;
        const QString text = parser.value(QStringLiteral("repeat"));
        options->repeat = text.toInt(&ok);
        if (!ok || options->repeat < 1 || options->repeat > kMaxRepeat)
            return fromTable(kBadRepeat).arg(text);
    }
    if (const QString problem =
            readLimits(parser.values(QStringLiteral("limit")), &options->limits);
        !problem.isEmpty())
        return problem;
    return readSlews(parser.values(QStringLiteral("slew")), &options->slews);
}
