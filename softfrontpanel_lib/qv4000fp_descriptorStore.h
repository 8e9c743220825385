#ifndef QV4000FP_DESCRIPTORSTORE_H
#define QV4000FP_DESCRIPTORSTORE_H

#include <QByteArray>
#include <QString>

#include <functional>

class QSettings;

// One section of the descriptor file. Reading never blocks and never writes.
// Saving takes the file's lock for a limited time, re-reads the file, lets
// the caller change its section as it is now, and replaces the file by a
// rename in the same folder: a link standing there is replaced, never
// written through, and the bytes of every other section stay as they were.
// Values are read and written by the settings store in its INI format.
class qv4000fp_descriptorStore {
public:
    static constexpr int LockTimeoutMs = 2000;

    using Access = std::function<void(QSettings& section)>;

    qv4000fp_descriptorStore(const QString& path, const QString& group);

    // Calls access with a store entered in the section; a missing or
    // unreadable file reads as an empty section.
    void read(const Access& access) const;
    // Calls change with the section as the file holds it now and saves the
    // result; returns an empty text, or why nothing was saved.
    QString write(const Access& change) const;

private:
    struct Split;
    Split split(const QByteArray& file) const;
    static QByteArray joined(Split parts, QByteArray section);
    QString changedSection(const QByteArray& section, const Access& change,
                           QByteArray* result) const;
    QString replaceFile(const QByteArray& bytes) const;

    QString m_path;
    QString m_group;
    QByteArray m_header; // the section's name as the INI format writes it
};

#endif
