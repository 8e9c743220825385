#ifndef HOSTILESUPPORT_H
#define HOSTILESUPPORT_H

#include "qv4000fp_About.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMap>

// "Label:" -> value for each row of one group of the About dialog, as the
// operator sees it once the dialog has been shown.
inline QMap<QString, QString> aboutRows(qv4000fp_About* about, const QString& group) {
    about->show();
    QMap<QString, QString> rows;
    for (QGroupBox* box : about->findChildren<QGroupBox*>()) {
        auto* form = qobject_cast<QFormLayout*>(box->layout());
        if (box->title() != group || !form)
            continue;
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
            auto* labelWidget = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
            auto* fieldWidget = field ? qobject_cast<QLabel*>(field->widget()) : nullptr;
            if (labelWidget && fieldWidget)
                rows.insert(labelWidget->text(), fieldWidget->text());
        }
    }
    return rows;
}

#endif
