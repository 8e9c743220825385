#ifndef QV4720FP_CHARTPLOT_H
#define QV4720FP_CHARTPLOT_H

#include "qv4720fp_PlotView.h"

#include <QChartView>

#include <vector>

class QLineSeries;
class QValueAxis;

// The live plot of the channels against time, drawn as steps (a channel
// holds its value between writes). Keeps the newest points of each channel.
class qv4720fp_ChartPlot : public QChartView, public qv4720fp_PlotView {
    Q_OBJECT
public:
    static constexpr int kMaxPointsPerChannel = 4000;

    qv4720fp_ChartPlot(QWidget* parent, int channelCount);

    QWidget* widget() override { return this; }
    void clear() override;
    void setVoltageRange(double low, double high) override;
    void addPoint(int channel, double seconds, double volts) override;
    void showUntil(double seconds) override;

private:
    std::vector<QLineSeries*> m_series;
    QValueAxis* m_time;
    QValueAxis* m_volts;
    double m_start = 0;
    double m_end = 1;
};

#endif
