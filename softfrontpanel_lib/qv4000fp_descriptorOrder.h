#ifndef QV4000FP_DESCRIPTORORDER_H
#define QV4000FP_DESCRIPTORORDER_H

#include "qv4000fp_resourceInfo.h"

#include <QString>

// Orders VISA resource descriptors for the discovery list: descriptors of one
// interface kind go by board number (and, for network ones, by the numbers of
// the address) instead of by text, so that board 2 comes before board 10.
// Descriptors of different kinds keep plain text order. This is not a strict
// weak ordering for every input (letter case can make cycles), so it is only
// handed to std::stable_sort, which stays in bounds whatever it answers.
bool descriptorLessThan(QString a, QString b);

// The order of two found resources: that of their descriptors.
bool resourceRecordLessThan(const resourceInfo_t& x, const resourceInfo_t& y);

#endif
