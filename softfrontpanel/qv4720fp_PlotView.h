#ifndef QV4720FP_PLOTVIEW_H
#define QV4720FP_PLOTVIEW_H

class QWidget;

// What the sequence window asks of its live plot. The plot lives in a library
// of its own (qv4720fp_plot), loaded when the window first opens, so that the
// chart library is not loaded before the panel is painted; this interface is
// all the panel knows of it.
class qv4720fp_PlotView {
public:
    virtual ~qv4720fp_PlotView() = default;
    virtual QWidget* widget() = 0;
    virtual void clear() = 0;
    virtual void setVoltageRange(double low, double high) = 0;
    // One write of one channel (1-based) at `seconds`; the channel holds its
    // value until its next write.
    virtual void addPoint(int channel, double seconds, double volts) = 0;
    // The time axis reaches at least to `seconds`.
    virtual void showUntil(double seconds) = 0;
};

// The entry point the plot library exports: a plot parented to `parent`
// (deleted with it).
using qv4720fp_CreatePlot = qv4720fp_PlotView* (*)(QWidget* parent, int channelCount);
#define QV4720FP_CREATE_PLOT_SYMBOL "qv4720fp_createPlot"

#endif
