#include "qv4000fp_terminalProgress.h"

#include <QString>

#include <algorithm>
#include <unistd.h>

namespace {
const char* const kProgress = "Searching... %1 of %2";
} // namespace

qv4000fp_terminalProgress::qv4000fp_terminalProgress(std::FILE* stream, int skipped, int total)
    : qv4000fp_terminalProgress(stream, isatty(fileno(stream)) == 1, skipped, total) {}

qv4000fp_terminalProgress::qv4000fp_terminalProgress(std::FILE* stream, bool isTerminal,
                                                     int skipped, int total)
    : m_stream(stream), m_active(isTerminal && total > 0), m_skipped(skipped), m_total(total) {
    show(0);
}

qv4000fp_terminalProgress::~qv4000fp_terminalProgress() {
    erase();
}

// Early reports may still lack some of the skipped steps: the count starts
// at 0 and never passes the total.
void qv4000fp_terminalProgress::show(int steps) {
    if (!m_active)
        return;
    const int done = std::clamp(steps - m_skipped, 0, m_total);
    if (done == m_shown)
        return;
    m_shown = done;
    const QByteArray line = QString::fromLatin1(kProgress).arg(done).arg(m_total).toLatin1();
    m_width = std::max(m_width, line.size());
    write('\r' + line);
}

void qv4000fp_terminalProgress::erase() {
    if (!m_active)
        return;
    m_active = false;
    write('\r' + QByteArray(m_width, ' ') + '\r');
}

void qv4000fp_terminalProgress::write(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_stream);
    std::fflush(m_stream);
}
