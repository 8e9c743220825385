#include "qv4000fp_fcEnterAddress.h"

#include "qv4000fp_connectionTexts.h"
#include "qv4000fp_descriptorStore.h"
#include "qv4000fp_fcEnterAddressFc.h"
#include "qv4000fp_genFC.h"
#include "qv4000fp_icons.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {
const char* const kTitleMulti = "Zelvan %1 SFP: Enter Addresses of Function Cards";
const char* const kTitleSingle = "Zelvan %1 SFP: Enter Function Card Address";
const char* const kCountLabel = "Count: ";
const char* const kOk = "OK";
const char* const kCancel = "Cancel";
const char* const kDefaultDescriptor = "TCPIP::192.168.2.100::INSTR";
const char* const kNotSaved = "The entered addresses cannot be remembered for the next "
                              "time; the panel goes on without saving them.\nError: %1";
const char* const kConfigFolder = "/.config";

const char* const kVendorFolder = "Quorvel";
const char* const kFileName = "DefaultInstrDescr.ini";
const char* const kCountKey = "FC_Count";
const char* const kDescriptorKey = "%1.%2.Descriptor";
const char* const kFcNumberKey = "%1.FC_Number";

const int kRowSpacing = 10;

bool isMultiCardModel(const QString& group) {
    return group == QLatin1String("4860") || group == QLatin1String("4870");
}

QString descriptorKey(int row, int entry) {
    return QString::fromLatin1(kDescriptorKey).arg(row).arg(entry);
}

QString fcNumberKey(int row) {
    return QString::fromLatin1(kFcNumberKey).arg(row);
}

// An unquoted hand-edited value with commas reads back as a list: keep its text.
// The store gives a list of variants instead when an element needed escaping
// (a zero byte, for one), as it does once it has rewritten the file.
QString readText(const QSettings& settings, const QString& key) {
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// A value that is not a number, or lies outside [0, count), reads as 0.
int readIndex(const QSettings& settings, const QString& key, int offset, int count) {
    bool ok = false;
    const int index = settings.value(key).toInt(&ok) - offset;
    return ok && index >= 0 && index < count ? index : 0;
}

// The recent list of a row: the current text first, then the items, each once.
QStringList recentDescriptors(const QComboBox* combo) {
    QStringList recent{combo->currentText()};
    for (int item = 0; item < combo->count(); ++item)
        recent << combo->itemText(item);
    recent.removeDuplicates();
    return recent;
}

QStringList storedEntries(const QSettings& settings, int row) {
    QStringList entries;
    for (int entry = 1; entry <= qv4000fp_fcEnterAddress::RecentDescriptors; ++entry)
        entries << readText(settings, descriptorKey(row, entry));
    return entries;
}

// This panel's list with what other panels added since it loaded the file
// placed right after its current text, so that no one's new entry is lost.
QStringList mergedRecent(const QStringList& ours, const QStringList& loaded,
                         const QStringList& now) {
    QStringList merged{ours.first()};
    for (const QString& entry : now) {
        if (!entry.isEmpty() && !loaded.contains(entry))
            merged << entry;
    }
    merged << ours.mid(1);
    merged.removeDuplicates();
    return merged;
}

QString absoluteOrEmpty(const QString& folder) {
    return QDir::isAbsolutePath(folder) ? folder : QString();
}
} // namespace

QString qv4000fp_descriptorFilePath() {
    const QString profile = absoluteOrEmpty(qEnvironmentVariable("ALLUSERSPROFILE"));
#ifdef Q_OS_WIN
    const QString folder = profile.isEmpty() ? QStringLiteral("c:\\vxipnp") : profile;
    return folder + QLatin1Char('\\') + QLatin1String(kVendorFolder) + QLatin1Char('\\') +
           QLatin1String(kFileName);
#else
    QString folder = profile;
    if (folder.isEmpty())
        folder = absoluteOrEmpty(qEnvironmentVariable("XDG_CONFIG_HOME"));
    if (folder.isEmpty())
        folder = QDir::homePath() + QLatin1String(kConfigFolder);
    return folder + QLatin1Char('/') + QLatin1String(kVendorFolder) + QLatin1Char('/') +
           QLatin1String(kFileName);
#endif
}

qv4000fp_fcEnterAddress::qv4000fp_fcEnterAddress(qv4000fp_genFC* fc, QWidget* parent)
    : QDialog(parent), m_rows{} {
    m_iniFile = qv4000fp_descriptorFilePath();
    m_group = qv4000fp_connectionTexts::modelText(fc->m_model);
    const bool multiCard = isMultiCardModel(m_group);

    setWindowTitle(QString::fromLatin1(multiCard ? kTitleMulti : kTitleSingle).arg(m_group));
    setWindowIcon(qv4000fp_connectionIcon());

    auto* buttonRow = new QHBoxLayout;
    auto* mainLayout = new QVBoxLayout;

    // The single-card form never shows the count, but it still carries the
    // count read from the file, so the selector exists in both forms.
    m_countCombo = new QComboBox(this);
    for (int count = 1; count <= MaxRows; ++count)
        m_countCombo->addItem(QString::number(count));
    if (multiCard) {
        buttonRow->addWidget(new QLabel(QString::fromLatin1(kCountLabel)));
        buttonRow->addWidget(m_countCombo);
    } else {
        m_countCombo->hide();
    }

    buttonRow->addStretch();
    auto* ok = new QPushButton(QString::fromLatin1(kOk));
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttonRow->addWidget(ok);
    auto* cancel = new QPushButton(QString::fromLatin1(kCancel));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttonRow->addWidget(cancel);

    const int rows = multiCard ? MaxRows : 1;
    for (int i = 0; i < rows; ++i) {
        m_rows[i] = new qv4000fp_fcEnterAddressFc;
        mainLayout->addWidget(m_rows[i]);
        mainLayout->addSpacing(kRowSpacing);
    }

    mainLayout->addLayout(buttonRow);
    setLayout(mainLayout);
    connect(m_countCombo, &QComboBox::currentIndexChanged, this,
            &qv4000fp_fcEnterAddress::countChanged);
    countChanged();
}

void qv4000fp_fcEnterAddress::countChanged() {
    const int counted = m_countCombo->currentIndex() + 1;
    for (int i = 0; i < MaxRows; ++i) {
        if (m_rows[i])
            m_rows[i]->setEnabled(i < counted);
    }
    adjustSize();
}

void qv4000fp_fcEnterAddress::loadDescriptors() {
    m_loadedEntries.clear();
    qv4000fp_descriptorStore(m_iniFile, m_group).read([this](QSettings& settings) {
        for (int i = 0; i < MaxRows && m_rows[i]; ++i)
            loadRow(settings, i + 1);
        m_countCombo->setCurrentIndex(
            readIndex(settings, QLatin1String(kCountKey), 1, m_countCombo->count()));
    });
}

void qv4000fp_fcEnterAddress::loadRow(QSettings& settings, int row) {
    QComboBox* descriptor = m_rows[row - 1]->m_descriptorCombo;
    descriptor->clear();
    descriptor->clearEditText();
    m_loadedEntries << storedEntries(settings, row);
    for (int entry = 1; entry <= RecentDescriptors; ++entry) {
        QString text = m_loadedEntries.last().at(entry - 1);
        if (text.isEmpty() && row == 1 && entry == 1)
            text = QString::fromLatin1(kDefaultDescriptor);
        if (!text.isEmpty())
            descriptor->addItem(text);
    }
    QComboBox* fcNumber = m_rows[row - 1]->m_fcCombo;
    fcNumber->setCurrentIndex(readIndex(settings, fcNumberKey(row), 0, fcNumber->count()));
}

void qv4000fp_fcEnterAddress::saveDescriptors(QStringList& descriptors, QList<int>& fcNumbers) {
    descriptors.clear();
    fcNumbers.clear();
    const int counted = m_countCombo->currentIndex() + 1;
    for (int i = 0; i < counted && i < MaxRows && m_rows[i]; ++i) {
        descriptors << m_rows[i]->m_descriptorCombo->currentText();
        fcNumbers << m_rows[i]->m_fcCombo->currentIndex();
    }
    // Creates the folder and the file on a fresh system.
    const QString problem =
        qv4000fp_descriptorStore(m_iniFile, m_group).write([&](QSettings& settings) {
            for (int i = 0; i < MaxRows && m_rows[i]; ++i)
                saveRow(settings, i + 1);
            settings.setValue(QLatin1String(kCountKey), counted);
        });
    if (!problem.isEmpty())
        tellNotSaved(problem);
}

void qv4000fp_fcEnterAddress::saveRow(QSettings& settings, int row) {
    const QStringList recent =
        mergedRecent(recentDescriptors(m_rows[row - 1]->m_descriptorCombo),
                     m_loadedEntries.value(row - 1), storedEntries(settings, row));
    for (int entry = 1; entry <= RecentDescriptors; ++entry)
        settings.setValue(descriptorKey(row, entry), recent.value(entry - 1));
    settings.setValue(fcNumberKey(row), m_rows[row - 1]->m_fcCombo->currentIndex());
}

// Once per dialog: the workflow goes on, with the entries kept only in it.
void qv4000fp_fcEnterAddress::tellNotSaved(const QString& reason) {
    if (m_toldNotSaved)
        return;
    m_toldNotSaved = true;
    QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromLatin1(kNotSaved).arg(reason),
                    QMessageBox::Ok, this);
    box.exec();
}
