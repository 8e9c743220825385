#include "qv4720fp_ChartPlot.h"

#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace {
const char* const kSeriesName = "ch%1";
const char* const kTimeTitle = "Time (s)";
const char* const kVoltsTitle = "Voltage (V)";
const int kMinimumHeight = 220;
} // namespace

qv4720fp_ChartPlot::qv4720fp_ChartPlot(QWidget* parent, int channelCount) : QChartView(parent) {
    auto* chart = new QChart;
    m_time = new QValueAxis;
    m_time->setTitleText(QString::fromLatin1(kTimeTitle));
    m_volts = new QValueAxis;
    m_volts->setTitleText(QString::fromLatin1(kVoltsTitle));
    chart->addAxis(m_time, Qt::AlignBottom);
    chart->addAxis(m_volts, Qt::AlignLeft);
    for (int channel = 1; channel <= channelCount; ++channel) {
        auto* series = new QLineSeries;
        series->setName(QString::fromLatin1(kSeriesName).arg(channel));
        chart->addSeries(series);
        series->attachAxis(m_time);
        series->attachAxis(m_volts);
        m_series.push_back(series);
    }
    setChart(chart);
    setRenderHint(QPainter::Antialiasing, false);
    setMinimumHeight(kMinimumHeight);
    clear();
}

void qv4720fp_ChartPlot::clear() {
    for (QLineSeries* series : m_series)
        series->clear();
    m_start = 0;
    m_end = 1;
    m_time->setRange(m_start, m_end);
}

void qv4720fp_ChartPlot::setVoltageRange(double low, double high) {
    m_volts->setRange(low, high);
}

void qv4720fp_ChartPlot::addPoint(int channel, double seconds, double volts) {
    if (channel < 1 || channel > int(m_series.size()))
        return;
    QLineSeries* series = m_series[channel - 1];
    // A step: the old value up to this moment, then the new one.
    if (series->count() > 0)
        series->append(seconds, series->at(series->count() - 1).y());
    series->append(seconds, volts);
    if (series->count() > kMaxPointsPerChannel)
        series->removePoints(0, series->count() - kMaxPointsPerChannel);
    m_start = std::min(m_start, seconds);
    showUntil(seconds);
}

void qv4720fp_ChartPlot::showUntil(double seconds) {
    m_end = std::max(m_end, seconds);
    m_time->setRange(m_start, m_end);
}

extern "C" Q_DECL_EXPORT qv4720fp_PlotView* qv4720fp_createPlot(QWidget* parent, int channelCount) {
    return new qv4720fp_ChartPlot(parent, channelCount);
}
