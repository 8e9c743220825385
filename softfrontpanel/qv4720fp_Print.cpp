#include "qv4720fp_Print.h"

#include "qv4720fp_ExitStatus.h"

#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
const char* const kMessageLine = "qv4720sfp: %1";
const char* const kWriteError = "write error: %1";
const char* const kNullDevice = "/dev/null";

// The reason of the first write to standard output that failed.
int& firstOutputError() {
    static int error = 0;
    return error;
}

QString reasonText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

void qv4720fp_print(FILE* stream, const QByteArray& bytes) {
    errno = 0;
    const size_t size = static_cast<size_t>(bytes.size());
    const bool written = std::fwrite(bytes.constData(), 1, size, stream) == size;
    if ((std::fflush(stream) != 0 || !written) && stream == stdout && firstOutputError() == 0)
        firstOutputError() = errno != 0 ? errno : EIO;
}

void qv4720fp_printLine(FILE* stream, const QString& line) {
    qv4720fp_print(stream, line.toLocal8Bit() + '\n');
}

void qv4720fp_printMessage(const QString& text) {
    for (const QString& line : text.split(QLatin1Char('\n')))
        qv4720fp_printLine(stderr, QString::fromLatin1(kMessageLine).arg(line));
}

// A descriptor open for reading only takes the closed number: writes to it
// fail with EBADF, as they would to the closed stream.
void qv4720fp_guardStandardStreams() {
    for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int guard = open(kNullDevice, O_RDONLY);
        if (guard >= 0 && guard != fd) {
            dup2(guard, fd);
            close(guard);
        }
    }
}

int qv4720fp_closeStandardOutput(int status) {
    errno = 0;
    const bool lostBefore = std::ferror(stdout) != 0;
    int error = firstOutputError();
    if (std::fclose(stdout) != 0 && error == 0)
        error = errno;
    if (lostBefore && error == 0)
        error = EIO;
    if (error == 0)
        return status;
    qv4720fp_printMessage(QString::fromLatin1(kWriteError).arg(reasonText(error)));
    return qv4720fp_ExitLibraryError;
}
