#include "ModalAnswerer.h"
#include "clickableLabel.h"
#include "qv4000fp_About.h"

#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {
const char* const kVersion = "4.3.1.12523";
const char* const kDriver = "1.0.3";

std::unique_ptr<qv4000fp_About> makeAbout(const char* commonLib = "4.3.0",
                                          const char* qwtVersion = nullptr, bool usesFft = false) {
    return std::make_unique<qv4000fp_About>(kVersion, kDriver, "4720", "(c) Quorvel", nullptr,
                                            commonLib, qwtVersion, usesFft);
}

// A label's text without markup; a container's labels joined.
QString plainText(QWidget* widget) {
    if (!widget)
        return QString();
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    for (QLabel* label : widget->findChildren<QLabel*>())
        text += label->text();
    return text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
}

QString textOf(QGroupBox* box) {
    return box->title();
}
QString textOf(QPushButton* button) {
    return button->text();
}
QString textOf(clickableLabel* label) {
    return plainText(label);
}

// The dialog builds its contents when first shown: look at it as the operator does.
template <class T> T* child(QDialog& dialog, const QString& text) {
    dialog.show();
    for (T* widget : dialog.findChildren<T*>())
        if (textOf(widget) == text)
            return widget;
    return nullptr;
}

QGroupBox* group(QDialog& dialog, const QString& title) {
    return child<QGroupBox>(dialog, title);
}

// "label=value" per row of a form group.
QStringList formRows(QDialog& dialog, const QString& title) {
    auto* form = qobject_cast<QFormLayout*>(group(dialog, title)->layout());
    QStringList rows;
    for (int row = 0; row < form->rowCount(); ++row)
        rows << plainText(form->itemAt(row, QFormLayout::LabelRole)->widget()) + "=" +
                    plainText(form->itemAt(row, QFormLayout::FieldRole)->widget());
    return rows;
}

// "row:col0|col1|col2" for each non-empty row of the licence grid.
QStringList licenseGrid(QDialog& dialog) {
    auto* grid = qobject_cast<QGridLayout*>(group(dialog, "Third-Party Licenses")->layout());
    QStringList rows;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid->columnCount(); ++col) {
            QLayoutItem* item = grid->itemAtPosition(row, col);
            cells << plainText(item ? item->widget() : nullptr);
        }
        if (!cells.join("").isEmpty())
            rows << QString::number(row) + ":" + cells.join("|");
    }
    return rows;
}

QPushButton* button(QDialog& dialog, const QString& text) {
    return child<QPushButton>(dialog, text);
}

clickableLabel* link(QDialog& dialog, const QString& text) {
    return child<clickableLabel>(dialog, text);
}

void addPage(qv4000fp_About& about, const QString& n, const QString& driver = {},
             const QString& panel = {}) {
    about.addHardwareInfo("serial " + n, "revision " + n, "model " + n, driver, panel);
}

QStringList shown(qv4000fp_About& about) {
    return formRows(about, "Software Revisions") + formRows(about, "Hardware Information");
}
} // namespace

// Stands in for the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void titleHeaderAndCopiedTexts() {
        char model[] = "4720", copyright[] = "(c) Quorvel", driver[] = "1.0.3";
        qv4000fp_About about("4.3.1", driver, model, copyright, nullptr, "", nullptr, false);
        std::memset(model, 'x', 4);
        std::memset(copyright, 'x', 4);
        std::memset(driver, 'x', 4);
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("About Zelvan 4720 Soft Front Panel"));
        const auto labels = about.findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(labels.size(), 3);
        QCOMPARE(labels[0]->text(),
                 QStringLiteral("<font size='5' bold>Zelvan 4720 VXIplug&play "
                                "Driver<br>Soft Front Panel Application</font>"));
        QCOMPARE(labels[1]->text(), QStringLiteral("(c) Quorvel"));
        QCOMPARE(labels[2]->styleSheet(), QStringLiteral("QLabel {background-color:#1A2C5E}"));
        QCOMPARE(labels[2]->pixmap().size(), QSize(86, 84));
        QCOMPARE(about.layout()->sizeConstraint(), QLayout::SetFixedSize);
        QVERIFY(formRows(about, "Software Revisions").contains("Instrument Driver:=1.0.3"));
    }

    void licenseRows_data() {
        QTest::addColumn<QByteArray>("qwtVersion");
        QTest::addColumn<bool>("usesFft");
        QTest::addColumn<QStringList>("rows");
        const QString qt = QString("1:|Qt libraries version %1:|%2")
                               .arg(qVersion(), qtLicenseLinkText(qVersion()));
        const QString qwt = "2:|Qwt library version 6.1.3:|LGPL v2.1";
        const QString fft = "3:|KISS FFT library:|BSD";
        const QString learnMore = "4:|Learn more about licenses|";
        QTest::newRow("Qt only") << QByteArray() << false << QStringList{qt, learnMore};
        QTest::newRow("Qwt") << QByteArray("6.1.3") << false << QStringList{qt, qwt, learnMore};
        QTest::newRow("Qwt, FFT") << QByteArray("6.1.3") << true
                                  << QStringList{qt, qwt, fft, learnMore};
    }
    void licenseRows() {
        QFETCH(QByteArray, qwtVersion);
        QFETCH(bool, usesFft);
        QFETCH(QStringList, rows);
        auto about =
            makeAbout("4.3.0", qwtVersion.isNull() ? nullptr : qwtVersion.constData(), usesFft);
        QCOMPARE(licenseGrid(*about), rows);
        QCOMPARE(qtLicenseLinkText("4.8.6"), QStringLiteral("LGPL v2.1"));
        QCOMPARE(qtLicenseLinkText("6.4.2"), QStringLiteral("LGPL v3"));
    }

    void commonLibraryRowOnlyWhenGiven() {
        const QStringList driverAndPanel{"Instrument Driver:=1.0.3",
                                         "Soft Front Panel:=4.3.1.12523"};
        QCOMPARE(formRows(*makeAbout(""), "Software Revisions"),
                 QStringList{"Zelvan Common Library:="} + driverAndPanel);
        QCOMPARE(formRows(*makeAbout(nullptr), "Software Revisions"), driverAndPanel);
    }

    void demoCardHasOnePageWithoutPaging() {
        auto about = makeAbout();
        QVERIFY(formRows(*about, "Hardware Information").isEmpty());
        about->addHardwareInfo("4720 (DEMO)", "1.0.1.0 (DEMO)", "4720-AA (DEMO)", "", "");
        QCOMPARE(shown(*about),
                 (QStringList{"Zelvan Common Library:=4.3.0", "Instrument Driver:=1.0.3",
                              "Soft Front Panel:=4.3.1.12523", "Device Model:=4720-AA (DEMO)",
                              "Revision:=1.0.1.0 (DEMO)", "Serial Number:=4720 (DEMO)"}));
        QVERIFY(button(*about, "< Previous")->isHidden());
        QVERIFY(button(*about, "Next >")->isHidden());
        QVERIFY(!button(*about, "OK")->isHidden());
    }

    void pagingThroughThreePages() {
        auto about = makeAbout();
        about->show();
        QPushButton* prev = button(*about, "< Previous");
        QPushButton* next = button(*about, "Next >");
        addPage(*about, "0");
        QVERIFY(prev->isHidden() && next->isHidden());
        addPage(*about, "1");
        QVERIFY(prev->isVisible() && next->isVisible());
        QVERIFY(!prev->isEnabled() && next->isEnabled());
        addPage(*about, "2");
        QVERIFY(formRows(*about, "Hardware Information").contains("Serial Number:=serial 0"));

        next->click();
        QVERIFY(prev->isEnabled() && next->isEnabled());
        next->click();
        QVERIFY(prev->isEnabled() && !next->isEnabled());
        QVERIFY(formRows(*about, "Hardware Information").contains("Device Model:=model 2"));
        about->next(); // already on the last page
        prev->click();
        prev->click();
        QVERIFY(!prev->isEnabled() && next->isEnabled());
        QVERIFY(formRows(*about, "Hardware Information").contains("Revision:=revision 0"));
        about->prev(); // already on the first page
        QVERIFY(formRows(*about, "Hardware Information").contains("Revision:=revision 0"));

        button(*about, "OK")->click();
        QVERIFY(about->isHidden());
    }

    void pagesKeepTheRevisionsOnDisplayWhenAdded() {
        auto about = makeAbout();
        addPage(*about, "0");
        addPage(*about, "1", "2.0.0", "5.0");
        about->next();
        addPage(*about, "2"); // added while page 1 is on display
        about->prev();        // page 0 took the revisions given at construction
        QVERIFY(shown(*about).contains("Instrument Driver:=1.0.3"));
        QVERIFY(shown(*about).contains("Soft Front Panel:=4.3.1.12523"));
        about->next();
        about->next();
        QVERIFY(shown(*about).contains("Instrument Driver:=2.0.0"));
        QVERIFY(shown(*about).contains("Soft Front Panel:=5.0"));
        QVERIFY(shown(*about).contains("Serial Number:=serial 2"));
        QVERIFY(button(*about, "< Previous")->isEnabled());
        QVERIFY(!button(*about, "Next >")->isEnabled());
    }

    void firstPageShowsItsOwnRevisions() {
        auto about = makeAbout();
        addPage(*about, "0", "9.9", "8.8");
        QVERIFY(shown(*about).contains("Instrument Driver:=9.9"));
        QVERIFY(shown(*about).contains("Soft Front Panel:=8.8"));
    }

    // Rows and pages added before the first show wait for it, in their order.
    void contentsWaitForTheFirstShow() {
        auto about = makeAbout();
        about->addInfoRow("Slot:", "5", true);
        addPage(*about, "0");
        addPage(*about, "1");
        about->addInfoRow("Firmware:", "2.1", false);
        QVERIFY(about->findChildren<QGroupBox*>().isEmpty());
        QCOMPARE(formRows(*about, "Hardware Information"),
                 (QStringList{"Slot:=5", "Device Model:=model 0", "Revision:=revision 0",
                              "Serial Number:=serial 0"}));
        QCOMPARE(formRows(*about, "Software Revisions").last(), QStringLiteral("Firmware:=2.1"));
        QVERIFY(button(*about, "Next >")->isVisible() && button(*about, "Next >")->isEnabled());
        QVERIFY(!button(*about, "< Previous")->isEnabled());
    }

    void infoRowsGoToTheChosenForm() {
        auto about = makeAbout();
        about->addInfoRow("Firmware:", "2.1", false);
        about->addInfoRow("Serial Number:", "77", true);
        QCOMPARE(formRows(*about, "Software Revisions").last(), QStringLiteral("Firmware:=2.1"));
        QCOMPARE(formRows(*about, "Hardware Information"), QStringList{"Serial Number:=77"});
    }

    void linksOpenTheirTargets_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("title");
        QTest::newRow("Qt") << "Qt"
                            << "QMessageBox"
                            << "About Qt";
        QTest::newRow("Qt licence") << qtLicenseLinkText(qVersion()) << "qtLicense"
                                    << "Qt LGPL License";
        QTest::newRow("Qwt licence") << "LGPL v2.1"
                                     << "qwtLicense"
                                     << "Qwt LGPL License";
        QTest::newRow("FFT licence") << "BSD"
                                     << "kissFFTLicense"
                                     << "KISS FFT BSD License";
    }
    void linksOpenTheirTargets() {
        QFETCH(QString, link);
        QFETCH(QString, className);
        QFETCH(QString, title);
        auto about = makeAbout("4.3.0", "6.1.3", true);
        about->show();
        ModalAnswerer answerer;
        answerer.handle([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
        QTest::mouseClick(::link(*about, link), Qt::LeftButton);
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen().first().className, className);
        QCOMPARE(answerer.seen().first().title, title);
        if (className != "QMessageBox")
            QCOMPARE(answerer.seen().first().parent, about.get());
    }

    void learnMoreOpensTheLicenseUsagePage() {
        auto about = makeAbout();
        about->show();
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QTest::mouseClick(link(*about, "Learn more about licenses"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(catcher.urls,
                 QList<QUrl>{QUrl("https://www.quorvel.com/about/third-party-license-usage/")});
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
