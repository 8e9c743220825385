#include "qv4000fp_resourceTree.h"

namespace {
const char* const kLimitText =
    "Found more Function Cards than supported by this SoftFrontPanel. Only first %1 are "
    "available.\nPlease contact Quorvel's support if you need support for more cards.";
} // namespace

qv4000fp_resourceTree::qv4000fp_resourceTree(const QList<resourceInfo_t>& records) {
    QString previousGroup;
    bool anyGroup = false;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const resourceInfo_t& record = records.at(i);
        const QString group = record.descriptor.section(QLatin1Char(':'), 0, 0);
        if (!anyGroup || group != previousGroup) {
            Row row;
            row.texts = QStringList(group);
            row.record = static_cast<int>(i);
            row.expanded = true;
            m_rows << row;
            previousGroup = group;
            anyGroup = true;
        }
        if (record.systemText.isEmpty())
            continue;
        if (!addCarrier(record, static_cast<int>(i)))
            break;
    }
}

QString qv4000fp_resourceTree::limitWarning() {
    return QString::fromLatin1(kLimitText).arg(MaxCards);
}

// Adds the carrier row and its card rows; false when the card limit ended
// the listing. The carrier is expanded when one of its listed cards is
// selectable, also where the limit ends the listing.
bool qv4000fp_resourceTree::addCarrier(const resourceInfo_t& record, int recordIndex) {
    const qsizetype carrierRow = m_rows.size();
    Row carrier;
    carrier.kind = Row::Kind::Carrier;
    carrier.depth = 1;
    carrier.texts = record.systemText;
    carrier.record = recordIndex;
    m_rows << carrier;
    const qsizetype cards = qMin(record.fcColumns.size(), record.fcNumbers.size());
    for (qsizetype k = 0; k < cards; ++k) {
        const int fcNumber = record.fcNumbers.at(k);
        if (fcNumber != 0 && m_selectable == MaxCards) {
            m_limitReached = true;
            return false;
        }
        Row card;
        card.kind = Row::Kind::Card;
        card.depth = 2;
        card.texts = record.fcColumns.at(k);
        card.record = recordIndex;
        card.fcSlot = k < record.fcSlots.size() ? record.fcSlots.at(k) : fcNumber;
        card.fcNumber = fcNumber;
        card.selectable = fcNumber != 0;
        if (card.selectable) {
            ++m_selectable;
            m_rows[carrierRow].expanded = true;
        }
        m_rows << card;
    }
    return true;
}
