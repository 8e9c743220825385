#include "qv4720fp_CommandLine.h"

#include "qv4720_fc.h"
#include "qv4720fp_ExitStatus.h"
#include "qv4720fp_ListCommand.h"
#include "qv4720fp_Options.h"
#include "qv4720fp_PlayCommand.h"
#include "qv4720fp_Print.h"
#include "qv4720fp_ServeCommand.h"
#include "qv4720fp_ToolkitOptions.h"
#include "qv4720fp_VersionCommand.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace {
const char* const kTryHelp = "Try 'qv4720sfp --help'";
const char* const kUnknownOption = "unknown option '%1'";
const char* const kUnexpected = "unexpected argument '%1'";
const char* const kRepeated = "--%1 given more than once";
const char* const kNoBench = "%1: cannot read '%2': no such file";
const char* const kBenchNotFile = "%1: cannot read '%2': not a file";
const char* const kUnreadableBench = "%1: cannot read '%2': %3";
const char* const kBadBench = "%1: not a usable bench: %2";
const char* const kBenchOption = "--bench";
const char* const kBenchCheck = "zsim_checkBenchFile";
const char* const kJsonWithoutList = "--json needs --list";
const char* const kListWith = "--list cannot be combined with --%1";
const char* const kDemoWith = "--demo cannot be combined with --%1";
const char* const kResourceWithoutFc = "--resource needs --fc N (1 to 8)";
const char* const kFcWithoutResource = "--fc needs --resource";
const char* const kEmptyResource = "--resource needs a resource descriptor";
const char* const kBlankResource = "--resource: leading or trailing blanks in '%1'";
const char* const kBadFc = "--fc must be a function card number from 1 to 8, not '%1'";
const char* const kServeWith = "--serve cannot be combined with --%1";
const char* const kServeWithoutCard =
    "--serve without a window needs --resource and --fc (or --demo)";
const char* const kWriteWithoutCard = "--%1 needs --resource and --fc (or --demo for a dry run)";
const char* const kBenchVariable = "ZELVAN_SIM_BENCH";
const char* const kNoDisplay =
    "the panel needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set\n"
    "without a display, --list, --set, --reset, --version and --help still work";
// What tells the toolkit where to show the window.
const char* const kDisplayVariables[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
const char* const kDisplayOptions[] = {"platform", "display"};

const int kFirstFc = 1;
const int kLastFc = 8;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

QString longOption(const QString& name) {
    return QStringLiteral("--") + name;
}

// The parser names an unknown option without its dashes, and one letter of
// "-xyz" alone; the message names the argument as it was typed.
QString parseError(const QCommandLineParser& parser, const QStringList& arguments) {
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    const QString name = unknown.constFirst();
    for (const QString& argument : arguments.mid(1)) {
        const bool shortGroup = !argument.startsWith(QLatin1String("--")) &&
                                argument.startsWith(QLatin1Char('-')) && argument.contains(name);
        if (shortGroup || argument == longOption(name) ||
            argument.startsWith(longOption(name) + QLatin1Char('=')))
            return fromTable(kUnknownOption).arg(argument);
    }
    return fromTable(kUnknownOption).arg(name);
}

// Without one of these the toolkit aborts where the panel could still explain.
bool displayNamed(const QStringList& arguments) {
    const QStringList given =
        qv4720fp_ToolkitOptions::given(arguments, qv4720fp_Options::valueOptionSpellings());
    for (const char* option : kDisplayOptions) {
        if (given.contains(fromTable(option)))
            return true;
    }
    for (const char* variable : kDisplayVariables) {
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    }
    return false;
}

// The bytes of the argument the parser read the --bench value from: a file
// name need not be text in the locale's encoding.
QByteArray rawBenchName(const QList<QByteArray>& raw, const QString& value) {
    const QByteArray option = kBenchOption;
    for (qsizetype i = raw.size() - 1; i > 0; --i) {
        const QByteArray& argument = raw.at(i);
        if (argument.startsWith(option + '=') &&
            QString::fromLocal8Bit(argument.mid(option.size() + 1)) == value)
            return argument.mid(option.size() + 1);
        if (raw.at(i - 1) == option && QString::fromLocal8Bit(argument) == value)
            return argument;
    }
    return QFile::encodeName(value);
}

// The stand-in libraries' own check of a bench file, when they are the
// libraries loaded; a real installation has no bench to check.
using BenchCheck = int (*)(const char* path, char* reason, int size);
BenchCheck standInBenchCheck() {
    return reinterpret_cast<BenchCheck>(dlsym(RTLD_DEFAULT, kBenchCheck));
}

} // namespace

qv4720fp_CommandLine::qv4720fp_CommandLine(int argc, char** argv) {
    qv4720fp_guardStandardStreams();
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        m_rawArguments << QByteArray(argv[i]);
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    parse(arguments);
    settleDisplay(arguments);
    // The libraries read the bench at their first call, which comes later.
    if (m_mode != Mode::UsageError && !m_benchName.isEmpty())
        qputenv(kBenchVariable, m_benchName);
}

// The panel without a display: a server goes on without a window when it
// knows its card, anything else is told what runs without one.
void qv4720fp_CommandLine::settleDisplay(const QStringList& arguments) {
    const bool window = m_mode == Mode::Panel && !(m_serve.serve && m_serve.noWindow);
    if (m_mode == Mode::Panel && (!window || !displayNamed(arguments)))
        m_mode = m_serve.serve ? Mode::Serve : Mode::NoDisplay;
    if (m_mode == Mode::Serve && m_request.start == qv4000fp_connectRequest::Start::Ask) {
        m_mode = Mode::UsageError;
        m_problem = fromTable(kServeWithoutCard);
    }
}

void qv4720fp_CommandLine::parse(const QStringList& arguments) {
    QString problem;
    const QStringList ours = qv4720fp_ToolkitOptions::removed(
        arguments, qv4720fp_Options::valueOptionSpellings(), &problem);
    QCommandLineParser parser;
    parser.addOptions(qv4720fp_Options::parserOptions());
    if (problem.isEmpty() && !parser.parse(ours))
        problem = parseError(parser, ours);
    if (problem.isEmpty())
        problem = problemWith(parser);
    if (!problem.isEmpty()) {
        m_mode = Mode::UsageError;
        m_problem = problem;
    }
}

// Settles the mode and returns the first problem found, or an empty text.
QString qv4720fp_CommandLine::problemWith(const QCommandLineParser& parser) {
    if (!parser.positionalArguments().isEmpty())
        return fromTable(kUnexpected).arg(parser.positionalArguments().constFirst());
    if (parser.isSet(QStringLiteral("help"))) {
        m_mode = Mode::Help;
        return QString();
    }
    if (parser.isSet(QStringLiteral("version"))) {
        m_mode = Mode::Version;
        return QString();
    }
    for (const char* name : {"resource", "fc", "bench"}) {
        if (parser.values(fromTable(name)).size() > 1)
            return fromTable(kRepeated).arg(fromTable(name));
    }
    if (parser.isSet(QStringLiteral("bench"))) {
        m_benchName = rawBenchName(m_rawArguments, parser.value(QStringLiteral("bench")));
        if (const QString problem = benchProblem(m_benchName, fromTable(kBenchOption));
            !problem.isEmpty())
            return problem;
    }
    QString problem = listProblem(parser);
    if (problem.isEmpty() && m_mode != Mode::List) {
        problem = connectionProblem(parser);
        if (problem.isEmpty())
            problem = serveProblem(parser);
        if (problem.isEmpty() && !m_serve.serve)
            problem = writeProblem(parser);
    }
    // A bench named only by the environment is checked too once an option
    // asks for the card; the panel started bare keeps the libraries' own way.
    const QByteArray variable = qgetenv(kBenchVariable);
    const bool bare =
        m_mode == Mode::Panel && m_request.start == qv4000fp_connectRequest::Start::Ask;
    if (problem.isEmpty() && m_benchName.isEmpty() && !variable.isEmpty() && !bare)
        problem = benchProblem(variable, fromTable(kBenchVariable));
    return problem;
}

QString qv4720fp_CommandLine::benchProblem(const QByteArray& path, const QString& source) {
    if (const BenchCheck check = standInBenchCheck()) {
        QByteArray reason(4096, '\0');
        if (check(path.constData(), reason.data(), int(reason.size())) == 0)
            return QString();
        return fromTable(kBadBench).arg(source, QString::fromUtf8(reason.constData()));
    }
    const QString shown = QString::fromLocal8Bit(path);
    const QFileInfo info(QFile::decodeName(path));
    QFile file(QFile::decodeName(path));
    if (!info.exists())
        return fromTable(kNoBench).arg(source, shown);
    if (!info.isFile())
        return fromTable(kBenchNotFile).arg(source, shown);
    if (!file.open(QIODevice::ReadOnly))
        return fromTable(kUnreadableBench).arg(source, shown, file.errorString());
    return QString();
}

QString qv4720fp_CommandLine::listProblem(const QCommandLineParser& parser) {
    const bool list = parser.isSet(QStringLiteral("list"));
    if (parser.isSet(QStringLiteral("json")) && !list)
        return fromTable(kJsonWithoutList);
    if (!list)
        return QString();
    for (const char* name :
         {"set", "reset", "resource", "fc", "demo", "serve", "play", "recall", "limit", "slew"}) {
        if (parser.isSet(fromTable(name)))
            return fromTable(kListWith).arg(fromTable(name));
    }
    m_mode = Mode::List;
    m_json = parser.isSet(QStringLiteral("json"));
    return QString();
}

// --demo, or --resource with --fc: how the card is reached.
QString qv4720fp_CommandLine::connectionProblem(const QCommandLineParser& parser) {
    const bool resource = parser.isSet(QStringLiteral("resource"));
    const bool fc = parser.isSet(QStringLiteral("fc"));
    if (parser.isSet(QStringLiteral("demo"))) {
        if (resource || fc)
            return fromTable(kDemoWith).arg(fromTable(resource ? "resource" : "fc"));
        m_request.start = qv4000fp_connectRequest::Start::Demo;
        return QString();
    }
    if (resource && !fc)
        return fromTable(kResourceWithoutFc);
    if (fc && !resource)
        return fromTable(kFcWithoutResource);
    if (!resource)
        return QString();
    m_request.descriptor = parser.value(QStringLiteral("resource"));
    if (m_request.descriptor.isEmpty())
        return fromTable(kEmptyResource);
    if (m_request.descriptor.trimmed() != m_request.descriptor)
        return fromTable(kBlankResource).arg(m_request.descriptor);
    const QString fcText = parser.value(QStringLiteral("fc"));
    bool ok = false;
    const int fcNumber = fcText.toInt(&ok);
    if (!ok || fcNumber < kFirstFc || fcNumber > kLastFc)
        return fromTable(kBadFc).arg(fcText);
    m_request.start = qv4000fp_connectRequest::Start::Card;
    m_request.fcNumber = static_cast<quint16>(fcNumber);
    return QString();
}

// --serve opens the card without a reset unless --reset asks for one.
QString qv4720fp_CommandLine::serveProblem(const QCommandLineParser& parser) {
    if (const QString problem = qv4720fp_ServeOptions::parse(parser, &m_serve);
        !problem.isEmpty() || !m_serve.serve)
        return problem;
    if (parser.isSet(QStringLiteral("set")))
        return fromTable(kServeWith).arg(QStringLiteral("set"));
    m_reset = parser.isSet(QStringLiteral("reset"));
    m_request.reset = m_reset;
    return QString();
}

// --set and --reset: every value is checked here, before anything is opened.
QString qv4720fp_CommandLine::writeProblem(const QCommandLineParser& parser) {
    m_reset = parser.isSet(QStringLiteral("reset"));
    const QStringList settings = parser.values(QStringLiteral("set"));
    if (const QString problem = qv4720fp_PlayOptions::parse(parser, &m_play); !problem.isEmpty())
        return problem;
    if (!m_reset && settings.isEmpty() && !m_play.any())
        return QString();
    if (m_request.start == qv4000fp_connectRequest::Start::Ask)
        return fromTable(kWriteWithoutCard)
            .arg(fromTable(m_play.any() ? "play, --recall, --limit or --slew"
                           : m_reset    ? "reset"
                                        : "set"));
    m_mode = m_play.any() ? Mode::Play : Mode::Set;
    return qv4720fp_SetCommand::parse(settings, &m_settings);
}

// Every headless mode ends here, where lost output turns into a failure.
int qv4720fp_CommandLine::run() const {
    return qv4720fp_closeStandardOutput(runHeadless());
}

int qv4720fp_CommandLine::runHeadless() const {
    switch (m_mode) {
    case Mode::UsageError:
        return usageError();
    case Mode::Help:
        qv4720fp_print(stdout, qv4720fp_Options::helpText().toLocal8Bit());
        return qv4720fp_ExitSuccess;
    case Mode::Version: {
        qv4720_fc descriptor;
        return qv4720fp_VersionCommand(&descriptor).run();
    }
    case Mode::List:
        return qv4720fp_ListCommand(m_json ? qv4720fp_ListCommand::Format::Json
                                           : qv4720fp_ListCommand::Format::Text)
            .run();
    case Mode::Set:
        return runSet();
    case Mode::Serve:
        return runServe();
    case Mode::Play:
        return runPlay();
    case Mode::NoDisplay:
        qv4720fp_printMessage(fromTable(kNoDisplay));
        return qv4720fp_ExitUsage;
    case Mode::Panel:
        break; // main() starts the panel: it needs the full application
    }
    return qv4720fp_ExitUsage;
}

int qv4720fp_CommandLine::usageError() const {
    qv4720fp_printMessage(m_problem);
    qv4720fp_printLine(stderr, fromTable(kTryHelp));
    return qv4720fp_ExitUsage;
}

int qv4720fp_CommandLine::runServe() const {
    qv4720_fc descriptor;
    return qv4720fp_ServeCommand(&descriptor, m_request, m_serve).run();
}

int qv4720fp_CommandLine::runPlay() const {
    qv4720_fc descriptor;
    return qv4720fp_PlayCommand(&descriptor, m_request, m_reset, m_settings, m_play).run();
}

int qv4720fp_CommandLine::runSet() const {
    qv4720_fc descriptor;
    return qv4720fp_SetCommand(&descriptor, m_request, m_reset, m_settings).run();
}
