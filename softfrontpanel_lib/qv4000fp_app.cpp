#include "qv4000fp_app.h"

#include "qv4000fp_icons.h"
#include "qv4000fp_led.h"
#include "qv4000fp_messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace {
const char* const kCompanyLogo = ":/quorvel-logo.bmp";
const char* const kVxiLogo = ":/vxi-logo.bmp";
const char* const kLxiLogo = ":/lxi-logo.bmp";
const char* const kTitleStyle =
    "QLabel { background-color: #1a2c5e; color: #ffffff; font: bold 20px}";

const char* const kActive = "Active";
const char* const kLedHelp = "Green light means that the Soft Front Panel works\n"
                             "in Real (not Demo) mode.";
const char* const kAutoscale = "Autoscale";
const char* const kAutoscaleHelp = "Enables/disables plot autorescale feature";
const char* const kIdentify = "Identify";
const char* const kIdentifyHelp = "Enables/disables visual identification mechanism";
const char* const kOn = "ON";
const char* const kOff = "OFF";
const char* const kStartHelp = "Starts the single-shot data acquisition";
const char* const kStartContHelp =
    "<html>Starts the repetitive data acquisition (or continuous data acquisition, when file "
    "storage option is turned on)</html>";
const char* const kBreakSingleHelp = "Breaks the Single-Shot Data Acquisition";
const char* const kStartSingleHelp = "Starts the Single-Shot Data Acquisition";
const char* const kStopContHelp = "Stops the Data Acquisition process";
const char* const kReset = "Reset Device";
const char* const kResetHelp = "Reset the device to the default state";
const char* const kWhatsThisHelp = "Show on-line help for Instrument Soft Front Panel components";
const char* const kAbout = "About";
const char* const kAboutHelp = "Displays \"About\" panel";
const char* const kClose = "Close";
const char* const kCloseHelp = "Close main panel and terminates program";

const char* const kExitTitleSuffix = " SFP";
const char* const kExitQuestion = "Do you really want to exit?";

const char* const kMakerFolder = "Quorvel";
const char* const kVisaFolder = "qvvisa";
#ifdef Q_OS_WIN
const QChar kPathSeparator = QLatin1Char('\\');
const char* const kDefaultSettingsPath = "c:\\vxipnp";
#else
const QChar kPathSeparator = QLatin1Char('/');
const char* const kDefaultSettingsPath = "/opt/vxipnp";
#endif

QString str(const char* text) {
    return QString::fromUtf8(text);
}

// A new style object each time: the application deletes the one it replaces.
void setPanelStyle() {
    QStyle* style = QStyleFactory::create(QStringLiteral("Plastique"));
    if (!style)
        style = QStyleFactory::create(QStringLiteral("Fusion"));
    if (style)
        QApplication::setStyle(style);
}
} // namespace

qv4000fp_app::qv4000fp_app() : QWidget(nullptr, Qt::Window) {
    setPanelStyle();
    d_contentReady = false;

    const int h = QFontMetrics(font()).height();
    auto* mainLayout = new QVBoxLayout;
    auto* headerRow = new QHBoxLayout;
    auto* contentRow = new QHBoxLayout;
    d_buttonColumn = new QVBoxLayout;
    mainLayout->setSpacing(h);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    headerRow->setSpacing(0);
    contentRow->setSpacing(h);
    contentRow->setContentsMargins(h / 2, 0, 0, h / 2);
    d_buttonColumn->setSpacing(h / 2);
    d_buttonColumn->setContentsMargins(0, 0, h / 2, h / 2);

    mainLayout->addLayout(headerRow);
    mainLayout->addLayout(contentRow);
    d_content = new QWidget;
    contentRow->addWidget(d_content);
    contentRow->addLayout(d_buttonColumn);
    setCentralLayout(mainLayout);

    setWindowIcon(QIcon(qv4000fp_windowIconPixmap()));
    fillHeader(headerRow);

    addStatusGroup(h);
    d_buttonColumn->addStretch();
    addAcquisitionControls();
    d_buttonColumn->addStretch();
    addCommandButtons();

    d_contentReady = true;
    mainLayout->setSizeConstraint(QLayout::SetMinimumSize);
    centerWidget(this);
}

void qv4000fp_app::fillHeader(QHBoxLayout* headerRow) {
    auto* companyLogo = new QLabel;
    companyLogo->setPixmap(QPixmap(str(kCompanyLogo)));
    headerRow->addWidget(companyLogo);

    d_title = new QLabel;
    d_title->setStyleSheet(str(kTitleStyle));
    d_title->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    d_title->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    headerRow->addWidget(d_title);

    d_busLogo = new QLabel;
    d_busLogo->setPixmap(QPixmap(str(kVxiLogo)));
    headerRow->addWidget(d_busLogo);
}

void qv4000fp_app::addStatusGroup(int spacing) {
    auto* group = new QGroupBox;
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->setSpacing(spacing);

    d_led = new qv4000fp_led(str(kActive), Qt::green, Qt::magenta, nullptr);
    d_led->setWhatsThis(str(kLedHelp));
    groupLayout->addWidget(d_led);
    d_slotLabel = new QLabel;
    d_slotLabel->setVisible(false);
    groupLayout->addWidget(d_slotLabel);
    d_fcLabel = new QLabel;
    d_fcLabel->setVisible(false);
    groupLayout->addWidget(d_fcLabel);

    d_buttonColumn->addWidget(group);
}

// Autoscale, Identify and the two start buttons: built for card panels that
// acquire data, hidden until such a panel shows them.
void qv4000fp_app::addAcquisitionControls() {
    d_autoscaleLabel = addCaption(kAutoscale);
    d_autoscaleButton = addToggleButton(kOn, true, kAutoscaleHelp);
    connect(d_autoscaleButton, &QPushButton::toggled, this, &qv4000fp_app::autoscaleToggledSlot);
    d_autoscaleButton->setVisible(false);
    d_buttonColumn->addStretch();

    d_identLabel = addCaption(kIdentify);
    d_identButton = addToggleButton(kOff, false, kIdentifyHelp);
    connect(d_identButton, &QPushButton::toggled, this, &qv4000fp_app::identToggledSlot);
    d_identButton->setVisible(false);
    d_buttonColumn->addStretch();

    d_startButton = addStartButton(qv4000fp_startPixmap(), kStartHelp);
    connect(d_startButton, &QPushButton::toggled, this, &qv4000fp_app::startToggledSlot);
    d_startButton->setVisible(false);
    d_startContButton = addStartButton(qv4000fp_startContPixmap(), kStartContHelp);
    connect(d_startContButton, &QPushButton::toggled, this, &qv4000fp_app::startContToggledSlot);
    d_startContButton->setVisible(false);
}

void qv4000fp_app::addCommandButtons() {
    d_resetButton = new QPushButton(str(kReset));
    setHelp(d_resetButton, str(kResetHelp));
    d_buttonColumn->addWidget(d_resetButton);
    connect(d_resetButton, &QPushButton::clicked, this, &qv4000fp_app::resetPressed);
    d_buttonColumn->addStretch();

    const QPixmap whatsThis = qv4000fp_whatsThisPixmap();
    d_whatsThisButton = new QPushButton;
    d_whatsThisButton->setIcon(QIcon(whatsThis));
    d_whatsThisButton->setIconSize(whatsThis.size());
    d_whatsThisButton->setWhatsThis(str(kWhatsThisHelp));
    d_buttonColumn->addWidget(d_whatsThisButton);
    connect(d_whatsThisButton, &QPushButton::clicked, this, &qv4000fp_app::enterWIT);

    d_aboutButton = new QPushButton(str(kAbout));
    d_aboutButton->setWhatsThis(str(kAboutHelp));
    d_buttonColumn->addWidget(d_aboutButton);

    d_closeButton = new QPushButton(str(kClose));
    d_closeButton->setWhatsThis(str(kCloseHelp));
    d_buttonColumn->addWidget(d_closeButton);
    connect(d_closeButton, &QPushButton::clicked, this, &QWidget::close);
}

QLabel* qv4000fp_app::addCaption(const char* text) {
    auto* caption = new QLabel(str(text));
    caption->setAlignment(Qt::AlignCenter);
    d_buttonColumn->addWidget(caption);
    caption->setVisible(false);
    return caption;
}

// The initial state is set here, before the caller connects toggled(bool),
// so that construction emits nothing.
QPushButton* qv4000fp_app::addToggleButton(const char* text, bool checked, const char* help) {
    auto* button = new QPushButton(str(text));
    button->setCheckable(true);
    button->setChecked(checked);
    setHelp(button, str(help));
    d_buttonColumn->addWidget(button);
    return button;
}

QPushButton* qv4000fp_app::addStartButton(const QPixmap& icon, const char* help) {
    auto* button = new QPushButton;
    button->setIcon(QIcon(icon));
    button->setCheckable(true);
    setHelp(button, str(help));
    d_buttonColumn->addWidget(button);
    return button;
}

void qv4000fp_app::setHelp(QWidget* widget, const QString& help) {
    widget->setWhatsThis(help);
    widget->setToolTip(help);
}

void qv4000fp_app::setCentralLayout(QLayout* layout) {
    if (d_contentReady)
        d_content->setLayout(layout);
    else
        setLayout(layout);
}

void qv4000fp_app::setTitle(QString title) {
    d_title->setText(title);
}

// There is no way back to the VXI logo: a panel is attached to one carrier.
void qv4000fp_app::setLxi(bool lxi) {
    if (lxi)
        d_busLogo->setPixmap(QPixmap(str(kLxiLogo)));
}

void qv4000fp_app::clearBusLogo() {
    d_busLogo->setPixmap(QPixmap());
}

namespace {
void setLocationLabel(QLabel* label, const QString& text, const QString& whatsThis) {
    label->setText(text);
    label->setVisible(!text.isEmpty());
    if (!whatsThis.isEmpty())
        label->setWhatsThis(whatsThis);
}
} // namespace

void qv4000fp_app::setSlotLabel(QString text, QString whatsThis) {
    setLocationLabel(d_slotLabel, text, whatsThis);
}

void qv4000fp_app::setFcLabel(QString text, QString whatsThis) {
    setLocationLabel(d_fcLabel, text, whatsThis);
}

void qv4000fp_app::setDemo(bool demo) {
    d_led->setValue(demo ? 0 : 1);
}

void qv4000fp_app::showAutoscale(bool show) {
    d_autoscaleLabel->setVisible(show);
    d_autoscaleButton->setVisible(show);
    if (show)
        resize(800, 600);
}

void qv4000fp_app::showIdentify(bool show) {
    d_identLabel->setVisible(show);
    d_identButton->setVisible(show);
}

QString qv4000fp_app::settingsPath() {
    if (!qEnvironmentVariableIsSet("ALLUSERSPROFILE"))
        return str(kDefaultSettingsPath);
    return qEnvironmentVariable("ALLUSERSPROFILE") + kPathSeparator + str(kMakerFolder) +
           kPathSeparator + str(kVisaFolder);
}

void qv4000fp_app::enterWIT() {
    QWhatsThis::enterWhatsThisMode();
}

void qv4000fp_app::autoscaleToggledSlot(bool status) {
    d_autoscaleButton->setText(str(status ? kOn : kOff));
    emit autoscaleToggled(status);
}

void qv4000fp_app::identToggledSlot(bool status) {
    d_identButton->setText(str(status ? kOn : kOff));
    emit identToggled(status);
}

// Running: the button turns into a stop button and locks out the other one.
// Stopped: both stay disabled until the panel calls enableStart() or userBreak().
void qv4000fp_app::startToggledSlot(bool status) {
    if (status) {
        d_startButton->setIcon(QIcon(qv4000fp_stopPixmap()));
        setHelp(d_startButton, str(kBreakSingleHelp));
        d_startContButton->setEnabled(false);
        emit startSingle();
        return;
    }
    d_startButton->setIcon(QIcon(qv4000fp_startPixmap()));
    setHelp(d_startButton, str(kStartSingleHelp));
    d_startButton->setEnabled(false);
    d_startContButton->setEnabled(false);
    emit breakSingle();
}

void qv4000fp_app::startContToggledSlot(bool status) {
    if (status) {
        d_startContButton->setIcon(QIcon(qv4000fp_stopPixmap()));
        setHelp(d_startContButton, str(kStopContHelp));
        d_startButton->setEnabled(false);
        emit startCont();
        return;
    }
    d_startContButton->setIcon(QIcon(qv4000fp_startContPixmap()));
    setHelp(d_startContButton, str(kStartContHelp));
    d_startButton->setEnabled(false);
    d_startContButton->setEnabled(false);
    emit stopCont();
}

void qv4000fp_app::userBreak() {
    if (d_startContButton->isChecked())
        d_startContButton->toggle();
    if (d_startButton->isChecked())
        d_startButton->toggle();
    enableStart();
}

void qv4000fp_app::enableStart() {
    d_startContButton->setEnabled(true);
    d_startButton->setEnabled(true);
}

void qv4000fp_app::closeEvent(QCloseEvent* event) {
    const QString title = QLatin1String("Zelvan ") + panelName + str(kExitTitleSuffix);
    const QMessageBox::StandardButton answer = qv4000fp_askModal(
        QMessageBox::Question, title, str(kExitQuestion), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        event->accept();
    else
        event->ignore();
}

void centerWidget(QWidget* widget) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    centerWidgetIn(widget, screen->availableGeometry());
}

// The available area need not start at the screen's origin (a panel or task
// bar at the top or left), so its offset is added.
void centerWidgetIn(QWidget* widget, const QRect& available) {
    if (!widget)
        return;
    const QRect current = widget->geometry();
    const int x = available.left() + (available.width() - current.width()) / 2;
    const int y = available.top() + (available.height() - current.height()) / 2;
    widget->setGeometry(x, y, current.width(), current.height());
}
