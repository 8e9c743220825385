#include "clickableLabel.h"
#include "kissFFTLicense.h"
#include "qtLicense.h"
#include "qwtLicense.h"

#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {
QString resourceText(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

std::unique_ptr<QDialog> licenseDialog(const QString& which) {
    if (which == QLatin1String("qt"))
        return std::make_unique<qtLicense>();
    if (which == QLatin1String("qwt"))
        return std::make_unique<qwtLicense>();
    return std::make_unique<kissFFTLicense>();
}

QTextEdit* textArea(QDialog* dialog) {
    return dialog->findChild<QTextEdit*>();
}
} // namespace

class LicenseTest : public QObject {
    Q_OBJECT
private slots:
    void qtLicenseFollowsRuntimeVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("lgpl21");
        QTest::addColumn<QString>("resource");
        QTest::newRow("4.8.6") << "4.8.6" << true << ":/qt-lgpl-license.txt";
        QTest::newRow("5.15.2") << "5.15.2" << false << ":/qt5-lgpl-license.txt";
        QTest::newRow("6.4.2") << "6.4.2" << false << ":/qt5-lgpl-license.txt";
    }
    void qtLicenseFollowsRuntimeVersion() {
        QFETCH(QString, version);
        QFETCH(bool, lgpl21);
        QFETCH(QString, resource);
        QCOMPARE(qtRuntimeUsesLgpl21(version), lgpl21);
        QCOMPARE(qtLicenseResource(version), resource);
    }

    void textAreaSizeScalesWithDpi() {
        QCOMPARE(licenseTextMinimumSize(96), QSize(650, 500));
        QCOMPARE(licenseTextMinimumSize(144), QSize(975, 750));
        // 812.5 x 625: truncated, not rounded.
        QCOMPARE(licenseTextMinimumSize(120), QSize(812, 625));
    }

    void dialogs_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("resource");
        QTest::newRow("qt") << "qt"
                            << "Qt LGPL License" << qtLicenseResource(qVersion());
        QTest::newRow("qwt") << "qwt"
                             << "Qwt LGPL License"
                             << ":/qwt-lgpl-license.txt";
        QTest::newRow("kiss") << "kiss"
                              << "KISS FFT BSD License"
                              << ":/kiss-fft-bsd-license.txt";
    }
    void dialogs() {
        QFETCH(QString, which);
        QFETCH(QString, title);
        QFETCH(QString, resource);
        auto dialog = licenseDialog(which);
        QCOMPARE(dialog->windowTitle(), title);
        QVERIFY(dialog->isModal());
        QTextEdit* text = textArea(dialog.get());
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->lineWrapMode(), QTextEdit::NoWrap);
        QCOMPARE(text->font().family(), QStringLiteral("Courier"));
        QCOMPARE(text->minimumSize(), licenseTextMinimumSize(dialog->logicalDpiX()));
        const QString expected = resourceText(resource);
        QVERIFY2(!expected.isEmpty(), qPrintable(resource + " is not in the resources"));
        QCOMPARE(text->toPlainText(), expected);

        auto* ok = dialog->findChild<QPushButton*>();
        QCOMPARE(ok->text(), QStringLiteral("Ok"));
        dialog->show();
        ok->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(dialog->isHidden());
    }

    void textShownVerbatimAndUnwrapped() {
        const QString resource = QStringLiteral(":/about-test/markup-and-long-line.txt");
        qv4000fp_licenseDialog dialog(QStringLiteral("Test"), resource, nullptr);
        QTextEdit* text = textArea(&dialog);
        QCOMPARE(text->toPlainText(), resourceText(resource));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(text->horizontalScrollBar()->maximum() > 0);
    }

    void missingTextLeavesAreaEmpty() {
        qv4000fp_licenseDialog dialog(QStringLiteral("Test"), QStringLiteral(":/none.txt"),
                                      nullptr);
        QVERIFY(textArea(&dialog)->toPlainText().isEmpty());
    }

    // Run again by CTest on a 144 dpi screen.
    void textAreaFollowsScreenDpi() {
        const int dpi = qEnvironmentVariableIsSet("ABOUT_EXPECTED_DPI")
                            ? qEnvironmentVariableIntValue("ABOUT_EXPECTED_DPI")
                            : 96;
        qwtLicense dialog;
        QCOMPARE(dialog.logicalDpiX(), dpi);
        const QSize expected = dpi == 144 ? QSize(975, 750) : QSize(650, 500);
        QCOMPARE(textArea(&dialog)->minimumSize(), expected);
    }

    void clickableLabelIsALinkThatReportsEveryRelease() {
        clickableLabel label(QStringLiteral("BSD"));
        QCOMPARE(label.text(), QStringLiteral("<u><font color='#22e'>BSD</font></u>"));
        QCOMPARE(label.textFormat(), Qt::RichText);
        QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
        label.show();
        QSignalSpy clicked(&label, &clickableLabel::clicked);
        QTest::mousePress(&label, Qt::LeftButton);
        QCOMPARE(clicked.count(), 0);
        QTest::mouseRelease(&label, Qt::LeftButton);
        QTest::mouseRelease(&label, Qt::RightButton);
        QCOMPARE(clicked.count(), 2);
    }
};

QTEST_MAIN(LicenseTest)
#include "tst_licenses.moc"
