#ifndef QV4720FP_SEQUENCEWINDOW_H
#define QV4720FP_SEQUENCEWINDOW_H

#include "Sequence.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class qv4720fp_App;
class qv4720fp_PlotView;

// Edits, loads and saves a sequence of steps, plays it on the card's engine
// and shows its progress and a live plot of what was written. The plot comes
// from a library loaded when this window is first built.
class qv4720fp_SequenceWindow : public QWidget {
    Q_OBJECT
public:
    explicit qv4720fp_SequenceWindow(qv4720fp_App* app);

    // Table columns: dwell, the channels, then ramp.
    static constexpr int kDwellColumn = 0;
    static int rampColumn();

    void setSteps(const std::vector<SequenceStep>& steps);
    // The sequence the window describes, or why it cannot be made.
    bool readSequence(Sequence* sequence, QString* error) const;

    QTableWidget* table() const { return m_table; }
    QSpinBox* repeatBox() const { return m_repeat; }
    QLabel* statusLabel() const { return m_status; }
    QLabel* progressLabel() const { return m_progress; }
    bool hasPlot() const { return m_plot != nullptr; }

public slots:
    bool start();
    void pauseOrResume();
    void stop();
    void loadCsv();
    void saveCsv();
    void addStep();
    void removeStep();

private:
    QWidget* buildEditor();
    QWidget* buildRules();
    QWidget* buildControls();
    void loadPlot();
    bool readRule(const QComboBox* kind, StopRule* rule, QString* error) const;
    void poll();
    void showStatus(const QString& text, bool error);

    qv4720fp_App* m_app;
    QTableWidget* m_table = nullptr;
    QSpinBox* m_repeat = nullptr;
    QComboBox* m_endRule = nullptr;
    QComboBox* m_stopRule = nullptr;
    std::vector<QLineEdit*> m_ruleValues;
    QPushButton* m_start = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_stop = nullptr;
    QLabel* m_progress = nullptr;
    QLabel* m_status = nullptr;
    qv4720fp_PlotView* m_plot = nullptr;
    QTimer m_poll;
    uint64_t m_nextRecord = 0;
    bool m_running = false; // a run started here has not been seen to end
};

#endif
