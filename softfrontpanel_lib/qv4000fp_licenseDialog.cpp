#include "qv4000fp_licenseDialog.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QTextStream>
#include <QVBoxLayout>

namespace {
const char* const kOk = "Ok";
const char* const kTextFont = "Courier";

const double kReferenceDpi = 96.0;
const double kTextWidth = 650.0;
const double kTextHeight = 500.0;

// A missing resource leaves the text empty; there is nothing useful to report.
QString readText(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream stream(&file);
    return stream.readAll();
}

QTextEdit* createTextArea(const QString& resource, int dpi) {
    auto* text = new QTextEdit;
    text->setLineWrapMode(QTextEdit::NoWrap);
    text->setMinimumSize(licenseTextMinimumSize(dpi));
    text->setReadOnly(true);
    QFont font = text->font();
    font.setFamily(QLatin1String(kTextFont));
    font.setStyleHint(QFont::TypeWriter);
    text->setFont(font);
    // Plain text: a licence is shown verbatim, whatever markup its lines resemble.
    text->setPlainText(readText(resource));
    return text;
}
} // namespace

QSize licenseTextMinimumSize(int dpi) {
    const double scale = dpi / kReferenceDpi;
    return QSize(static_cast<int>(scale * kTextWidth), static_cast<int>(scale * kTextHeight));
}

qv4000fp_licenseDialog::qv4000fp_licenseDialog(const QString& title, const QString& textResource,
                                               QWidget* parent)
    : QDialog(parent) {
    const int dpi = logicalDpiX();
    setModal(true);
    setWindowTitle(title);

    auto* layout = new QVBoxLayout(this);
    auto* buttonRow = new QHBoxLayout;
    layout->addWidget(createTextArea(textResource, dpi));
    layout->addLayout(buttonRow);

    buttonRow->addStretch();
    auto* ok = new QPushButton(QLatin1String(kOk));
    buttonRow->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
