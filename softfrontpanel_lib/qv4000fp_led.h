#ifndef QV4000FP_LED_H
#define QV4000FP_LED_H

#include <QColor>
#include <QString>
#include <QWidget>

// A round, self-drawn lamp followed by a caption. Its value is tri-state:
// 0 off, non-zero on, and 2 on in the alternate colour once one is set.
class qv4000fp_led : public QWidget {
    Q_OBJECT
public:
    // An off colour of Qt::magenta stands for the window's background colour.
    qv4000fp_led(QString text, QColor onColor, QColor offColor, QWidget* parent);
    // A null colour name means red; the lamp is dark in the background colour.
    qv4000fp_led(QString text, const char* onColorName, QWidget* parent);

    QSize minimumSizeHint() const override;

    int value() const { return d_value; }
    QString text() const { return d_text; }

    void setValue(int value);
    void setText(QString text);
    void setOnColor(QColor color);
    void setOffColor(QColor color);
    void setAltColor(QColor color);

public slots:
    void toggleValue();

signals:
    void valueToggled();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor lampColor() const;
    void drawBevelledLamp(QPainter& painter, qreal x0, qreal h, const QColor& lamp);

    int d_value = 0;
    QColor d_onColor;
    QColor d_offColor;
    QColor d_altColor = Qt::black;
    QString d_text;
    bool d_altColorSet = false;
};

#endif
