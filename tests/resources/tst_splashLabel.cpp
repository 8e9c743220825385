// The splash composer: which card picture lands where, the model number in
// either base, and the three text rows with their fonts. Card pictures are
// injected under made-up model codes through this test's own resources.

#include "qv4000fp_splashLabel.h"

#include <QFontMetrics>
#include <QImage>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {
const QByteArray kWrongSizeMessage =
    "The size of the image of the device, that is to be used in the splash screen, is not as "
    "required!!!\n";
const QString kCopyright = QStringLiteral("Copyright (c) Quorvel. All rights reserved.");
const QString kDescription = QStringLiteral("8-Channel, 18-bit DAC Function Card");

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGreen = qRgb(0, 200, 0);
const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kCyan = qRgb(0, 255, 255);

// Whatever the work writes to the process's standard output.
QByteArray captureStdout(const std::function<void()>& work) {
    QTemporaryFile sink;
    if (!sink.open())
        return "cannot capture";
    std::fflush(stdout);
    const int saved = dup(fileno(stdout));
    dup2(sink.handle(), fileno(stdout));
    work();
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);
    sink.seek(0);
    return sink.readAll();
}

struct Splash {
    QPixmap pixmap;
    QImage image;
    QByteArray printed;
};

Splash compose(int model, bool hexModel = true, float scale = 1.0f, int margin = 20,
               const QString& description = kDescription) {
    Splash s;
    s.printed = captureStdout([&] {
        s.pixmap = qv4000fp_splashLabel(scale, margin, model, hexModel, kCopyright, description);
    });
    s.image = s.pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    return s;
}

QImage background() {
    return QImage(QStringLiteral(":/fp_splash.png")).convertToFormat(QImage::Format_RGB32);
}

// Bounds of the pixels the composer changed on the background within rows
// [top, bottom): the ink of whatever text sits there.
QRect inkBetween(const QImage& composed, int top, int bottom) {
    const QImage plain = background();
    QRect ink;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < composed.width(); ++x)
            if (composed.pixel(x, y) != plain.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QFont boldFont(int pointSize) {
    QFont font;
    font.setWeight(QFont::Bold);
    font.setPointSize(pointSize);
    return font;
}

int lineHeight(int pointSize, const QPixmap& device) {
    return QFontMetrics(boldFont(pointSize), &device).height();
}

int inkWidth(const QString& text, int pointSize, const QPixmap& device) {
    return QFontMetrics(boldFont(pointSize), &device).tightBoundingRect(text).width();
}

// Anti-aliased edges may add or lose a pixel on either side.
const int kInkSlack = 2;

int countPixels(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}
} // namespace

class tst_splashLabel : public QObject {
    Q_OBJECT
private slots:
    void fullSizeBmpWinsAndGivesOnlyTheCardBand();
    void cardSizedBmpFallsBackToPng();
    void missingOrMisSizedPictureOnlyPrints_data();
    void missingOrMisSizedPictureOnlyPrints();
    void decimalModelNamesPictureAndTitle();
    void fontSizesAreTruncated_data();
    void fontSizesAreTruncated();
    void textRowsSitInTheirBoxes();
    void marginNarrowsTheTextArea_data();
    void marginNarrowsTheTextArea();
};

void tst_splashLabel::fullSizeBmpWinsAndGivesOnlyTheCardBand() {
    const Splash s = compose(0x9101);
    const QImage plain = background();
    QCOMPARE(s.image.size(), QSize(520, 400));
    QCOMPARE(s.printed, QByteArray());
    // The band 67,38 453 x 199 comes from the BMP, corner to corner...
    QCOMPARE(s.image.pixel(67, 38), kBlack);
    QCOMPARE(s.image.pixel(519, 236), kBlack);
    QCOMPARE(s.image.pixel(300, 140), kBlack);
    // ...the BMP's white surround does not, and the PNG is never drawn.
    QCOMPARE(s.image.pixel(66, 100), plain.pixel(66, 100));
    QCOMPARE(s.image.pixel(300, 37), plain.pixel(300, 37));
    QCOMPARE(s.image.pixel(300, 237), plain.pixel(300, 237));
    QCOMPARE(s.image.pixel(20, 300), plain.pixel(20, 300));
    QCOMPARE(countPixels(s.image, kGreen), 0);
}

void tst_splashLabel::cardSizedBmpFallsBackToPng() {
    const Splash s = compose(0x9103);
    const QImage plain = background();
    QCOMPARE(s.printed, QByteArray());
    QCOMPARE(countPixels(s.image, kMagenta), 452 * 194);
    QCOMPARE(s.image.pixel(67, 43), kMagenta);
    QCOMPARE(s.image.pixel(518, 236), kMagenta);
    QCOMPARE(s.image.pixel(66, 43), plain.pixel(66, 43));
    QCOMPARE(s.image.pixel(67, 42), plain.pixel(67, 42));
}

void tst_splashLabel::missingOrMisSizedPictureOnlyPrints_data() {
    QTest::addColumn<int>("model");
    QTest::newRow("452 x 195 png") << 0x9102;
    QTest::newRow("no picture at all") << 0x9104;
}

void tst_splashLabel::missingOrMisSizedPictureOnlyPrints() {
    QFETCH(int, model);
    const Splash s = compose(model);
    QCOMPARE(s.printed, kWrongSizeMessage);
    QCOMPARE(s.image.size(), QSize(520, 400));
    QCOMPARE(s.image.copy(0, 0, 520, 238), background().copy(0, 0, 520, 238));
}

void tst_splashLabel::decimalModelNamesPictureAndTitle() {
    const Splash s = compose(0x4720, false);
    const QImage plain = background();
    QCOMPARE(s.printed, QByteArray());
    QCOMPARE(s.image.pixel(67, 43), kCyan);
    QCOMPARE(s.image.pixel(518, 236), kCyan);
    QCOMPARE(s.image.pixel(66, 43), plain.pixel(66, 43));

    const int titleHeight = lineHeight(18, s.pixmap);
    const QRect title = inkBetween(s.image, 238, 236 + 2 * titleHeight);
    QVERIFY(qAbs(title.width() - inkWidth("Zelvan 18208", 18, s.pixmap)) <= kInkSlack);
    QVERIFY(qAbs(title.width() - inkWidth("Zelvan 4720", 18, s.pixmap)) > kInkSlack);
}

void tst_splashLabel::fontSizesAreTruncated_data() {
    QTest::addColumn<float>("scale");
    QTest::addColumn<int>("titlePoints");
    QTest::addColumn<int>("descriptionPoints");
    QTest::newRow("1.0") << 1.0f << 18 << 12;
    QTest::newRow("0.9") << 0.9f << 16 << 10;
    QTest::newRow("1.3") << 1.3f << 23 << 15;
}

// Measured from the ink: the title and the description each have the width
// their truncated point size gives, and not the next size up.
void tst_splashLabel::fontSizesAreTruncated() {
    QFETCH(float, scale);
    QFETCH(int, titlePoints);
    QFETCH(int, descriptionPoints);
    const Splash s = compose(0x9101, true, scale);
    const int titleHeight = lineHeight(titlePoints, s.pixmap);
    const int smallHeight = lineHeight(8, s.pixmap);

    const QRect title = inkBetween(s.image, 238, 236 + 2 * titleHeight);
    const QRect description = inkBetween(s.image, 236 + 2 * titleHeight, 400 - 2 * smallHeight);
    const QString titleText = QStringLiteral("Zelvan 9101");
    for (int points : {titlePoints, titlePoints + 1}) {
        const bool expected = points == titlePoints;
        QCOMPARE(qAbs(title.width() - inkWidth(titleText, points, s.pixmap)) <= kInkSlack,
                 expected);
    }
    for (int points : {descriptionPoints, descriptionPoints + 1}) {
        const bool expected = points == descriptionPoints;
        QCOMPARE(qAbs(description.width() - inkWidth(kDescription, points, s.pixmap)) <= kInkSlack,
                 expected);
    }
}

void tst_splashLabel::textRowsSitInTheirBoxes() {
    const Splash s = compose(0x9101);
    const int ht = lineHeight(18, s.pixmap);
    const int hd = lineHeight(12, s.pixmap);
    const int hs = lineHeight(8, s.pixmap);

    const QRect title = inkBetween(s.image, 238, 236 + 2 * ht);
    QVERIFY(title.top() >= 236 + ht / 2);
    QVERIFY(title.bottom() < 236 + ht / 2 + ht);

    // Top-aligned: the first line starts right at the box's top.
    const QRect description = inkBetween(s.image, 236 + 2 * ht, 400 - 2 * hs);
    QVERIFY(description.top() >= 236 + 2 * ht);
    QVERIFY(description.top() < 236 + 2 * ht + hd / 2);
    QVERIFY(description.height() < hd);

    const QRect copyright = inkBetween(s.image, 400 - 2 * hs, 400);
    QVERIFY(copyright.top() >= 400 - 2 * hs);
    QVERIFY(copyright.bottom() < 400 - hs);

    // All three are centred on the text area, x 87 .. 500.
    for (const QRect& ink : {title, description, copyright})
        QVERIFY2(qAbs(ink.center().x() - 293) <= kInkSlack, qPrintable(QString::number(ink.x())));
}

void tst_splashLabel::marginNarrowsTheTextArea_data() {
    QTest::addColumn<int>("margin");
    QTest::addColumn<bool>("wraps");
    QTest::newRow("20") << 20 << false;
    QTest::newRow("140") << 140 << true;
}

void tst_splashLabel::marginNarrowsTheTextArea() {
    QFETCH(int, margin);
    QFETCH(bool, wraps);
    const Splash s = compose(0x9101, true, 1.0f, margin);
    const int ht = lineHeight(18, s.pixmap);
    const int hd = lineHeight(12, s.pixmap);
    const int hs = lineHeight(8, s.pixmap);

    const QRect description = inkBetween(s.image, 236 + 2 * ht, 400 - 2 * hs);
    QVERIFY(description.left() >= 67 + margin);
    QVERIFY(description.right() < 520 - margin);
    QCOMPARE(description.height() > hd, wraps);
}

QTEST_MAIN(tst_splashLabel)
#include "tst_splashLabel.moc"
