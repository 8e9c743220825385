#include "SoakAction.h"

#include <QStringList>

namespace {
const char* const kType = "type";
const char* const kHold = "hold";
const char* const kWheel = "wheel";
const char* const kReset = "reset";
const char* const kAbout = "about";
const char* const kWhatsThis = "whatsthis";
const char* const kClose = "close";
const char* const kResize = "resize";
const char* const kFault = "fault";

const char* const kEnds[] = {"enter", "enter", "enter", "tab", "tab", "escape", "none", "none"};
const char* const kKeys[] = {"up", "down", "pageup", "pagedown"};
const char* const kOddTexts[] = {
    "-",  "+", "1.",  "-.", ".5", "1.2.3",      "..",        "1e3",        "2E-1", "1e",  "abc",
    "1a", "x", "1,5", "",   "-0", "9.99999999", "0.0000001", "10.0000001", "--1",  "+-2", "e5"};
const long kStatuses[] = {-1074001919, -1073807339, -1, 0, 0, 0, 0, 1073481985, 1073676421, 1};

// Channel controls take -10..10 on the soak bench; values around and beyond.
QString numberText(std::mt19937_64& rng) {
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> decimals(0, 7);
    const int k = kind(rng);
    double value = 0;
    if (k < 6)
        value = std::uniform_real_distribution<double>(-10.0, 10.0)(rng);
    else if (k < 8)
        value = std::uniform_real_distribution<double>(-1000.0, 1000.0)(rng);
    else
        value = k == 8 ? 10.0 : -10.0;
    return QString::number(value, 'f', decimals(rng));
}

template <class T, std::size_t N> const T& pick(std::mt19937_64& rng, const T (&items)[N]) {
    return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

int between(std::mt19937_64& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

SoakAction drawAction(std::mt19937_64& rng) {
    // Weights: typing and keys most, boxes and windows now and then.
    static const SoakAction::Kind kinds[] = {
        SoakAction::Kind::Type,  SoakAction::Kind::Type,   SoakAction::Kind::Type,
        SoakAction::Kind::Type,  SoakAction::Kind::Type,   SoakAction::Kind::Type,
        SoakAction::Kind::Hold,  SoakAction::Kind::Hold,   SoakAction::Kind::Hold,
        SoakAction::Kind::Wheel, SoakAction::Kind::Wheel,  SoakAction::Kind::Reset,
        SoakAction::Kind::Reset, SoakAction::Kind::About,  SoakAction::Kind::WhatsThis,
        SoakAction::Kind::Close, SoakAction::Kind::Resize, SoakAction::Kind::Fault,
        SoakAction::Kind::Fault, SoakAction::Kind::Fault};
    SoakAction a;
    a.kind = pick(rng, kinds);
    a.channel = between(rng, 1, 8);
    switch (a.kind) {
    case SoakAction::Kind::Type:
        a.text =
            between(rng, 0, 2) == 0 ? QString::fromLatin1(pick(rng, kOddTexts)) : numberText(rng);
        a.word = QString::fromLatin1(pick(rng, kEnds));
        break;
    case SoakAction::Kind::Hold:
        a.text = QString::fromLatin1(pick(rng, kKeys));
        a.count = between(rng, 1, 40);
        break;
    case SoakAction::Kind::Wheel:
        a.count = between(rng, 1, 6) * (between(rng, 0, 1) ? 1 : -1);
        break;
    case SoakAction::Kind::About:
        a.count = between(rng, 1, 2);
        a.word = QString::fromLatin1(between(rng, 0, 3) ? "ok" : "open");
        break;
    case SoakAction::Kind::Resize:
        a.width = between(rng, 200, 1400);
        a.height = between(rng, 150, 1000);
        break;
    case SoakAction::Kind::Fault:
        a.word = QString::fromLatin1(pick(rng, kSoakFaultFunctions));
        a.status = pick(rng, kStatuses);
        break;
    default:
        break;
    }
    return a;
}
} // namespace

const char* const kSoakFaultFunctions[4] = {"qv4720_writeChannel", "qv4720_reset",
                                            "qv4720_error_message", "qv4000_errorMessage"};

QString SoakAction::toText() const {
    switch (kind) {
    case Kind::Type:
        return QStringLiteral("%1 %2 '%3' %4").arg(kType).arg(channel).arg(text, word);
    case Kind::Hold:
        return QStringLiteral("%1 %2 %3 %4").arg(kHold).arg(channel).arg(text).arg(count);
    case Kind::Wheel:
        return QStringLiteral("%1 %2 %3").arg(kWheel).arg(channel).arg(count);
    case Kind::Reset:
        return QString::fromLatin1(kReset);
    case Kind::About:
        return QStringLiteral("%1 %2 %3").arg(kAbout).arg(count).arg(word);
    case Kind::WhatsThis:
        return QStringLiteral("%1 %2").arg(kWhatsThis).arg(channel);
    case Kind::Close:
        return QString::fromLatin1(kClose);
    case Kind::Resize:
        return QStringLiteral("%1 %2 %3").arg(kResize).arg(width).arg(height);
    case Kind::Fault:
        return QStringLiteral("%1 %2 %3").arg(kFault, word).arg(status);
    }
    return QString();
}

bool SoakAction::fromText(const QString& text, SoakAction* action) {
    // Typed text sits between single quotes and holds no blank or quote.
    const QStringList t = text.simplified().split(QLatin1Char(' '));
    const QString& name = t.value(0);
    SoakAction a;
    bool ok = true;
    auto number = [&t, &ok](int i) {
        bool good = false;
        const long value = t.value(i).toLong(&good);
        ok = ok && good;
        return value;
    };
    auto channel = [&](int i) {
        const int value = int(number(i));
        ok = ok && value >= 1 && value <= 8;
        return value;
    };
    if (name == QLatin1String(kType) && t.size() == 4 && t[2].size() >= 2 &&
        t[2].startsWith(QLatin1Char('\'')) && t[2].endsWith(QLatin1Char('\''))) {
        a.kind = Kind::Type;
        a.channel = channel(1);
        a.text = t[2].mid(1, t[2].size() - 2);
        a.word = t[3];
    } else if (name == QLatin1String(kHold) && t.size() == 4) {
        a.kind = Kind::Hold;
        a.channel = channel(1);
        a.text = t[2];
        a.count = int(number(3));
    } else if (name == QLatin1String(kWheel) && t.size() == 3) {
        a.kind = Kind::Wheel;
        a.channel = channel(1);
        a.count = int(number(2));
    } else if (name == QLatin1String(kReset) && t.size() == 1) {
        a.kind = Kind::Reset;
    } else if (name == QLatin1String(kAbout) && t.size() == 3) {
        a.kind = Kind::About;
        a.count = int(number(1));
        a.word = t[2];
    } else if (name == QLatin1String(kWhatsThis) && t.size() == 2) {
        a.kind = Kind::WhatsThis;
        a.channel = channel(1);
    } else if (name == QLatin1String(kClose) && t.size() == 1) {
        a.kind = Kind::Close;
    } else if (name == QLatin1String(kResize) && t.size() == 3) {
        a.kind = Kind::Resize;
        a.width = int(number(1));
        a.height = int(number(2));
    } else if (name == QLatin1String(kFault) && t.size() == 3) {
        a.kind = Kind::Fault;
        a.word = t[1];
        a.status = number(2);
    } else {
        return false;
    }
    if (ok)
        *action = a;
    return ok;
}

SoakActions soakActionsFor(quint64 seed, int count) {
    std::mt19937_64 rng(seed);
    SoakActions actions;
    actions.reserve(count);
    for (int i = 0; i < count; ++i)
        actions << drawAction(rng);
    return actions;
}

QString soakActionsText(const SoakActions& actions) {
    QStringList steps;
    for (const SoakAction& action : actions)
        steps << action.toText();
    return steps.join(QStringLiteral("; "));
}

bool soakActionsFromText(const QString& text, SoakActions* actions) {
    SoakActions read;
    for (const QString& step : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        SoakAction action;
        if (!SoakAction::fromText(step, &action))
            return false;
        read << action;
    }
    *actions = read;
    return true;
}
