#ifndef QV4720FP_COMMANDLINE_H
#define QV4720FP_COMMANDLINE_H

#include "qv4000fp_connectRequest.h"
#include "qv4720fp_SetCommand.h"

#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// The program's options. They are read before any application object
// exists, so that the modes without a window (help, version, list, set) can
// run on a machine without a display; without options the panel starts as
// from the desktop menu.
class qv4720fp_CommandLine {
public:
    enum class Mode { Panel, Help, Version, List, Set, UsageError };

    // Reads the options; --bench takes effect here, before any library call.
    qv4720fp_CommandLine(int argc, char** argv);

    Mode mode() const { return m_mode; }
    // True when the mode needs no display: a QCoreApplication is enough.
    bool headless() const { return m_mode != Mode::Panel; }
    // Runs the mode once the application object exists; returns the exit status.
    int run() const;

private:
    void parse(const QStringList& arguments);
    QString problemWith(const QCommandLineParser& parser);
    QString listProblem(const QCommandLineParser& parser);
    QString connectionProblem(const QCommandLineParser& parser);
    QString writeProblem(const QCommandLineParser& parser);
    static QString benchProblem(const QByteArray& path, const QString& source);
    int usageError() const;
    int runSet() const;
    int runPanel() const;

    Mode m_mode = Mode::Panel;
    QString m_problem;
    QList<QByteArray> m_rawArguments;
    QByteArray m_benchName; // as the system spells it: any bytes but NUL
    bool m_json = false;
    bool m_reset = false;
    qv4000fp_connectRequest m_request;
    QList<qv4720fp_SetCommand::Setting> m_settings;
};

#endif
