#ifndef QV4720FP_TRIGGER_H
#define QV4720FP_TRIGGER_H

#include <QWidget>

class qv4720fp_App;

// Placeholder page for trigger settings; the DAC card has none to show, so
// the panel never creates it.
class qv4720fp_Trigger : public QWidget {
    Q_OBJECT
public:
    explicit qv4720fp_Trigger(qv4720fp_App* app);

    qv4720fp_App* app() const { return m_app; }

private:
    qv4720fp_App* m_app;
};

#endif
