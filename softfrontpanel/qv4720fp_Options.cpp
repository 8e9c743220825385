#include "qv4720fp_Options.h"

namespace {
struct OptionText {
    const char* shortName; // "" for none
    const char* longName;
    const char* valueName; // "" for a flag
    const char* description;
};

// --help, the manual page and the completion list these options alike (a
// test holds them together).
const OptionText kOptions[] = {
    {"h", "help", "", "Show this help and exit."},
    {"V", "version", "",
     "Show the panel's version and the revisions the instrument driver and the "
     "carrier library report, and exit."},
    {"", "demo", "",
     "Start in demo mode: no choice box, no card. With --set or --reset, a dry run: the "
     "values are checked against the demo range (-20 V to 20 V) and nothing is written."},
    {"r", "resource", "DESCRIPTOR",
     "Open the card on the carrier with this VISA resource descriptor at once: no choice "
     "box, no search. Needs --fc."},
    {"f", "fc", "N", "The function card number (carrier slot) of that card, 1 to 8."},
    {"", "bench", "FILE", "Use this simulated bench file (as ZELVAN_SIM_BENCH does)."},
    {"l", "list", "",
     "Search as \"Auto Find\" does and list every carrier and card found, with the "
     "arguments that open each usable card. No window."},
    {"", "json", "",
     "With --list: print one JSON document instead, with every card found (see "
     "qv4720sfp(1) for its fields)."},
    {"", "set", "CH=VOLTS",
     "Set channel CH (1 to 8) to VOLTS (a number such as -2.5) without a window. Repeat it "
     "for more channels; they are written in the order given. Needs --resource and --fc "
     "(or --demo). Channels not named keep their outputs."},
    {"", "reset", "",
     "With --resource and --fc: reset the card before any --set, or when --serve opens it."},
    {"", "play", "FILE",
     "Play the sequence in this CSV file without a window (see qv4720sfp(1) for the format), "
     "with progress on a terminal; SIGINT stops it with its stop rule (exit status 130). "
     "Needs --resource and --fc (or --demo)."},
    {"", "repeat", "N", "With --play: play the sequence N times (default 1)."},
    {"", "recall", "FILE",
     "Recall the set-points, limits and slew limits saved in this setup file, written "
     "through the slew limits; a setup from another card is recalled with a warning."},
    {"", "limit", "CH=LO:HI",
     "Soft limits for channel CH inside the card's range: any value outside them is refused "
     "(repeatable)."},
    {"", "slew", "CH=VPS",
     "A slew limit for channel CH in volts a second: every change of it becomes a ramp "
     "(repeatable). A ramp needs the channel's present value, which is known only once this "
     "program has written it."},
    {"", "serve", "",
     "Serve the card as a SCPI instrument over TCP (see qv4720sfp(1)). With --resource and "
     "--fc (or --demo) that card is opened, without a reset unless --reset is given; "
     "otherwise the connection choice comes first. The panel is shown when there is a "
     "display."},
    {"", "no-window", "",
     "With --serve: no window; one line per event on standard error until SIGINT or SIGTERM."},
    {"", "port", "N", "With --serve: the TCP port (default 5025; 0 picks a free port)."},
    {"", "vxi11-port", "N",
     "With --serve: the port of the VXI-11 core channel (default any free port, found "
     "through rpcbind)."},
    {"", "listen", "ADDR",
     "With --serve: listen on this address (repeatable; default the loopback addresses)."},
    {"", "allow", "CIDR",
     "With --serve: let only peers in this address range stay connected (repeatable)."},
};

const char* const kUsage =
    "Usage: qv4720sfp [--demo | --resource DESCRIPTOR --fc N] [--bench FILE]\n"
    "       qv4720sfp --list [--json] [--bench FILE]\n"
    "       qv4720sfp --resource DESCRIPTOR --fc N [--reset] [--set CH=VOLTS]... [--bench FILE]\n"
    "       qv4720sfp --demo [--reset] [--set CH=VOLTS]...\n"
    "       qv4720sfp --resource DESCRIPTOR --fc N [--limit CH=LO:HI]... [--slew CH=VPS]...\n"
    "                 [--recall FILE] [--set CH=VOLTS]... [--play FILE [--repeat N]]\n"
    "       qv4720sfp --serve [--demo | --resource DESCRIPTOR --fc N [--reset]] [--no-window]\n"
    "                 [--port N] [--vxi11-port N] [--listen ADDR]... [--allow CIDR]...\n"
    "       qv4720sfp --help | --version\n"
    "\n"
    "Soft front panel of the Zelvan 4720 8-Channel, 18-bit DAC Function Card.\n"
    "Without options it shows the splash screen and asks how to connect.\n"
    "\n"
    "Options:\n";
const char* const kHelpEnd =
    "\n"
    "The toolkit's own options, such as -platform and -style, are passed on to Qt.\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  1  a library reported an error (also a failed --list search), --list found\n"
    "     no usable card, or the output could not be written\n"
    "  2  usage error (also a --set value outside the card's output range, and the\n"
    "     panel started without a display)\n"
    "\n"
    "See qv4720sfp(1) for the environment, the files and examples.\n";
const int kDescriptionColumn = 29;
const int kLineWidth = 79;

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}

QString longOption(const QString& name) {
    return QStringLiteral("--") + name;
}

// "  -r, --resource DESCRIPTOR" or "      --demo".
QString optionHead(const OptionText& option) {
    QString head = *option.shortName ? QStringLiteral("  -%1, ").arg(fromTable(option.shortName))
                                     : QStringLiteral("      ");
    head += longOption(fromTable(option.longName));
    if (*option.valueName)
        head += QLatin1Char(' ') + fromTable(option.valueName);
    return head;
}

// The description word-wrapped in its column, beginning beside the head
// or, for a long head, on the next line.
QString optionEntry(const OptionText& option) {
    const QString indent(kDescriptionColumn, QLatin1Char(' '));
    const QString head = optionHead(option);
    QString entry = head.size() < kDescriptionColumn - 1
                        ? head.leftJustified(kDescriptionColumn, QLatin1Char(' '))
                        : head + QLatin1Char('\n') + indent;
    int lineLength = kDescriptionColumn;
    bool lineStart = true;
    for (const QString& word : fromTable(option.description).split(QLatin1Char(' '))) {
        if (!lineStart && lineLength + 1 + word.size() > kLineWidth) {
            entry += QLatin1Char('\n') + indent;
            lineLength = kDescriptionColumn;
            lineStart = true;
        }
        if (!lineStart) {
            entry += QLatin1Char(' ');
            ++lineLength;
        }
        entry += word;
        lineLength += word.size();
        lineStart = false;
    }
    return entry + QLatin1Char('\n');
}

} // namespace

QList<QCommandLineOption> qv4720fp_Options::parserOptions() {
    QList<QCommandLineOption> options;
    for (const OptionText& option : kOptions) {
        QStringList names{fromTable(option.longName)};
        if (*option.shortName)
            names.prepend(fromTable(option.shortName));
        options.append(
            QCommandLineOption(names, fromTable(option.description), fromTable(option.valueName)));
    }
    return options;
}

// The options whose value is the next argument, spelt as the user may.
QStringList qv4720fp_Options::valueOptionSpellings() {
    QStringList spellings;
    for (const OptionText& option : kOptions) {
        if (!*option.valueName)
            continue;
        spellings << longOption(fromTable(option.longName));
        if (*option.shortName)
            spellings << QStringLiteral("-") + fromTable(option.shortName);
    }
    return spellings;
}

QString qv4720fp_Options::helpText() {
    QString text = fromTable(kUsage);
    for (const OptionText& option : kOptions)
        text += optionEntry(option);
    return text + fromTable(kHelpEnd);
}
