#include "qv4720fp_ToolkitOptions.h"

namespace {
// What QGuiApplication, QApplication and the X11 platform plugin take from
// the command line, each with one or two leading dashes.
const char* const kWithValue[] = {"platform",        "platformpluginpath",
                                  "platformtheme",   "plugin",
                                  "qwindowgeometry", "qwindowtitle",
                                  "qwindowicon",     "geometry",
                                  "title",           "icon",
                                  "display",         "name",
                                  "session",         "style",
                                  "stylesheet"};
const char* const kWithoutValue[] = {"reverse", "sync",        "nograb",
                                     "dograb",  "widgetcount", "testability"};
// Taken only in the joined form "-name=value".
const char* const kJoined[] = {"style", "stylesheet", "qmljsdebugger"};
const char* const kEndOfOptions = "--";
const char* const kMissingValue = "missing value after '%1'";

template <std::size_t N> bool listed(const char* const (&names)[N], const QString& name) {
    for (const char* candidate : names) {
        if (name == QLatin1String(candidate))
            return true;
    }
    return false;
}

bool joinedForm(const QString& name) {
    const int equals = name.indexOf(QLatin1Char('='));
    return equals > 0 && listed(kJoined, name.left(equals));
}
} // namespace

// "-style" and "--style" both name "style"; anything else gives "".
QString qv4720fp_ToolkitOptions::plainName(const QString& argument) {
    if (argument.startsWith(QLatin1String("--")))
        return argument.mid(2);
    if (argument.startsWith(QLatin1Char('-')))
        return argument.mid(1);
    return QString();
}

QStringList qv4720fp_ToolkitOptions::removed(const QStringList& arguments,
                                             const QStringList& valueOptions, QString* problem) {
    QStringList toolkitNames;
    return scan(arguments, valueOptions, &toolkitNames, problem);
}

QStringList qv4720fp_ToolkitOptions::given(const QStringList& arguments,
                                           const QStringList& valueOptions) {
    QStringList toolkitNames;
    QString problem;
    scan(arguments, valueOptions, &toolkitNames, &problem);
    return toolkitNames;
}

QStringList qv4720fp_ToolkitOptions::scan(const QStringList& arguments,
                                          const QStringList& valueOptions,
                                          QStringList* toolkitNames, QString* problem) {
    QStringList kept;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const QString name = plainName(argument);
        if (argument == QLatin1String(kEndOfOptions)) {
            kept += arguments.mid(i);
            break;
        }
        if (valueOptions.contains(argument)) {
            kept += arguments.mid(i, 2);
            ++i;
        } else if (listed(kWithValue, name)) {
            if (i + 1 == arguments.size())
                *problem = QString::fromLatin1(kMissingValue).arg(argument);
            *toolkitNames << name;
            ++i;
        } else if (listed(kWithoutValue, name) || joinedForm(name)) {
            *toolkitNames << name.section(QLatin1Char('='), 0, 0);
        } else {
            kept += argument;
        }
    }
    return kept;
}
