#ifndef SOAKACTION_H
#define SOAKACTION_H

#include <QList>
#include <QString>

#include <random>

// One step of the random operator: what the operator does, with everything it
// needs fixed when the list is drawn, so that a list replays the same way and
// can be shortened by dropping steps. Each step also has a one-line text form
// ("type 3 '1e3' enter") that a failing run prints and a regression test keeps.
struct SoakAction {
    enum class Kind {
        Type,      // click a channel control, select all, type text, then end
        Hold,      // hold an arrow or page key on a channel control
        Wheel,     // turn the wheel over a channel control
        Reset,     // click "Reset Device"
        About,     // click "About" (count times), page, then OK or leave it open
        WhatsThis, // enter What's This, click a channel control, leave
        Close,     // click "Close" (the answer decides)
        Resize,    // resize the window
        Fault,     // the bench injects a status into a library function from now on
    };
    Kind kind = Kind::Reset;
    int channel = 1; // Type, Hold, Wheel, WhatsThis
    QString text;    // Type: the characters; Hold: key name; Type: end key in `word`
    QString word;    // Type: enter/tab/escape/none; Fault: the function
    int count = 1;   // Hold: key repeats; Wheel: notches (signed); About: clicks
    int width = 0;   // Resize
    int height = 0;  // Resize
    long status = 0; // Fault

    QString toText() const;
    // Reads one step in the form toText writes; false (and *action unchanged)
    // on anything else.
    static bool fromText(const QString& text, SoakAction* action);
};

using SoakActions = QList<SoakAction>;

// The library functions the soak injects statuses into.
extern const char* const kSoakFaultFunctions[4];

// Draws count steps for the seed; the same seed always gives the same list.
SoakActions soakActionsFor(quint64 seed, int count);

// "a; b; c" and back; parsing fails on the first step it cannot read.
QString soakActionsText(const SoakActions& actions);
bool soakActionsFromText(const QString& text, SoakActions* actions);

#endif
