#ifndef QV4720FP_CONFIG_H
#define QV4720FP_CONFIG_H

#include <QTimer>
#include <QWidget>

class QLabel;
class qv4720_dblCtrl;
class qv4720fp_App;

// The "Voltage Output" page: one control per DAC channel and the card's
// output range. Every change of a control is written to the card at once.
class qv4720fp_Config : public QWidget {
    Q_OBJECT
public:
    static constexpr int ChannelCount = 8;

    explicit qv4720fp_Config(qv4720fp_App* app);

    qv4720_dblCtrl* channelControl(int channel) const { return m_channelCtrls[channel - 1]; }
    QLabel* rangeLabel() const { return m_rangeLabel; }

public slots:
    void setValue_slot(int indx, double val);
    void setpointChanged_slot(int indx);
    // Shows each channel's soft range, and whether it is ramping or driven by
    // a running sequence (read-only then).
    void refreshGuards();

private:
    void addChannelRow(int channel);
    void writeGuarded(int indx, double val);
    void refreshChannel(int channel);
    void watchEngine();

    QLabel* m_channelLabels[ChannelCount];
    qv4720_dblCtrl* m_channelCtrls[ChannelCount];
    QLabel* m_rangeLabel;
    qv4720fp_App* m_app;
    QTimer m_busyPoll; // runs while a channel is shown busy
};

#endif
