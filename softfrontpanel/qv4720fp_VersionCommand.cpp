#include "qv4720fp_VersionCommand.h"

#include "qv4000fp_genFC.h"
#include "qv4000fp_libraryText.h"
#include "qv4720fp_ExitStatus.h"

#include <QString>

#include <cstdio>

namespace {
const char* const kPanelLine = "qv4720sfp (Zelvan %1 Soft Front Panel) %2";
const char* const kDriverLine = "Instrument Driver: %1";
const char* const kCommonLibLine = "Zelvan Common Library: %1";
const char* const kNotReported = "(not reported)";

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

void printLine(const QString& line) {
    std::fputs(line.toLocal8Bit().append('\n').constData(), stdout);
    std::fflush(stdout);
}

QString orNotReported(const QString& revision) {
    return revision.isEmpty() ? fromTable(kNotReported) : revision;
}

} // namespace

qv4720fp_VersionCommand::qv4720fp_VersionCommand(qv4000fp_genFC* fc) : m_fc(fc) {}

// The panel's own line goes out before any library is asked, so it is there
// whatever the libraries do.
int qv4720fp_VersionCommand::run() {
    const QString model = QStringLiteral("%1").arg(m_fc->m_model, 4, 16, QLatin1Char(' '));
    printLine(fromTable(kPanelLine).arg(model, m_fc->version()));
    printLine(fromTable(kDriverLine).arg(orNotReported(m_fc->driverRevision())));
    printLine(fromTable(kCommonLibLine)
                  .arg(orNotReported(QString::fromLatin1(qv4000fp_carrierLibraryRevision()))));
    return qv4720fp_ExitSuccess;
}
