#include "qv4000fp_led.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
// Angles of QPainter's arc and chord figures are in sixteenths of a degree.
constexpr int kFullTurn = 360 * 16;
constexpr int kHalfTurn = 180 * 16;
constexpr int kUpperLeftStart = 45 * 16;
constexpr int kLowerRightStart = 225 * 16;
// Below this font height the bevel would be a smear of pixels: draw a flat disc.
constexpr int kBevelMinHeight = 10;
} // namespace

qv4000fp_led::qv4000fp_led(QString text, QColor onColor, QColor offColor, QWidget* parent)
    : QWidget(parent), d_onColor(onColor), d_text(text) {
    d_offColor = offColor == QColor(Qt::magenta) ? palette().color(QPalette::Window) : offColor;
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
}

qv4000fp_led::qv4000fp_led(QString text, const char* onColorName, QWidget* parent)
    : QWidget(parent), d_text(text) {
    d_onColor = QColor::fromString(QLatin1String(onColorName ? onColorName : "#FF0000"));
    d_offColor = palette().color(QPalette::Window);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
}

QSize qv4000fp_led::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    const int t = metrics.horizontalAdvance(d_text);
    return QSize(h + 1 + t + ((h + 1) >> 1), h + 2);
}

void qv4000fp_led::setValue(int value) {
    if (value == d_value)
        return;
    d_value = value;
    repaint();
}

void qv4000fp_led::setText(QString text) {
    if (text == d_text)
        return;
    d_text = text;
    repaint();
}

void qv4000fp_led::setOnColor(QColor color) {
    d_onColor = color;
    repaint();
}

void qv4000fp_led::setOffColor(QColor color) {
    d_offColor = color;
    repaint();
}

void qv4000fp_led::setAltColor(QColor color) {
    d_altColor = color;
    d_altColorSet = true;
    repaint();
}

void qv4000fp_led::toggleValue() {
    d_value = d_value == 0 ? 1 : 0;
    repaint();
    emit valueToggled();
}

QColor qv4000fp_led::lampColor() const {
    if (d_value == 2 && d_altColorSet)
        return d_altColor;
    return d_value != 0 ? d_onColor : d_offColor;
}

void qv4000fp_led::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor lamp = lampColor();
    const int h = QFontMetrics(font()).height();
    // Centred on the hint's width; in a widget narrower than the hint the
    // arithmetic shift moves the lamp left, past the edge if need be.
    const int x0 = ((width() - minimumSizeHint().width()) >> 1) + 2;

    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawText(QPoint(x0 + h + (h >> 1), h - 1), d_text);
    if (h < kBevelMinHeight) {
        painter.setBrush(QBrush(lamp, Qt::SolidPattern));
        painter.drawChord(QRect(x0, 0, h, h), 0, kFullTurn);
        return;
    }
    drawBevelledLamp(painter, x0, h, lamp);
}

// A ring lit from the upper left and shaded to the lower right, a circle of
// background between ring and lamp, then the lamp disc itself.
void qv4000fp_led::drawBevelledLamp(QPainter& painter, qreal x0, qreal h, const QColor& lamp) {
    const QColor bg = painter.background().color();
    const QColor light = bg.lighter(150);
    const QColor dark = bg.darker(200);
    const QRectF outer(x0, 0, h, h);
    const QRectF inner(x0 + 2, 2, h - 4, h - 4);

    painter.setPen(light);
    painter.drawArc(outer, kUpperLeftStart, kHalfTurn);
    painter.drawArc(inner, kUpperLeftStart, kHalfTurn);
    painter.setPen(dark);
    painter.drawArc(outer, kLowerRightStart, kHalfTurn);
    painter.drawArc(inner, kLowerRightStart, kHalfTurn);
    painter.setPen(bg);
    painter.drawArc(QRectF(x0 + 1, 1, h - 2, h - 2), 0, kFullTurn);
    painter.setPen(lamp);
    painter.setBrush(QBrush(lamp, Qt::SolidPattern));
    painter.drawChord(QRectF(x0 + 3, 3, h - 6, h - 6), 0, kFullTurn);
}
