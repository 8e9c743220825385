#include "qv4000fp_led.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QColor kOn(Qt::green);
const QColor kOff(Qt::blue);
const QColor kAlt(Qt::yellow);
const QColor kBackground(100, 60, 20);
const QColor kForeground(Qt::red);

// A font of the platform's default family whose metrics report this height.
QFont fontOfHeight(int height) {
    QFont font;
    for (int pixels = 1; pixels < 100; ++pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() == height)
            return font;
    }
    return QFont();
}

int fontHeight(const QWidget& widget) {
    return QFontMetrics(widget.font()).height();
}

void prepare(qv4000fp_led& led, int height) {
    led.setFont(fontOfHeight(height));
    QPalette palette = led.palette();
    palette.setColor(QPalette::Window, kBackground);
    palette.setColor(QPalette::WindowText, kForeground);
    led.setPalette(palette);
    led.resize(led.minimumSizeHint());
}

QImage render(qv4000fp_led& led) {
    return led.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A widget sized to its hint puts the lamp's square at x0 = 2.
QColor lampCentre(qv4000fp_led& led) {
    const int h = fontHeight(led);
    return render(led).pixelColor(2 + h / 2, h / 2);
}

bool near(const QColor& a, const QColor& b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

int pixelsInLampSquareNear(const QImage& image, int h, const QColor& color, int tolerance) {
    int count = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 2; x < 2 + h; ++x)
            count += near(image.pixelColor(x, y), color, tolerance) ? 1 : 0;
    return count;
}

// Counts the paint events the widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

class TestLed : public QObject {
    Q_OBJECT
private slots:
    void minimumSizeHintFollowsFontAndCaption();
    void lampColourFollowsState_data();
    void lampColourFollowsState();
    void magentaOffColourMeansBackground();
    void namedColourConstructor();
    void smallFontDrawsFlatLampLargerDrawsBevel();
    void toggleAndSetValue();
    void unchangedValueOrTextDoesNotRepaint();
};

void TestLed::minimumSizeHintFollowsFontAndCaption() {
    qv4000fp_led led(QString(), kOn, kOff, nullptr);
    led.setFont(fontOfHeight(13));
    QCOMPARE(fontHeight(led), 13);

    // Find a caption exactly 40 pixels wide in the widget's own font.
    const QFontMetrics metrics(led.font());
    QString caption;
    for (int n = 1; n <= 40 && caption.isEmpty(); ++n)
        for (QChar c : QStringLiteral("il.|:'-xXmW0"))
            if (metrics.horizontalAdvance(QString(n, c)) == 40) {
                caption = QString(n, c);
                break;
            }
    QVERIFY2(!caption.isEmpty(), "no 40 pixel caption in this font");
    led.setText(caption);
    QCOMPARE(led.minimumSizeHint(), QSize(61, 15));

    led.setText(QString());
    QCOMPARE(led.minimumSizeHint(), QSize(13 + 1 + 7, 15));
    QCOMPARE(led.sizePolicy().horizontalPolicy(), QSizePolicy::Maximum);
    QCOMPARE(led.sizePolicy().verticalPolicy(), QSizePolicy::Maximum);
}

void TestLed::lampColourFollowsState_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("altSet");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("off") << 0 << false << kOff;
    QTest::newRow("on") << 1 << false << kOn;
    QTest::newRow("2 without alternate") << 2 << false << kOn;
    QTest::newRow("2 with alternate") << 2 << true << kAlt;
    QTest::newRow("off with alternate") << 0 << true << kOff;
    QTest::newRow("1 with alternate") << 1 << true << kOn;
    QTest::newRow("3") << 3 << true << kOn;
    QTest::newRow("-1") << -1 << true << kOn;
}

void TestLed::lampColourFollowsState() {
    QFETCH(int, value);
    QFETCH(bool, altSet);
    QFETCH(QColor, expected);
    for (int height : {9, 24}) {
        qv4000fp_led led(QStringLiteral("Active"), kOn, kOff, nullptr);
        prepare(led, height);
        if (altSet)
            led.setAltColor(kAlt);
        led.setValue(value);
        QCOMPARE(lampCentre(led), expected);
    }
}

void TestLed::magentaOffColourMeansBackground() {
    qv4000fp_led dark(QStringLiteral("Active"), kOn, QColor(Qt::magenta), nullptr);
    const QColor window = dark.palette().color(QPalette::Window);
    dark.setFont(fontOfHeight(24));
    dark.resize(dark.minimumSizeHint());
    QCOMPARE(lampCentre(dark), window);

    qv4000fp_led black(QStringLiteral("Active"), kOn, QColor(Qt::black), nullptr);
    prepare(black, 24);
    QCOMPARE(lampCentre(black), QColor(Qt::black));
}

void TestLed::namedColourConstructor() {
    qv4000fp_led named(QStringLiteral("Active"), "#00ffff", nullptr);
    named.setFont(fontOfHeight(24));
    named.resize(named.minimumSizeHint());
    QCOMPARE(lampCentre(named), named.palette().color(QPalette::Window));
    named.setValue(1);
    QCOMPARE(lampCentre(named), QColor(Qt::cyan));

    qv4000fp_led unnamed(QStringLiteral("Active"), nullptr, nullptr);
    unnamed.setFont(fontOfHeight(24));
    unnamed.resize(unnamed.minimumSizeHint());
    unnamed.setValue(1);
    QCOMPARE(lampCentre(unnamed), QColor(Qt::red));
}

// The flat lamp is outlined in the foreground colour; the bevelled one has a
// rim lit and shaded from the background colour instead.
void TestLed::smallFontDrawsFlatLampLargerDrawsBevel() {
    const QColor light = kBackground.lighter(150);
    const QColor dark = kBackground.darker(200);
    const int tolerance = 12;

    qv4000fp_led flat(QStringLiteral("Active"), kOn, kOff, nullptr);
    prepare(flat, 9);
    const QImage flatImage = render(flat);
    QVERIFY(pixelsInLampSquareNear(flatImage, 9, kForeground, 80) > 0);
    QCOMPARE(pixelsInLampSquareNear(flatImage, 9, dark, tolerance), 0);
    QCOMPARE(pixelsInLampSquareNear(flatImage, 9, light, tolerance), 0);

    for (int height : {10, 24}) {
        qv4000fp_led bevelled(QStringLiteral("Active"), kOn, kOff, nullptr);
        prepare(bevelled, height);
        const QImage image = render(bevelled);
        QCOMPARE(pixelsInLampSquareNear(image, height, kForeground, 80), 0);
        QVERIFY(pixelsInLampSquareNear(image, height, dark, tolerance) > 0);
        QVERIFY(pixelsInLampSquareNear(image, height, light, tolerance) > 0);
    }
}

void TestLed::toggleAndSetValue() {
    qv4000fp_led led(QStringLiteral("Active"), kOn, kOff, nullptr);
    QSignalSpy toggled(&led, &qv4000fp_led::valueToggled);
    QCOMPARE(led.value(), 0);

    led.setValue(2);
    led.setValue(5);
    QCOMPARE(toggled.count(), 0);

    led.setValue(2);
    led.toggleValue();
    QCOMPARE(led.value(), 0);
    led.toggleValue();
    QCOMPARE(led.value(), 1);
    led.setValue(-1);
    led.toggleValue();
    QCOMPARE(led.value(), 0);
    QCOMPARE(toggled.count(), 3);
}

void TestLed::unchangedValueOrTextDoesNotRepaint() {
    qv4000fp_led led(QStringLiteral("Active"), kOn, kOff, nullptr);
    led.show();
    QVERIFY(QTest::qWaitForWindowExposed(&led));
    QCoreApplication::processEvents();
    PaintCounter counter;
    led.installEventFilter(&counter);

    led.setValue(0);
    led.setText(QStringLiteral("Active"));
    QCOMPARE(counter.paints, 0);

    // Changes paint at once, not at the next pass of the event loop.
    led.setValue(1);
    QCOMPARE(counter.paints, 1);
    led.setText(QStringLiteral("Busy"));
    QCOMPARE(counter.paints, 2);
    led.toggleValue();
    QCOMPARE(counter.paints, 3);
    led.setOnColor(Qt::cyan);
    led.setOffColor(Qt::gray);
    led.setAltColor(Qt::white);
    QCOMPARE(counter.paints, 6);
}

QTEST_MAIN(TestLed)
#include "tst_led.moc"
