#include "qv4000fp_About.h"

#include "clickableLabel.h"
#include "kissFFTLicense.h"
#include "qtLicense.h"
#include "qwtLicense.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace {
const char* const kTitle = QT_TRANSLATE_NOOP("qv4000fp_About", "About Zelvan %1 Soft Front Panel");
const char* const kHeader = "<font size='5' bold>Zelvan %1 VXIplug&play Driver<br>"
                            "Soft Front Panel Application</font>";
const char* const kLogo = ":/quorvel-logo.bmp";
const char* const kLogoStyle = "QLabel {background-color:#1A2C5E}";

const char* const kLicensesGroup = "Third-Party Licenses";
const char* const kQtLink = "Qt";
const char* const kQtVersion = QT_TRANSLATE_NOOP("qv4000fp_About", " libraries version %1:");
const char* const kLgpl21 = "LGPL v2.1";
const char* const kLgpl3 = "LGPL v3";
const char* const kQwtVersion = QT_TRANSLATE_NOOP("qv4000fp_About", "Qwt library version %1:");
const char* const kKissFft = "KISS FFT library:";
const char* const kBsd = "BSD";
const char* const kLearnMore = "Learn more about licenses";
const char* const kLicensesPage = "https://www.quorvel.com/about/third-party-license-usage/";

const char* const kSoftwareGroup = "Software Revisions";
const char* const kCommonLibRow = "Zelvan Common Library:";
const char* const kDriverRow = "Instrument Driver:";
const char* const kPanelRow = "Soft Front Panel:";

const char* const kHardwareGroup = "Hardware Information";
const char* const kModelRow = "Device Model:";
const char* const kRevisionRow = "Revision:";
const char* const kSerialRow = "Serial Number:";

const char* const kPrevious = "< Previous";
const char* const kNext = "Next >";
const char* const kOk = "OK";

const int kDialogWidth = 380;
const int kDialogHeight = 300;
const int kLogoMargin = 10;

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

QLabel* centredLabel(const QString& labelText) {
    auto* label = new QLabel(labelText);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QPushButton* rowButton(const char* buttonText) {
    auto* button = new QPushButton(text(buttonText));
    button->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    return button;
}
} // namespace

QString qtLicenseLinkText(const QString& runtimeVersion) {
    return text(qtRuntimeUsesLgpl21(runtimeVersion) ? kLgpl21 : kLgpl3);
}

qv4000fp_About::qv4000fp_About(const char* version, const char* driverRevision, const char* model,
                               const char* copyright, QWidget* parent,
                               const char* commonLibRevision, const char* plotLibraryVersion,
                               bool usesFft)
    : QDialog(parent), d_page(0), d_softwareForm(nullptr), d_hardwareForm(nullptr),
      d_nextButton(nullptr), d_prevButton(nullptr), d_modelText(QString::fromLocal8Bit(model)),
      d_copyright(QString::fromLocal8Bit(copyright)), d_hasCommonLib(commonLibRevision != nullptr),
      d_usesFft(usesFft) {
    setWindowTitle(tr(kTitle).arg(d_modelText));
    setMinimumSize(kDialogWidth, kDialogHeight);
    resize(kDialogWidth, kDialogHeight);
    if (commonLibRevision)
        d_commonLibLabel.setText(QString::fromLocal8Bit(commonLibRevision));
    d_driverLabel.setText(QString::fromLocal8Bit(driverRevision));
    d_panelLabel.setText(QString::fromLocal8Bit(version));
    if (plotLibraryVersion)
        d_plotLibraryVersion = QString::fromLocal8Bit(plotLibraryVersion);
}

void qv4000fp_About::setVisible(bool visible) {
    if (visible)
        buildContents();
    QDialog::setVisible(visible);
}

void qv4000fp_About::buildContents() {
    if (d_built)
        return;
    d_built = true;
    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->setSizeConstraint(QLayout::SetFixedSize);

    mainLayout->addWidget(centredLabel(text(kHeader).arg(d_modelText)));
    mainLayout->addWidget(centredLabel(d_copyright));
    mainLayout->addSpacing(lineHeight());

    auto* body = new QHBoxLayout;
    mainLayout->addLayout(body);
    body->addWidget(createLogo());
    auto* column = new QVBoxLayout;
    body->addLayout(column);
    column->addWidget(createLicensesGroup());
    column->addWidget(createSoftwareGroup());
    column->addWidget(createHardwareGroup());
    column->addLayout(createButtonRow());

    for (const PendingRow& row : std::as_const(d_pendingRows))
        addRow(row.hardware, row.label, row.field);
    d_pendingRows.clear();
    updatePaging();
}

// Before the contents exist a row waits, in order.
void qv4000fp_About::addRow(bool hardware, const QString& label, QLabel* field) {
    if (!d_built) {
        d_pendingRows.append(PendingRow{hardware, label, field});
        return;
    }
    (hardware ? d_hardwareForm : d_softwareForm)->addRow(label, field);
}

qv4000fp_About::~qv4000fp_About() {
    qDeleteAll(d_pages);
}

int qv4000fp_About::lineHeight() const {
    return fontMetrics().height();
}

QLabel* qv4000fp_About::createLogo() const {
    auto* logo = new QLabel;
    logo->setStyleSheet(text(kLogoStyle));
    logo->setAlignment(Qt::AlignTop);
    logo->setContentsMargins(kLogoMargin, kLogoMargin, kLogoMargin, kLogoMargin);
    logo->setPixmap(QPixmap(text(kLogo)));
    return logo;
}

QGroupBox* qv4000fp_About::createLicensesGroup() {
    auto* group = new QGroupBox(text(kLicensesGroup));
    auto* grid = new QGridLayout(group);
    const int h = lineHeight();
    grid->setHorizontalSpacing(h);
    grid->setContentsMargins(h, h, h, h);

    grid->addWidget(createQtCell(), 1, 1);
    auto* qtLicenseLink = new clickableLabel(qtLicenseLinkText(QString::fromLatin1(qVersion())));
    grid->addWidget(qtLicenseLink, 1, 2);
    connect(qtLicenseLink, &clickableLabel::clicked, this, &qv4000fp_About::showQtLicense);

    if (d_plotLibraryVersion) {
        grid->addWidget(new QLabel(tr(kQwtVersion).arg(*d_plotLibraryVersion)), 2, 1);
        auto* qwtLink = new clickableLabel(text(kLgpl21));
        grid->addWidget(qwtLink, 2, 2);
        connect(qwtLink, &clickableLabel::clicked, this, &qv4000fp_About::showQwtLicense);
    }
    if (d_usesFft) {
        grid->addWidget(new QLabel(text(kKissFft)), 3, 1);
        auto* fftLink = new clickableLabel(text(kBsd));
        grid->addWidget(fftLink, 3, 2);
        connect(fftLink, &clickableLabel::clicked, this, &qv4000fp_About::showKissFFTLicense);
    }

    auto* learnMore = new clickableLabel(text(kLearnMore));
    grid->addWidget(learnMore, 4, 1);
    connect(learnMore, &clickableLabel::clicked, this, &qv4000fp_About::openLicensesWebPage);
    return group;
}

// "Qt" (a link to the toolkit's own about box) followed by the run-time version.
QWidget* qv4000fp_About::createQtCell() {
    auto* cell = new QWidget;
    auto* row = new QHBoxLayout(cell);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->setAlignment(Qt::AlignLeft);
    auto* qtLink = new clickableLabel(text(kQtLink));
    row->addWidget(qtLink);
    row->addWidget(new QLabel(tr(kQtVersion).arg(QString::fromLatin1(qVersion()))));
    connect(qtLink, &clickableLabel::clicked, this, &QApplication::aboutQt);
    return cell;
}

QFormLayout* qv4000fp_About::createForm(QGroupBox* group) const {
    auto* form = new QFormLayout(group);
    const int h = lineHeight();
    form->setHorizontalSpacing(h);
    form->setContentsMargins(h, h, h, h);
    return form;
}

// A null common-library text leaves its row out; an empty one keeps it.
QGroupBox* qv4000fp_About::createSoftwareGroup() {
    auto* group = new QGroupBox(text(kSoftwareGroup));
    d_softwareForm = createForm(group);
    if (d_hasCommonLib)
        d_softwareForm->addRow(text(kCommonLibRow), &d_commonLibLabel);
    d_softwareForm->addRow(text(kDriverRow), &d_driverLabel);
    d_softwareForm->addRow(text(kPanelRow), &d_panelLabel);
    return group;
}

// Its rows come with the first hardware page.
QGroupBox* qv4000fp_About::createHardwareGroup() {
    auto* group = new QGroupBox(text(kHardwareGroup));
    d_hardwareForm = createForm(group);
    return group;
}

QHBoxLayout* qv4000fp_About::createButtonRow() {
    auto* row = new QHBoxLayout;
    d_prevButton = rowButton(kPrevious);
    d_nextButton = rowButton(kNext);
    auto* ok = rowButton(kOk);
    row->addWidget(d_prevButton);
    row->addWidget(d_nextButton);
    row->addWidget(ok);
    d_prevButton->setEnabled(false);
    d_prevButton->hide();
    d_nextButton->hide();
    connect(d_nextButton, &QPushButton::clicked, this, &qv4000fp_About::next);
    connect(d_prevButton, &QPushButton::clicked, this, &qv4000fp_About::prev);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    return row;
}

void qv4000fp_About::addHardwareInfo(QString serial, QString revision, QString model,
                                     QString driverRevision, QString panelVersion) {
    if (d_pages.isEmpty()) {
        addRow(true, text(kModelRow), &d_modelLabel);
        addRow(true, text(kRevisionRow), &d_revisionLabel);
        addRow(true, text(kSerialRow), &d_serialLabel);
    }
    d_current.driverRevision = driverRevision.isEmpty() ? d_driverLabel.text() : driverRevision;
    d_current.panelVersion = panelVersion.isEmpty() ? d_panelLabel.text() : panelVersion;
    d_current.model = model;
    d_current.revision = revision;
    d_current.serialNumber = serial;
    d_pages.append(new HardwareInfo(d_current));
    // The first page is on display at once, its own revisions included.
    if (d_pages.size() == 1)
        showHardwarePage(0);
    updatePaging();
}

void qv4000fp_About::addInfoRow(QString label, QString value, bool hardware) {
    // The dialog owns the field until its row is built.
    addRow(hardware, label, new QLabel(value, this));
    if (!hardware)
        return;
    if (label == text(kSerialRow))
        d_current.serialNumber = value;
    else if (label == text(kRevisionRow))
        d_current.revision = value;
    else if (label == text(kModelRow))
        d_current.model = value;
}

void qv4000fp_About::next() {
    if (d_page + 1 >= d_pages.size())
        return;
    ++d_page;
    updatePaging();
    showHardwarePage(d_page);
}

void qv4000fp_About::prev() {
    if (d_page <= 0)
        return;
    --d_page;
    updatePaging();
    showHardwarePage(d_page);
}

// Buttons show from the second page on; each is enabled while there is a page its way.
void qv4000fp_About::updatePaging() {
    if (!d_built)
        return;
    const bool paging = d_pages.size() > 1;
    d_prevButton->setVisible(paging);
    d_nextButton->setVisible(paging);
    d_prevButton->setEnabled(d_page > 0);
    d_nextButton->setEnabled(d_page + 1 < d_pages.size());
}

void qv4000fp_About::showHardwarePage(int page) {
    const HardwareInfo* info = d_pages.at(page);
    if (!info->driverRevision.isEmpty())
        d_driverLabel.setText(info->driverRevision);
    if (!info->panelVersion.isEmpty())
        d_panelLabel.setText(info->panelVersion);
    d_modelLabel.setText(info->model);
    d_revisionLabel.setText(info->revision);
    d_serialLabel.setText(info->serialNumber);
}

void qv4000fp_About::showKissFFTLicense() {
    kissFFTLicense dialog(this);
    dialog.exec();
}

void qv4000fp_About::showQtLicense() {
    qtLicense dialog(this);
    dialog.exec();
}

void qv4000fp_About::showQwtLicense() {
    qwtLicense dialog(this);
    dialog.exec();
}

// Whether a browser could be started is not this dialog's concern.
void qv4000fp_About::openLicensesWebPage() {
    QDesktopServices::openUrl(QUrl(text(kLicensesPage)));
}
