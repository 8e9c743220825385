#ifndef CLICKABLELABEL_H
#define CLICKABLELABEL_H

#include <QLabel>

// A short underlined link text that reports every mouse button release.
class clickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit clickableLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

#endif
