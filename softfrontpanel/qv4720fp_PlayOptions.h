#ifndef QV4720FP_PLAYOPTIONS_H
#define QV4720FP_PLAYOPTIONS_H

#include <QList>
#include <QString>

class QCommandLineParser;

// --play, --repeat, --recall, --limit and --slew: what the set-point engine
// does from the command line.
struct qv4720fp_PlayOptions {
    struct Limit {
        int channel = 0;
        double low = 0.0;
        double high = 0.0;
    };
    struct Slew {
        int channel = 0;
        double voltsPerSecond = 0.0;
    };

    QString play; // a sequence CSV file
    int repeat = 1;
    QString recall; // a saved setup
    QList<Limit> limits;
    QList<Slew> slews;

    bool any() const {
        return !play.isEmpty() || !recall.isEmpty() || !limits.isEmpty() || !slews.isEmpty();
    }
    // Reads the options into *options; returns the first problem, or an
    // empty text.
    static QString parse(const QCommandLineParser& parser, qv4720fp_PlayOptions* options);
};

#endif
