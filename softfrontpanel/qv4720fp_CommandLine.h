#ifndef QV4720FP_COMMANDLINE_H
#define QV4720FP_COMMANDLINE_H

#include "qv4000fp_connectRequest.h"
#include "qv4720fp_PlayOptions.h"
#include "qv4720fp_ServeOptions.h"
#include "qv4720fp_SetCommand.h"

#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// The program's options. They are read before any application object
// exists, so that the modes without a window (help, version, list, set) can
// run on a machine without a display; without options the panel starts as
// from the desktop menu. No widgets here: main() starts the panel itself.
class qv4720fp_CommandLine {
public:
    enum class Mode { Panel, Help, Version, List, Set, Play, Serve, UsageError, NoDisplay };

    // Reads the options; --bench takes effect here, before any library call.
    // The panel without a display to show it on becomes Mode::NoDisplay.
    qv4720fp_CommandLine(int argc, char** argv);

    Mode mode() const { return m_mode; }
    // True when the mode needs no display: a QCoreApplication is enough.
    bool headless() const { return m_mode != Mode::Panel; }
    // Runs a headless mode once the application object exists; returns the
    // exit status, 1 when its output could not be written.
    int run() const;
    // How the panel is to connect: ask, demo mode or the card named.
    const qv4000fp_connectRequest& request() const { return m_request; }
    // --serve and its options, for the panel that serves as well.
    const qv4720fp_ServeOptions& serve() const { return m_serve; }

private:
    void parse(const QStringList& arguments);
    QString problemWith(const QCommandLineParser& parser);
    QString listProblem(const QCommandLineParser& parser);
    QString connectionProblem(const QCommandLineParser& parser);
    QString writeProblem(const QCommandLineParser& parser);
    QString serveProblem(const QCommandLineParser& parser);
    void settleDisplay(const QStringList& arguments);
    static QString benchProblem(const QByteArray& path, const QString& source);
    int runHeadless() const;
    int usageError() const;
    int runSet() const;
    int runServe() const;
    int runPlay() const;

    Mode m_mode = Mode::Panel;
    QString m_problem;
    QList<QByteArray> m_rawArguments;
    QByteArray m_benchName; // as the system spells it: any bytes but NUL
    bool m_json = false;
    bool m_reset = false;
    qv4000fp_connectRequest m_request;
    QList<qv4720fp_SetCommand::Setting> m_settings;
    qv4720fp_ServeOptions m_serve;
    qv4720fp_PlayOptions m_play;
};

#endif
