#ifndef QV4720FP_SAFETYDIALOG_H
#define QV4720FP_SAFETYDIALOG_H

#include "SafetySettings.h"
#include "Sequence.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class qv4720fp_App;

// Per-channel soft limits and slew limits of the card's engine, and saving
// and recalling whole setups (set-points with those settings). An empty cell
// is "off".
class qv4720fp_SafetyDialog : public QDialog {
    Q_OBJECT
public:
    explicit qv4720fp_SafetyDialog(qv4720fp_App* app);

    // Shows the settings in force.
    void refresh();
    QLineEdit* cell(int channel, int column) const { return m_cells[channel - 1][column]; }
    QLabel* statusLabel() const { return m_status; }

    enum Column { Low, High, Slew, ColumnCount };

public slots:
    bool apply();
    void saveSetup();
    void recallSetup();

private:
    // The settings the cells say, or why they cannot be taken.
    bool readCells(SafetySettings* settings, QString* error) const;
    void showStatus(const QString& text, bool error);

    qv4720fp_App* m_app;
    QLineEdit* m_cells[8][ColumnCount];
    QLabel* m_status;
};

#endif
