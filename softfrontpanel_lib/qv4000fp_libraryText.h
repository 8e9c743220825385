#ifndef QV4000FP_LIBRARYTEXT_H
#define QV4000FP_LIBRARYTEXT_H

#include "qv4000.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstring>

// Texts that the instrument libraries write into fixed buffers are read up to
// the first zero or the buffer's end, never past it: a library that fills the
// whole buffer without a terminating zero must not make the panel read on.
template <std::size_t N> QByteArray qv4000fp_libraryBytes(const char (&buffer)[N]) {
    return QByteArray(buffer, static_cast<qsizetype>(strnlen(buffer, N)));
}

// Latin-1 keeps every byte: a resource name read this way goes back to the
// library unchanged.
template <std::size_t N> QString qv4000fp_libraryText(const char (&buffer)[N]) {
    return QString::fromLatin1(qv4000fp_libraryBytes(buffer));
}

// The buffer for a library call that is told no size: the documented size N
// and as much zeroed room again behind it, so a library that writes past the
// documented end harms nothing; only the first N bytes are ever read.
template <std::size_t N> struct qv4000fp_libraryBuffer {
    char data[2 * N + 64] = {};

    QByteArray bytes() const { return QByteArray(data, static_cast<qsizetype>(strnlen(data, N))); }
    QString text() const { return QString::fromLatin1(bytes()); }
    // A number the library wrote at the start of the buffer.
    template <class T> T value() const {
        static_assert(sizeof(T) == N, "read the documented size");
        T v;
        std::memcpy(&v, data, sizeof v);
        return v;
    }
};

// The carrier library's texts. A failed call's buffer holds no text, whatever
// the library left in it: the result is then empty.
inline QString qv4000fp_carrierErrorText(ViStatus status) {
    qv4000fp_libraryBuffer<QV4000_ERROR_MESSAGE_BUFLEN> message;
    return qv4000_errorMessage(status, message.data) < VI_SUCCESS ? QString() : message.text();
}

// What the panel reports for a failed or warned reset, with the carrier
// library's text: "Function Call failed due to [...]" or "Warning [...]".
inline QString qv4000fp_resetReport(ViStatus status) {
    if (status == VI_SUCCESS)
        return QString();
    const char* const format =
        status < VI_SUCCESS ? "Function Call failed due to [%1]" : "Warning [%1]";
    return QString::fromLatin1(format).arg(qv4000fp_carrierErrorText(status));
}

inline QByteArray qv4000fp_carrierLibraryRevision() {
    qv4000fp_libraryBuffer<QV4000_LIBRARY_REVISION_BUFLEN> revision;
    return qv4000_libraryRevision(revision.data) < VI_SUCCESS ? QByteArray("") : revision.bytes();
}

#endif
