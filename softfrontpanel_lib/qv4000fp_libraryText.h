#ifndef QV4000FP_LIBRARYTEXT_H
#define QV4000FP_LIBRARYTEXT_H

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

#endif
