#ifndef QV4720_DBLCTRL_H
#define QV4720_DBLCTRL_H

#include <QDoubleSpinBox>

// The value control of one DAC channel: relays each value change together
// with the channel number it stands for.
class qv4720_dblCtrl : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit qv4720_dblCtrl(int index);

    int index() const { return m_index; }

signals:
    void valueChanged(int indx, double val);

public slots:
    void valueChanged_slot(double);

private:
    int m_index;
};

#endif
