#include "qv4000fp_app.h"
#include "qv4000fp_icons.h"
#include "qv4000fp_led.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QtTest>

namespace {
const char* const kStartContHelp =
    "<html>Starts the repetitive data acquisition (or continuous data acquisition, when file "
    "storage option is turned on)</html>";

// Opens the window's members to the tests, as a derived panel sees them.
class Window : public qv4000fp_app {
public:
    using qv4000fp_app::d_about;
    using qv4000fp_app::d_aboutButton;
    using qv4000fp_app::d_autoscaleButton;
    using qv4000fp_app::d_autoscaleLabel;
    using qv4000fp_app::d_busLogo;
    using qv4000fp_app::d_buttonColumn;
    using qv4000fp_app::d_closeButton;
    using qv4000fp_app::d_content;
    using qv4000fp_app::d_contentReady;
    using qv4000fp_app::d_fcLabel;
    using qv4000fp_app::d_identButton;
    using qv4000fp_app::d_identLabel;
    using qv4000fp_app::d_led;
    using qv4000fp_app::d_resetButton;
    using qv4000fp_app::d_slotLabel;
    using qv4000fp_app::d_startButton;
    using qv4000fp_app::d_startContButton;
    using qv4000fp_app::d_title;
    using qv4000fp_app::d_whatsThisButton;
};

bool sameImage(const QIcon& icon, const QPixmap& pixmap) {
    return icon.pixmap(pixmap.size()).toImage().convertToFormat(QImage::Format_ARGB32) ==
           pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage imageOf(const QLabel* label) {
    return label->pixmap().toImage();
}

// Every signal of the start buttons, counted.
struct StartSpies {
    explicit StartSpies(Window& w)
        : startSingle(&w, &qv4000fp_app::startSingle), breakSingle(&w, &qv4000fp_app::breakSingle),
          startCont(&w, &qv4000fp_app::startCont), stopCont(&w, &qv4000fp_app::stopCont) {}
    QList<int> counts() const {
        return {int(startSingle.count()), int(breakSingle.count()), int(startCont.count()),
                int(stopCont.count())};
    }
    QSignalSpy startSingle, breakSingle, startCont, stopCont;
};

using Counts = QList<int>; // startSingle, breakSingle, startCont, stopCont
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void isATopLevelWindowWithEmptyHeaderAndContent();
    void columnHoldsItsRowsInOrder();
    void columnTextsHelpAndInitialStates();
    void eachConstructionSetsANewStyle();
    void centralLayoutGoesIntoContentArea();
    void locationLabelsShowTextAndKeepHelp_data();
    void locationLabelsShowTextAndKeepHelp();
    void busLogoStaysLxiOnceSet();
    void demoSetsLed();
    void autoscaleAndIdentifyVisibility();
    void toggleButtonsRelabelAndSignal();
    void buttonsRelayClicks();
    void singleShotRunAndBreak();
    void continuousRunAndUserBreak();
    void userBreakWhenIdleOrSingleRunning();
    void settingsPathFromAllUsersProfile();
    void centringAddsAvailableAreaOffset();
    void builtInImagesHaveTheirSizesAndColours_data();
    void builtInImagesHaveTheirSizesAndColours();
};

void TestMainWindow::isATopLevelWindowWithEmptyHeaderAndContent() {
    Window w;
    QVERIFY(w.isWindow());
    QCOMPARE(w.parentWidget(), nullptr);
    QVERIFY(!w.windowIcon().isNull());
    QVERIFY(w.d_contentReady);
    QCOMPARE(w.d_about, nullptr);
    QCOMPARE(w.d_title->text(), QString());
    QCOMPARE(w.d_title->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(w.d_title->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QVERIFY(w.d_title->styleSheet().contains(QLatin1String("#1a2c5e")));
    QCOMPARE(w.d_content->layout(), nullptr);
    QCOMPARE(w.layout()->sizeConstraint(), QLayout::SetMinimumSize);

    w.setTitle(QStringLiteral("<html>Zelvan 4720</html>"));
    QCOMPARE(w.d_title->text(), QStringLiteral("<html>Zelvan 4720</html>"));
}

void TestMainWindow::columnHoldsItsRowsInOrder() {
    Window w;
    QVBoxLayout* column = w.d_buttonColumn;
    auto* group = qobject_cast<QGroupBox*>(column->itemAt(0)->widget());
    QVERIFY(group);
    QCOMPARE(group->title(), QString());
    QLayout* groupLayout = group->layout();
    QCOMPARE(groupLayout->itemAt(0)->widget(), w.d_led);
    QCOMPARE(groupLayout->itemAt(1)->widget(), w.d_slotLabel);
    QCOMPARE(groupLayout->itemAt(2)->widget(), w.d_fcLabel);

    const QList<QWidget*> rows = {group,
                                  nullptr,
                                  w.d_autoscaleLabel,
                                  w.d_autoscaleButton,
                                  nullptr,
                                  w.d_identLabel,
                                  w.d_identButton,
                                  nullptr,
                                  w.d_startButton,
                                  w.d_startContButton,
                                  nullptr,
                                  w.d_resetButton,
                                  nullptr,
                                  w.d_whatsThisButton,
                                  w.d_aboutButton,
                                  w.d_closeButton};
    QCOMPARE(column->count(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        QLayoutItem* item = column->itemAt(i);
        if (rows[i])
            QVERIFY2(item->widget() == rows[i], qPrintable(QString::number(i)));
        else
            QVERIFY2(item->spacerItem(), qPrintable(QString::number(i)));
    }
}

void TestMainWindow::columnTextsHelpAndInitialStates() {
    Window w;
    struct Row {
        QWidget* widget;
        QString text;
        QString help;
        bool tooltipCopiesHelp;
        bool hidden;
    };
    const QList<Row> rows = {
        {w.d_autoscaleButton, "ON", "Enables/disables plot autorescale feature", true, true},
        {w.d_identButton, "OFF", "Enables/disables visual identification mechanism", true, true},
        {w.d_startButton, "", "Starts the single-shot data acquisition", true, true},
        {w.d_startContButton, "", kStartContHelp, true, true},
        {w.d_resetButton, "Reset Device", "Reset the device to the default state", true, false},
        {w.d_whatsThisButton, "", "Show on-line help for Instrument Soft Front Panel components",
         false, false},
        {w.d_aboutButton, "About", "Displays \"About\" panel", false, false},
        {w.d_closeButton, "Close", "Close main panel and terminates program", false, false},
    };
    for (const Row& row : rows) {
        auto* button = qobject_cast<QPushButton*>(row.widget);
        QCOMPARE(button->text(), row.text);
        QCOMPARE(button->whatsThis(), row.help);
        QCOMPARE(button->toolTip(), row.tooltipCopiesHelp ? row.help : QString());
        QCOMPARE(button->isHidden(), row.hidden);
    }

    QCOMPARE(w.d_autoscaleLabel->text(), QStringLiteral("Autoscale"));
    QCOMPARE(w.d_identLabel->text(), QStringLiteral("Identify"));
    QCOMPARE(w.d_autoscaleLabel->alignment(), Qt::AlignCenter);
    QVERIFY(w.d_autoscaleLabel->isHidden() && w.d_identLabel->isHidden());
    QVERIFY(w.d_slotLabel->isHidden() && w.d_fcLabel->isHidden());

    QVERIFY(w.d_autoscaleButton->isCheckable() && w.d_autoscaleButton->isChecked());
    QVERIFY(w.d_identButton->isCheckable() && !w.d_identButton->isChecked());
    QVERIFY(w.d_startButton->isCheckable() && !w.d_startButton->isChecked());
    QVERIFY(w.d_startContButton->isCheckable() && !w.d_startContButton->isChecked());
    QVERIFY(w.d_startButton->isEnabled() && w.d_startContButton->isEnabled());
    QVERIFY(sameImage(w.d_startButton->icon(), qv4000fp_startPixmap()));
    QVERIFY(sameImage(w.d_startContButton->icon(), qv4000fp_startContPixmap()));
    QVERIFY(sameImage(w.d_whatsThisButton->icon(), qv4000fp_whatsThisPixmap()));
    QCOMPARE(w.d_whatsThisButton->iconSize(), QSize(20, 17));

    QCOMPARE(w.d_led->text(), QStringLiteral("Active"));
    QCOMPARE(w.d_led->value(), 0);
    QCOMPARE(w.d_led->whatsThis(),
             QStringLiteral("Green light means that the Soft Front Panel works\n"
                            "in Real (not Demo) mode."));
    QCOMPARE(w.d_led->toolTip(), QString());
}

void TestMainWindow::eachConstructionSetsANewStyle() {
    Window first;
    QPointer<QStyle> style = QApplication::style();
    Window second;
    QVERIFY(style.isNull());
    const QString name = QApplication::style()->name().toLower();
    QVERIFY2(name == QLatin1String("plastique") || name == QLatin1String("fusion"),
             qPrintable(name));
}

void TestMainWindow::centralLayoutGoesIntoContentArea() {
    Window w;
    QLayout* mainLayout = w.layout();
    auto* page = new QVBoxLayout;
    w.setCentralLayout(page);
    QCOMPARE(w.d_content->layout(), page);
    QCOMPARE(w.layout(), mainLayout);
}

void TestMainWindow::locationLabelsShowTextAndKeepHelp_data() {
    QTest::addColumn<bool>("slot");
    QTest::newRow("slot label") << true;
    QTest::newRow("function card label") << false;
}

void TestMainWindow::locationLabelsShowTextAndKeepHelp() {
    QFETCH(bool, slot);
    Window w;
    QLabel* label = slot ? w.d_slotLabel : w.d_fcLabel;
    auto set = [&](const QString& text, const QString& help) {
        if (slot)
            w.setSlotLabel(text, help);
        else
            w.setFcLabel(text, help);
    };

    set(QStringLiteral("Slot 3"), QStringLiteral("first help"));
    QCOMPARE(label->text(), QStringLiteral("Slot 3"));
    QVERIFY(!label->isHidden());
    QCOMPARE(label->whatsThis(), QStringLiteral("first help"));

    set(QStringLiteral("FC 2"), QString());
    QCOMPARE(label->text(), QStringLiteral("FC 2"));
    QCOMPARE(label->whatsThis(), QStringLiteral("first help"));

    set(QString(), QStringLiteral("second help"));
    QVERIFY(label->isHidden());
    QCOMPARE(label->whatsThis(), QStringLiteral("second help"));
}

// The logos come from the framework's resource bundle; without it every
// pixmap is empty and only clearing can be checked.
void TestMainWindow::busLogoStaysLxiOnceSet() {
    Window w;
    w.clearBusLogo();
    QVERIFY(w.d_busLogo->pixmap().isNull());

    const QImage vxi = QPixmap(QStringLiteral(":/vxi-logo.bmp")).toImage();
    const QImage lxi = QPixmap(QStringLiteral(":/lxi-logo.bmp")).toImage();
    if (vxi.isNull() || lxi.isNull())
        QSKIP("the logo images are not bundled into this build");
    Window v;
    QCOMPARE(imageOf(v.d_busLogo), vxi);
    v.setLxi(false);
    QCOMPARE(imageOf(v.d_busLogo), vxi);
    v.setLxi(true);
    QCOMPARE(imageOf(v.d_busLogo), lxi);
    v.setLxi(false);
    QCOMPARE(imageOf(v.d_busLogo), lxi);
}

void TestMainWindow::demoSetsLed() {
    Window w;
    w.setDemo(false);
    QCOMPARE(w.d_led->value(), 1);
    w.setDemo(true);
    QCOMPARE(w.d_led->value(), 0);
}

void TestMainWindow::autoscaleAndIdentifyVisibility() {
    Window w;
    w.resize(700, 500);
    w.showIdentify(true);
    QVERIFY(!w.d_identLabel->isHidden() && !w.d_identButton->isHidden());
    QVERIFY(w.d_autoscaleButton->isHidden());
    QCOMPARE(w.size(), QSize(700, 500));
    w.showIdentify(false);
    QVERIFY(w.d_identLabel->isHidden() && w.d_identButton->isHidden());

    w.showAutoscale(true);
    QVERIFY(!w.d_autoscaleLabel->isHidden() && !w.d_autoscaleButton->isHidden());
    QCOMPARE(w.size(), QSize(800, 600));
    w.resize(700, 500);
    w.showAutoscale(false);
    QVERIFY(w.d_autoscaleLabel->isHidden() && w.d_autoscaleButton->isHidden());
    QCOMPARE(w.size(), QSize(700, 500));
    w.showAutoscale(true);
    QCOMPARE(w.size(), QSize(800, 600));
}

void TestMainWindow::toggleButtonsRelabelAndSignal() {
    Window w;
    QSignalSpy autoscale(&w, &qv4000fp_app::autoscaleToggled);
    QSignalSpy ident(&w, &qv4000fp_app::identToggled);

    w.d_autoscaleButton->click();
    QCOMPARE(w.d_autoscaleButton->text(), QStringLiteral("OFF"));
    w.d_autoscaleButton->click();
    QCOMPARE(w.d_autoscaleButton->text(), QStringLiteral("ON"));
    QCOMPARE(autoscale.count(), 2);
    QCOMPARE(autoscale.at(0).at(0).toBool(), false);
    QCOMPARE(autoscale.at(1).at(0).toBool(), true);

    w.d_identButton->click();
    QCOMPARE(w.d_identButton->text(), QStringLiteral("ON"));
    w.d_identButton->click();
    QCOMPARE(w.d_identButton->text(), QStringLiteral("OFF"));
    QCOMPARE(ident.count(), 2);
    QCOMPARE(ident.at(0).at(0).toBool(), true);
    QCOMPARE(ident.at(1).at(0).toBool(), false);
}

void TestMainWindow::buttonsRelayClicks() {
    Window w;
    QSignalSpy reset(&w, &qv4000fp_app::resetPressed);
    w.d_resetButton->click();
    QCOMPARE(reset.count(), 1);

    w.d_whatsThisButton->click();
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
}

void TestMainWindow::singleShotRunAndBreak() {
    Window w;
    StartSpies spies(w);

    w.d_startButton->click();
    QCOMPARE(spies.counts(), Counts({1, 0, 0, 0}));
    QVERIFY(w.d_startButton->isChecked());
    QVERIFY(!w.d_startContButton->isEnabled());
    QVERIFY(sameImage(w.d_startButton->icon(), qv4000fp_stopPixmap()));
    QCOMPARE(w.d_startButton->whatsThis(),
             QStringLiteral("Breaks the Single-Shot Data Acquisition"));
    QCOMPARE(w.d_startButton->toolTip(), w.d_startButton->whatsThis());

    w.d_startButton->click();
    QCOMPARE(spies.counts(), Counts({1, 1, 0, 0}));
    QVERIFY(!w.d_startButton->isChecked());
    QVERIFY(!w.d_startButton->isEnabled() && !w.d_startContButton->isEnabled());
    QVERIFY(sameImage(w.d_startButton->icon(), qv4000fp_startPixmap()));
    QCOMPARE(w.d_startButton->whatsThis(),
             QStringLiteral("Starts the Single-Shot Data Acquisition"));
    QCOMPARE(w.d_startButton->toolTip(), w.d_startButton->whatsThis());

    // Stopping: a disabled button cannot be clicked until the panel says so.
    w.d_startButton->click();
    QCOMPARE(spies.counts(), Counts({1, 1, 0, 0}));
    w.enableStart();
    QVERIFY(w.d_startButton->isEnabled() && w.d_startContButton->isEnabled());
    QCOMPARE(spies.counts(), Counts({1, 1, 0, 0}));
}

void TestMainWindow::continuousRunAndUserBreak() {
    Window w;
    StartSpies spies(w);

    w.d_startContButton->click();
    QCOMPARE(spies.counts(), Counts({0, 0, 1, 0}));
    QVERIFY(w.d_startContButton->isChecked());
    QVERIFY(!w.d_startButton->isEnabled());
    QVERIFY(sameImage(w.d_startContButton->icon(), qv4000fp_stopPixmap()));
    QCOMPARE(w.d_startContButton->whatsThis(),
             QStringLiteral("Stops the Data Acquisition process"));
    QCOMPARE(w.d_startContButton->toolTip(), w.d_startContButton->whatsThis());

    w.userBreak();
    QCOMPARE(spies.counts(), Counts({0, 0, 1, 1}));
    QVERIFY(!w.d_startButton->isChecked() && !w.d_startContButton->isChecked());
    QVERIFY(w.d_startButton->isEnabled() && w.d_startContButton->isEnabled());
    QVERIFY(sameImage(w.d_startContButton->icon(), qv4000fp_startContPixmap()));
    QCOMPARE(w.d_startContButton->whatsThis(), QString::fromLatin1(kStartContHelp));
    QCOMPARE(w.d_startContButton->toolTip(), QString::fromLatin1(kStartContHelp));

    // Stopped by the operator: both wait for the panel.
    w.d_startContButton->click();
    w.d_startContButton->click();
    QCOMPARE(spies.counts(), Counts({0, 0, 2, 2}));
    QVERIFY(!w.d_startButton->isEnabled() && !w.d_startContButton->isEnabled());
}

void TestMainWindow::userBreakWhenIdleOrSingleRunning() {
    Window w;
    StartSpies spies(w);
    w.userBreak();
    QCOMPARE(spies.counts(), Counts({0, 0, 0, 0}));
    QVERIFY(w.d_startButton->isEnabled() && w.d_startContButton->isEnabled());

    w.d_startButton->click();
    w.userBreak();
    QCOMPARE(spies.counts(), Counts({1, 1, 0, 0}));
    QVERIFY(!w.d_startButton->isChecked());
    QVERIFY(w.d_startButton->isEnabled() && w.d_startContButton->isEnabled());
}

void TestMainWindow::settingsPathFromAllUsersProfile() {
    Window w;
    const QByteArray saved = qgetenv("ALLUSERSPROFILE");
    qputenv("ALLUSERSPROFILE", "/srv/profiles");
    const QString withProfile = w.settingsPath();
    qunsetenv("ALLUSERSPROFILE");
    const QString withoutProfile = w.settingsPath();
    qputenv("ALLUSERSPROFILE", saved);

#ifdef Q_OS_WIN
    QCOMPARE(withProfile, QStringLiteral("/srv/profiles\\Quorvel\\qvvisa"));
    QCOMPARE(withoutProfile, QStringLiteral("c:\\vxipnp"));
#else
    QCOMPARE(withProfile, QStringLiteral("/srv/profiles/Quorvel/qvvisa"));
    QCOMPARE(withoutProfile, QStringLiteral("/opt/vxipnp"));
#endif
}

void TestMainWindow::centringAddsAvailableAreaOffset() {
    QWidget widget;
    widget.resize(200, 100);
    centerWidgetIn(&widget, QRect(0, 40, 1000, 700));
    QCOMPARE(widget.geometry(), QRect(400, 340, 200, 100));

    // Odd remainders truncate toward zero, also for a widget wider than the area.
    centerWidgetIn(&widget, QRect(10, 0, 1001, 701));
    QCOMPARE(widget.geometry(), QRect(410, 300, 200, 100));
    widget.resize(1201, 100);
    centerWidgetIn(&widget, QRect(0, 0, 1000, 700));
    QCOMPARE(widget.geometry(), QRect(-100, 300, 1201, 100));

    widget.resize(200, 100);
    centerWidget(&widget);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(widget.geometry(), QRect(available.left() + (available.width() - 200) / 2,
                                      available.top() + (available.height() - 100) / 2, 200, 100));
}

void TestMainWindow::builtInImagesHaveTheirSizesAndColours_data() {
    QTest::addColumn<QPixmap>("pixmap");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QStringList>("colours");
    QTest::newRow("window icon") << qv4000fp_windowIconPixmap() << QSize(16, 16)
                                 << QStringList{"#ffffff", "#0000ff", "#808080", "#ff0000"};
    QTest::newRow("start") << qv4000fp_startPixmap() << QSize(12, 12) << QStringList{"#008000"};
    QTest::newRow("start continuous")
        << qv4000fp_startContPixmap() << QSize(12, 12) << QStringList{"#008000"};
    QTest::newRow("stop") << qv4000fp_stopPixmap() << QSize(12, 12) << QStringList{"#800000"};
    QTest::newRow("what's this") << qv4000fp_whatsThisPixmap() << QSize(20, 17)
                                 << QStringList{"#000000", "#ffffff"};
}

// Each image uses exactly its colours, plus transparency.
void TestMainWindow::builtInImagesHaveTheirSizesAndColours() {
    QFETCH(QPixmap, pixmap);
    QFETCH(QSize, size);
    QFETCH(QStringList, colours);
    QCOMPARE(pixmap.size(), size);
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    QSet<QString> used;
    bool transparent = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() == 0)
                transparent = true;
            else
                used.insert(colour.name());
        }
    QVERIFY(transparent);
    QCOMPARE(used, QSet<QString>(colours.begin(), colours.end()));
    QCOMPARE(
        qv4000fp_connectionIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
        qv4000fp_windowIconPixmap().toImage().convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
