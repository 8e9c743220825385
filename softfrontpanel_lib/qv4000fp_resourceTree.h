#ifndef QV4000FP_RESOURCETREE_H
#define QV4000FP_RESOURCETREE_H

#include "qv4000fp_resourceInfo.h"

#include <QList>
#include <QString>
#include <QStringList>

// The rows of the selection tree for the found resources, in the tree's
// order, with no widgets: the dialog turns them into tree items, the command
// line prints them. Group rows (the interface name), carrier rows under
// them, card rows under the carriers.
class qv4000fp_resourceTree {
public:
    static constexpr int MaxCards = 256; // selectable cards listed at most

    struct Row {
        enum class Kind { Group, Carrier, Card };
        Kind kind = Kind::Group;
        int depth = 0;     // 0 group, 1 carrier, 2 card
        QStringList texts; // the row's column texts (one or two)
        int record = -1;   // index of its record in the records given
        int fcSlot = 0;    // card: its function card number, drivable or not
        int fcNumber = 0;  // card: the number to open it with, 0 if not drivable
        bool selectable = false;
        bool expanded = false;
    };

    // Builds the rows for records in list order. A record that failed to
    // open, or is no carrier, shows only as its group row. The listing ends
    // at the first selectable card beyond MaxCards (limitReached()).
    explicit qv4000fp_resourceTree(const QList<resourceInfo_t>& records);

    const QList<Row>& rows() const { return m_rows; }
    int selectableCount() const { return m_selectable; }
    bool limitReached() const { return m_limitReached; }

    // The warning shown once the card limit ended the listing.
    static QString limitWarning();

private:
    bool addCarrier(const resourceInfo_t& record, int recordIndex);

    QList<Row> m_rows;
    int m_selectable = 0;
    bool m_limitReached = false;
};

#endif
