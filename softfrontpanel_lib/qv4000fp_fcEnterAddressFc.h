#ifndef QV4000FP_FCENTERADDRESSFC_H
#define QV4000FP_FCENTERADDRESSFC_H

#include <QWidget>

class QComboBox;

// One row of the address entry dialog: a carrier's resource descriptor (typed,
// or one of the row's recent descriptors) and the function card number.
class qv4000fp_fcEnterAddressFc : public QWidget {
    Q_OBJECT
public:
    qv4000fp_fcEnterAddressFc();

    // Edit text: the descriptor being entered; items: the recent descriptors.
    QComboBox* m_descriptorCombo;
    // Item 0 "Select" (none chosen), items 1 to 8 "FC 1" to "FC 8": the index is the number.
    QComboBox* m_fcCombo;
};

#endif
