#include "qv4720_dblCtrl.h"

qv4720_dblCtrl::qv4720_dblCtrl(int index) : m_index(index) {
    connect(this, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &qv4720_dblCtrl::valueChanged_slot);
}

void qv4720_dblCtrl::valueChanged_slot(double value) {
    emit valueChanged(m_index, value);
}
