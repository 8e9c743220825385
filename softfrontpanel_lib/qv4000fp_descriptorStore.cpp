#include "qv4000fp_descriptorStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {
const char* const kNoFolder = "the folder %1 cannot be created";
const char* const kLocked = "the file is locked by another program (%1)";
const char* const kNotAFile = "%1 is not a regular file";
const char* const kCannotRead = "%1 cannot be read: %2";
const char* const kCannotWrite = "%1 cannot be written: %2";
const char* const kNoTemporary = "no temporary file: %1";
const char* const kNotReplaced = "%1 cannot be replaced: %2";
const char* const kLockSuffix = ".lock";
const char* const kNoSection = "[General]\n";
const char* const kNewSuffix = ".new-%1";
const int kNewFileAttempts = 8;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

// The INI format's spelling of a section name.
QByteArray escapedKey(const QString& key) {
    QByteArray out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == '/')
            out += '\\';
        else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                 u == '_' || u == '-' || u == '.')
            out += char(u);
        else if (u <= 0xFF)
            out += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

bool isIniSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The next logical line from pos, found as the settings store finds it:
// quotes and backslashes carry it over line ends, a ';' outside quotes ends
// it and leading comments are skipped. Returns its start; pos moves past it.
qsizetype nextLine(const QByteArray& data, qsizetype* pos, qsizetype* length) {
    const qsizetype size = data.size();
    qsizetype start = *pos;
    while (start < size && isIniSpace(data[start]))
        ++start;
    bool inQuotes = false;
    qsizetype i = start;
    while (i < size) {
        const char c = data[i++];
        if (c == '\n' || c == '\r') {
            if (i == start + 1)
                ++start;
            else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char next = data[i++];
                if (i < size &&
                    ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < size && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < size && isIniSpace(data[i]))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    *pos = i;
    *length = i - start;
    return start;
}

// The trimmed name between '[' and ']' of a header line.
QByteArray headerName(const QByteArray& data, qsizetype start, qsizetype length) {
    const qsizetype close = data.indexOf(']', start);
    const qsizetype end = close < 0 || close >= start + length ? start + length : close;
    return data.mid(start + 1, end - start - 1).trimmed();
}

QString reasonOf(const char* format, const QString& path, const QString& detail = QString()) {
    return detail.isNull() ? fromTable(format).arg(path) : fromTable(format).arg(path, detail);
}

// The file as it is: missing reads as empty; only a regular file is read,
// so a FIFO or a device never blocks.
bool readFile(const QString& path, QByteArray* bytes, QString* reason) {
    const QFileInfo info(path);
    if (!info.exists()) // a dangling link too: the save replaces it
        return true;
    if (!info.isFile()) {
        *reason = reasonOf(kNotAFile, path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = reasonOf(kCannotRead, path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    return true;
}

bool writeAll(QFile& file, const QByteArray& bytes) {
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
#ifndef Q_OS_WIN
    if (::fsync(file.handle()) != 0)
        return false;
#endif
    return true;
}
} // namespace

// The file cut around the section: every occurrence of it (the settings
// store joins them) taken out, the rest kept byte for byte. A section the
// file lacks goes before the first header: there no quote is open, while
// the file's last line may hold one that would carry it off to the end.
struct qv4000fp_descriptorStore::Split {
    QByteArray before;
    QByteArray section;
    QByteArray after;
    bool seen = false;
    qsizetype firstHeader = -1; // offset in before, while not seen
    qsizetype bodyStart = 0;    // past a byte order mark
};

qv4000fp_descriptorStore::qv4000fp_descriptorStore(const QString& path, const QString& group)
    : m_path(path), m_group(group), m_header(escapedKey(group)) {}

qv4000fp_descriptorStore::Split qv4000fp_descriptorStore::split(const QByteArray& file) const {
    Split parts;
    qsizetype pos = file.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    parts.bodyStart = pos;
    qsizetype copied = 0; // bytes up to here are placed already
    qsizetype ours = -1;  // start of the occurrence being read, or -1
    bool& seen = parts.seen;
    QByteArray* rest = &parts.before;
    const auto close = [&](qsizetype end) {
        if (ours >= 0)
            parts.section += file.mid(ours, end - ours);
        else
            *rest += file.mid(copied, end - copied);
        copied = end;
    };
    for (qsizetype length = 0;;) {
        const qsizetype start = nextLine(file, &pos, &length);
        if (length <= 0)
            break;
        if (file[start] != '[')
            continue;
        if (parts.firstHeader < 0)
            parts.firstHeader = start;
        close(start);
        const bool isOurs = headerName(file, start, length) == m_header;
        if (isOurs && !seen) {
            seen = true;
        } else if (!isOurs && seen) {
            rest = &parts.after;
        }
        ours = isOurs ? start : -1;
    }
    close(file.size());
    return parts;
}

void qv4000fp_descriptorStore::read(const Access& access) const {
    QByteArray bytes;
    QString reason;
    const QByteArray section = readFile(m_path, &bytes, &reason) ? split(bytes).section : "";
    QTemporaryFile copy;
    if (!copy.open() || copy.write(section) != section.size() || !copy.flush())
        copy.resize(0);
    copy.close();
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    settings.beginGroup(m_group);
    access(settings);
    settings.endGroup();
}

QString qv4000fp_descriptorStore::write(const Access& change) const {
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return reasonOf(kNoFolder, folder);
    QLockFile lock(m_path + QLatin1String(kLockSuffix));
    if (!lock.tryLock(LockTimeoutMs))
        return reasonOf(kLocked, m_path + QLatin1String(kLockSuffix));
    QByteArray bytes;
    QString reason;
    if (!readFile(m_path, &bytes, &reason))
        return reason;
    Split parts = split(bytes);
    QByteArray section;
    reason = changedSection(parts.section, change, &section);
    if (!reason.isEmpty())
        return reason;
    return replaceFile(joined(parts, section));
}

QByteArray qv4000fp_descriptorStore::joined(Split parts, QByteArray section) {
    if (!parts.seen) {
        const qsizetype at = parts.firstHeader >= 0 ? parts.firstHeader : parts.bodyStart;
        parts.after = parts.before.mid(at);
        parts.before.truncate(at);
        // Keys before any header belong to no section: they stay there.
        if (parts.firstHeader < 0 && !parts.after.trimmed().isEmpty())
            parts.after.prepend(kNoSection);
    }
    if (!parts.before.isEmpty() && !parts.before.endsWith('\n'))
        parts.before += '\n';
    if (!parts.after.isEmpty() && !section.endsWith("\n\n"))
        section += '\n';
    return parts.before + section + parts.after;
}

// The section rewritten by the settings store in a private copy.
QString qv4000fp_descriptorStore::changedSection(const QByteArray& section, const Access& change,
                                                 QByteArray* result) const {
    QTemporaryFile copy;
    if (!copy.open() || copy.write(section) != section.size() || !copy.flush())
        return reasonOf(kNoTemporary, copy.errorString());
    copy.close();
    {
        QSettings settings(copy.fileName(), QSettings::IniFormat);
        settings.beginGroup(m_group);
        change(settings);
        settings.endGroup();
        settings.sync();
        // A format error only means the old text was odd; it is rewritten.
        if (settings.status() == QSettings::AccessError)
            return reasonOf(kNoTemporary, copy.fileName());
    }
    QFile written(copy.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return reasonOf(kNoTemporary, written.errorString());
    *result = written.readAll();
    return QString();
}

// A new file beside the old one, renamed over it.
QString qv4000fp_descriptorStore::replaceFile(const QByteArray& bytes) const {
    const QFileInfo old(m_path);
    QFile fresh;
    for (int attempt = 0; attempt < kNewFileAttempts && !fresh.isOpen(); ++attempt) {
        fresh.setFileName(
            m_path + fromTable(kNewSuffix)
                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    if (!fresh.isOpen())
        return reasonOf(kCannotWrite, fresh.fileName(), fresh.errorString());
    // Whoever could read the old file can read the new one.
    if (old.isFile() && !old.isSymLink())
        fresh.setPermissions(old.permissions());
    const bool written = writeAll(fresh, bytes);
    const QString writeError = fresh.errorString();
    fresh.close();
    if (!written) {
        fresh.remove();
        return reasonOf(kCannotWrite, fresh.fileName(), writeError);
    }
#ifdef Q_OS_WIN
    QFile::remove(m_path);
    const bool renamed = fresh.rename(m_path);
#else
    const bool renamed = std::rename(QFile::encodeName(fresh.fileName()).constData(),
                                     QFile::encodeName(m_path).constData()) == 0;
#endif
    if (!renamed) {
        const QString error = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(fresh.fileName());
        return reasonOf(kNotReplaced, m_path, error);
    }
    return QString();
}
