#include "qv4720fp_VersionCommand.h"

#include "qv4000fp_connectionTexts.h"
#include "qv4000fp_genFC.h"
#include "qv4000fp_libraryText.h"
#include "qv4720fp_ExitStatus.h"
#include "qv4720fp_Print.h"

#include <QString>

namespace {
const char* const kPanelLine = "qv4720sfp (Zelvan %1 Soft Front Panel) %2";
const char* const kDriverLine = "Instrument Driver: %1";
const char* const kCommonLibLine = "Zelvan Common Library: %1";
const char* const kNotReported = "(not reported)";

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

QString orNotReported(const QString& revision) {
    return revision.isEmpty() ? fromTable(kNotReported) : revision;
}

} // namespace

qv4720fp_VersionCommand::qv4720fp_VersionCommand(qv4000fp_genFC* fc) : m_fc(fc) {}

// The panel's own line goes out before any library is asked, so it is there
// whatever the libraries do.
int qv4720fp_VersionCommand::run() {
    const QString model = qv4000fp_connectionTexts::modelText(m_fc->m_model);
    qv4720fp_printLine(stdout, fromTable(kPanelLine).arg(model, m_fc->version()));
    qv4720fp_printLine(stdout, fromTable(kDriverLine).arg(orNotReported(m_fc->driverRevision())));
    qv4720fp_printLine(
        stdout, fromTable(kCommonLibLine)
                    .arg(orNotReported(QString::fromLatin1(qv4000fp_carrierLibraryRevision()))));
    return qv4720fp_ExitSuccess;
}
