// The two bundles the program carries: registered before main with no
// Q_INIT_RESOURCE call anywhere, each entry with its exact format and size,
// the logos stored zlib-compressed, the licence texts complete.

#include "qv4000fp_splashLabel.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QResource>
#include <QtTest>

namespace {
// Filled by main() before any Qt object exists.
bool frameworkBundleAtStart = false;
bool cardBundleAtStart = false;

QStringList leadingLines(const QString& name, int count) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    while (lines.size() < count && !file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

// Bits per pixel as the BMP header records them (QImage widens 24 to 32).
int bmpBitsPerPixel(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = file.read(30);
    if (header.size() < 30 || !header.startsWith("BM"))
        return -1;
    return quint8(header[28]) | quint8(header[29]) << 8;
}
} // namespace

class tst_resourceBundles : public QObject {
    Q_OBJECT
private slots:
    void bothBundlesRegisteredBeforeMain();
    void images_data();
    void images();
    void logosAre24BitAndZlibCompressed_data();
    void logosAre24BitAndZlibCompressed();
    void licenceTexts_data();
    void licenceTexts();
    void splashShowsTheCardPicture();
};

void tst_resourceBundles::bothBundlesRegisteredBeforeMain() {
    QVERIFY(frameworkBundleAtStart);
    QVERIFY(cardBundleAtStart);
}

void tst_resourceBundles::images_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::newRow("card") << ":/qv4720fp_splash.png" << QByteArray("png") << QSize(452, 194);
    QTest::newRow("splash") << ":/fp_splash.png" << QByteArray("png") << QSize(520, 400);
    QTest::newRow("about") << ":/about.png" << QByteArray("png") << QSize(110, 345);
    QTest::newRow("maker") << ":/quorvel-logo.bmp" << QByteArray("bmp") << QSize(86, 84);
    QTest::newRow("vxi") << ":/vxi-logo.bmp" << QByteArray("bmp") << QSize(146, 84);
    QTest::newRow("lxi") << ":/lxi-logo.bmp" << QByteArray("bmp") << QSize(121, 84);
}

void tst_resourceBundles::images() {
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QImageReader reader(name);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), format);
    QCOMPARE(reader.read().size(), size);
}

void tst_resourceBundles::logosAre24BitAndZlibCompressed_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("maker") << ":/quorvel-logo.bmp";
    QTest::newRow("vxi") << ":/vxi-logo.bmp";
    QTest::newRow("lxi") << ":/lxi-logo.bmp";
}

void tst_resourceBundles::logosAre24BitAndZlibCompressed() {
    QFETCH(QString, name);
    QCOMPARE(bmpBitsPerPixel(name), 24);
    const QResource resource(name);
    QCOMPARE(resource.compressionAlgorithm(), QResource::Compression::ZlibCompression);
    QVERIFY(!QImage(name).isNull());
}

void tst_resourceBundles::licenceTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("start");
    QTest::addColumn<QString>("end");
    QTest::newRow("qt 4") << ":/qt-lgpl-license.txt"
                          << QStringList{"GNU LESSER GENERAL PUBLIC LICENSE",
                                         "Version 2.1, February 1999"}
                          << "That's all there is to it!";
    QTest::newRow("qt 5") << ":/qt5-lgpl-license.txt"
                          << QStringList{"GNU LESSER GENERAL PUBLIC LICENSE",
                                         "Version 3, 29 June 2007"}
                          << "Library.";
    QTest::newRow("qwt") << ":/qwt-lgpl-license.txt"
                         << QStringList{"Qwt License", "Version 1.0, January 1, 2003"}
                         << "the Qwt project (http://qwt.sf.net).";
    QTest::newRow("kiss fft")
        << ":/kiss-fft-bsd-license.txt"
        << QStringList{"Copyright (c) 2003-2022, Mark Borgerding. All rights reserved.",
                       "Redistribution and use in source and binary forms, with or without "
                       "modification,"}
        << "USE OF THIS SOFTWARE, EVEN IF ADVISED OF THE POSSIBILITY OF SUCH DAMAGE.";
}

void tst_resourceBundles::licenceTexts() {
    QFETCH(QString, name);
    QFETCH(QStringList, start);
    QFETCH(QString, end);
    QCOMPARE(leadingLines(name, start.size()), start);
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.trimmed().endsWith(end), qPrintable(text.right(80)));
}

// The DAC card's picture comes from the card bundle and lands at 67,43.
void tst_resourceBundles::splashShowsTheCardPicture() {
    const QImage splash = qv4000fp_splashLabel(1.0f, 20, 0x4720, true, "(c)", "DAC")
                              .toImage()
                              .convertToFormat(QImage::Format_RGB32);
    QImage expected = QImage(":/fp_splash.png").convertToFormat(QImage::Format_RGB32);
    const QImage card(":/qv4720fp_splash.png");
    QPainter painter(&expected);
    painter.drawImage(QPointF(67.0, 43.0), card);
    painter.end();
    QCOMPARE(splash.copy(67, 43, 452, 194), expected.copy(67, 43, 452, 194));
}

int main(int argc, char* argv[]) {
    // Before any Qt object: the bundles must already be there.
    frameworkBundleAtStart = QFile::exists(QStringLiteral(":/fp_splash.png"));
    cardBundleAtStart = QFile::exists(QStringLiteral(":/qv4720fp_splash.png"));
    QApplication app(argc, argv);
    tst_resourceBundles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_resourceBundles.moc"
