#include "SetupFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace {
const char* const kTooBig = "the file is larger than %1 bytes";
const char* const kNotJson = "not JSON: %1 at offset %2";
const char* const kNotObject = "the file holds no JSON object";
const char* const kBadVersion = "version %1 is not supported (this program reads version %2)";
const char* const kNoText = "\"%1\" must be a text";
const char* const kNoChannels = "\"channels\" must be a list";
const char* const kEntry = "channels entry %1: %2";
const char* const kNotEntry = "not an object";
const char* const kBadChannel = "\"channel\" must be a whole number from 1 to %1";
const char* const kTwice = "channel %1 appears twice";
const char* const kBadNumber = "\"%1\" must be a number";
const char* const kBadSafety = "%1";
const char* const kOutsideLimits = "the setpoint %1 V is outside the limits";
const char* const kFileError = "%1: %2";

const char* const kKeyVersion = "version";
const char* const kKeyModel = "model";
const char* const kKeySerial = "serial";
const char* const kKeyChannels = "channels";
const char* const kKeyChannel = "channel";
const char* const kKeySetpoint = "setpoint";
const char* const kKeyLow = "low";
const char* const kKeyHigh = "high";
const char* const kKeySlew = "slew_vps";

// A number field: absent or null is empty; anything else not a finite number is an error.
bool optionalNumber(const QJsonObject& o, const char* key, std::optional<double>& out,
                    QString& error) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isDouble() || !std::isfinite(v.toDouble())) {
        error = QString::fromLatin1(kBadNumber).arg(QLatin1String(key));
        return false;
    }
    out = v.toDouble();
    return true;
}

QString readChannel(const QJsonValue& value, int channelCount, SavedSetup& setup,
                    std::vector<bool>& seen) {
    if (!value.isObject())
        return QString::fromLatin1(kNotEntry);
    const QJsonObject o = value.toObject();
    const QJsonValue number = o.value(QLatin1String(kKeyChannel));
    const double ch = number.toDouble(-1);
    if (!number.isDouble() || ch != std::floor(ch) || ch < 1 || ch > channelCount)
        return QString::fromLatin1(kBadChannel).arg(channelCount);
    const size_t i = size_t(ch) - 1;
    if (seen[i])
        return QString::fromLatin1(kTwice).arg(int(ch));
    seen[i] = true;
    ChannelSafety safety;
    std::optional<double> setpoint;
    QString error;
    if (!optionalNumber(o, kKeySetpoint, setpoint, error) ||
        !optionalNumber(o, kKeyLow, safety.low, error) ||
        !optionalNumber(o, kKeyHigh, safety.high, error) ||
        !optionalNumber(o, kKeySlew, safety.slewVps, error))
        return error;
    // The card's range is checked at recall; here only what holds on any card.
    SafetySettings check(channelCount, -INFINITY, INFINITY);
    error = check.setChannel(int(ch), safety);
    if (!error.isEmpty())
        return QString::fromLatin1(kBadSafety).arg(error);
    if (setpoint && safety.low && (*setpoint < *safety.low || *setpoint > *safety.high))
        return QString::fromLatin1(kOutsideLimits).arg(*setpoint);
    setup.setpoints[i] = setpoint;
    setup.safety[i] = safety;
    return {};
}

QString readText(const QJsonObject& root, const char* key, QString& out) {
    const QJsonValue v = root.value(QLatin1String(key));
    // A lone surrogate could not be written back as UTF-8.
    if (!v.isString() || !v.toString().isValidUtf16())
        return QString::fromLatin1(kNoText).arg(QLatin1String(key));
    out = v.toString();
    return {};
}
} // namespace

SetupReadResult SetupFile::read(const QByteArray& bytes, int channelCount) {
    SetupReadResult result;
    if (bytes.size() > kMaxBytes) {
        result.error = QString::fromLatin1(kTooBig).arg(kMaxBytes);
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error =
            QString::fromLatin1(kNotJson).arg(parseError.errorString()).arg(parseError.offset);
        return result;
    }
    if (!document.isObject()) {
        result.error = QString::fromLatin1(kNotObject);
        return result;
    }
    const QJsonObject root = document.object();
    const QJsonValue version = root.value(QLatin1String(kKeyVersion));
    if (version.toDouble(-1) != kVersion) {
        result.error = QString::fromLatin1(kBadVersion)
                           .arg(version.isDouble() ? QString::number(version.toDouble())
                                                   : QStringLiteral("(none)"))
                           .arg(kVersion);
        return result;
    }
    SavedSetup& setup = result.setup;
    setup.setpoints.assign(size_t(std::max(channelCount, 0)), std::nullopt);
    setup.safety.assign(size_t(std::max(channelCount, 0)), ChannelSafety{});
    result.error = readText(root, kKeyModel, setup.model);
    if (result.error.isEmpty())
        result.error = readText(root, kKeySerial, setup.serial);
    if (!result.error.isEmpty())
        return result;
    const QJsonValue channels = root.value(QLatin1String(kKeyChannels));
    if (!channels.isArray()) {
        result.error = QString::fromLatin1(kNoChannels);
        return result;
    }
    const QJsonArray list = channels.toArray();
    std::vector<bool> seen(setup.setpoints.size(), false);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString error = readChannel(list.at(i), channelCount, setup, seen);
        if (!error.isEmpty()) {
            result.error = QString::fromLatin1(kEntry).arg(i + 1).arg(error);
            return result;
        }
    }
    result.ok = true;
    return result;
}

SetupReadResult SetupFile::readFile(const QString& path, int channelCount) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetupReadResult result;
        result.error = QString::fromLatin1(kFileError).arg(path, file.errorString());
        return result;
    }
    SetupReadResult result = read(file.read(kMaxBytes + 1), channelCount);
    if (!result.ok)
        result.error = QString::fromLatin1(kFileError).arg(path, result.error);
    return result;
}

QByteArray SetupFile::write(const SavedSetup& setup) {
    QJsonArray channels;
    for (size_t i = 0; i < setup.setpoints.size(); ++i) {
        QJsonObject entry{{QLatin1String(kKeyChannel), int(i) + 1}};
        entry.insert(QLatin1String(kKeySetpoint),
                     setup.setpoints[i] ? QJsonValue(*setup.setpoints[i]) : QJsonValue());
        const ChannelSafety safety = i < setup.safety.size() ? setup.safety[i] : ChannelSafety{};
        if (safety.low) {
            entry.insert(QLatin1String(kKeyLow), *safety.low);
            entry.insert(QLatin1String(kKeyHigh), *safety.high);
        }
        if (safety.slewVps)
            entry.insert(QLatin1String(kKeySlew), *safety.slewVps);
        channels.append(entry);
    }
    const QJsonObject root{{QLatin1String(kKeyVersion), kVersion},
                           {QLatin1String(kKeyModel), setup.model},
                           {QLatin1String(kKeySerial), setup.serial},
                           {QLatin1String(kKeyChannels), channels}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString SetupFile::writeFile(const QString& path, const SavedSetup& setup) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(write(setup)) < 0 || !file.commit())
        return QString::fromLatin1(kFileError).arg(path, file.errorString());
    return {};
}

SavedSetup SetupFile::capture(const QString& model, const QString& serial,
                              const SafetySettings& safety, const ChannelValues& known) {
    SavedSetup setup{model, serial, known, {}};
    setup.setpoints.resize(size_t(safety.channelCount()));
    for (int ch = 1; ch <= safety.channelCount(); ++ch)
        setup.safety.push_back(safety.channel(ch));
    return setup;
}
