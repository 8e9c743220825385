#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPushButton>

namespace {
QString plain(QString text) {
    return text.remove(QLatin1Char('&'));
}
} // namespace

ModalAnswerer::ModalAnswerer(QObject* parent) : QObject(parent) {
    m_ignored << QStringLiteral("QProgressDialog");
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(10);
}

void ModalAnswerer::answer(const QString& buttonText) {
    m_answers.append([buttonText](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box || !clickButton(box, buttonText)) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            qWarning("ModalAnswerer: no button \"%s\" in the box", qPrintable(buttonText));
        }
    });
}

void ModalAnswerer::handle(Action action) {
    m_answers.append(std::move(action));
}

void ModalAnswerer::ignoreClass(const QString& className) {
    m_ignored << className;
}

void ModalAnswerer::clear() {
    m_answers.clear();
    m_seen.clear();
    m_unexpected.clear();
}

QStringList ModalAnswerer::buttonTexts(const QMessageBox* box) {
    QStringList texts;
    // The box lists its buttons grouped by role, action buttons in the order
    // they were added.
    const auto buttons = box->buttons();
    for (QAbstractButton* button : buttons)
        texts << plain(button->text());
    return texts;
}

bool ModalAnswerer::clickButton(QMessageBox* box, const QString& text) {
    const auto buttons = box->buttons();
    for (QAbstractButton* button : buttons) {
        if (plain(button->text()) == plain(text)) {
            button->click();
            return true;
        }
    }
    return false;
}

ModalAnswerer::Seen ModalAnswerer::describe(QWidget* modal) const {
    Seen seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.title = modal->windowTitle();
    seen.parent = modal->parentWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.buttons = buttonTexts(box);
        seen.icon = box->icon();
        if (box->defaultButton())
            seen.defaultButton = plain(box->defaultButton()->text());
        seen.hasEscapeButton = box->escapeButton() != nullptr;
    }
    return seen;
}

void ModalAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == m_lastHandled)
        return;
    if (m_ignored.contains(QString::fromLatin1(modal->metaObject()->className())))
        return;
    // The same dialog may be shown again later (a reused choice box): it is
    // answered again once it has been hidden.
    m_lastHandled = modal;
    modal->installEventFilter(this);
    m_seen.append(describe(modal));
    if (m_answers.isEmpty()) {
        m_unexpected << m_seen.last().title + QStringLiteral(": ") + m_seen.last().text;
        closeUnexpected(modal);
        return;
    }
    Action action = m_answers.takeFirst();
    action(modal);
}

void ModalAnswerer::closeUnexpected(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        for (const char* safe : {"No", "Cancel", "OK", "Continue"}) {
            if (clickButton(box, QString::fromLatin1(safe)))
                return;
        }
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched == m_lastHandled) {
        watched->removeEventFilter(this);
        m_lastHandled = nullptr;
    }
    return QObject::eventFilter(watched, event);
}
