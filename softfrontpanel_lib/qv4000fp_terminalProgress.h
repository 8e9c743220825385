#ifndef QV4000FP_TERMINALPROGRESS_H
#define QV4000FP_TERMINALPROGRESS_H

#include <QByteArray>

#include <cstdio>

// A one-line "Searching... 12 of 128" on a terminal, rewritten in place and
// erased at the end, for the headless search. Silent on anything that is no
// terminal (a pipe, a file) and when there is nothing to wait for.
class qv4000fp_terminalProgress {
public:
    // Steps are counted as the search reports them: `skipped` steps (items
    // done before the wait) come before the `total` steps shown.
    qv4000fp_terminalProgress(std::FILE* stream, int skipped, int total);
    // As above, with the terminal test made by the caller.
    qv4000fp_terminalProgress(std::FILE* stream, bool isTerminal, int skipped, int total);
    ~qv4000fp_terminalProgress();

    void show(int steps);
    // Clears the line; nothing more is shown after it.
    void erase();

    qv4000fp_terminalProgress(const qv4000fp_terminalProgress&) = delete;
    qv4000fp_terminalProgress& operator=(const qv4000fp_terminalProgress&) = delete;

private:
    void write(const QByteArray& bytes);

    std::FILE* m_stream;
    bool m_active;
    int m_skipped;
    int m_total;
    int m_shown = -1;
    qsizetype m_width = 0;
};

#endif
