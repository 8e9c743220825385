#ifndef QV4720FP_LISTCOMMAND_H
#define QV4720FP_LISTCOMMAND_H

#include "qv4000fp_discovery.h"
#include "qv4000fp_resourceTree.h"

#include <QByteArray>

// "--list": the cards the selection dialog would offer, printed for scripts
// and terminals without a window.
class qv4720fp_ListCommand {
public:
    enum class Format { Text, Json };
    explicit qv4720fp_ListCommand(Format format);
    // Runs the same discovery as "Auto Find" with no window (a QCoreApplication
    // must exist) and prints the result on standard output; progress on
    // standard error when that is a terminal. Returns the exit status: 0 at
    // least one usable card, 1 none or the search itself failed.
    int run();

    // The listing of the tree's rows, one a line, columns aligned, with the
    // arguments that open each usable card.
    static QByteArray text(const QList<resourceInfo_t>& records, const qv4000fp_resourceTree& tree);
    // Every resource and card as one JSON document (qv4720sfp-list.schema.json),
    // with no card limit; searchError is set when the search failed.
    static QByteArray json(const QList<resourceInfo_t>& records, const QString& searchError);
    // "--resource DESCRIPTOR --fc N", the descriptor quoted for a shell when needed.
    static QString openArguments(const QString& descriptor, int fcNumber);

private:
    static void waitShowingProgress(const qv4000fp_discovery::Queries& queries);
    static QString searchErrorText(ViStatus status);

    Format m_format;
};

#endif
