#include "ChoiceClicker.h"

#include "ProbeApplication.h"
#include "qv4000fp_fcSelect.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

namespace {
// The event a mouse button makes at the box's window, from where the
// toolkit routes it to the widget under it as it routes a real one.
void press(QWindow* window, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, at, at, window->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
}
} // namespace

ChoiceClicker::ChoiceClicker(ProbeApplication& app, QString choice, int settleMs)
    : m_app(app), m_choice(std::move(choice)), m_settleMs(settleMs) {
    app.installEventFilter(this);
}

bool ChoiceClicker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show)
        return false;
    if (auto* box = qobject_cast<QMessageBox*>(watched)) {
        if (!m_box)
            watchBox(box);
    } else if (auto* dialog = qobject_cast<qv4000fp_fcSelect*>(watched)) {
        QTimer::singleShot(0, dialog, [dialog] { acceptFirstCard(dialog); });
    }
    return false;
}

// Only the choice box carries the button; the operator clicks once it can
// be seen (and, with a settling time, read).
void ChoiceClicker::watchBox(QMessageBox* box) {
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() != m_choice)
            continue;
        m_box = box;
        m_app.watchFirstPaint(
            "choice", [box](const QWidget* window) { return window == box; },
            [this] { QTimer::singleShot(m_settleMs, this, &ChoiceClicker::click); });
        return;
    }
}

void ChoiceClicker::click() {
    if (!m_box)
        return;
    for (QAbstractButton* button : m_box->buttons()) {
        if (button->text() != m_choice)
            continue;
        QWindow* window = m_box->windowHandle();
        const QPoint at = button->mapTo(m_box.data(), button->rect().center());
        reportMoment("click", monotonicNs());
        press(window, QEvent::MouseButtonPress, at);
        press(window, QEvent::MouseButtonRelease, at);
        return;
    }
}

void ChoiceClicker::acceptFirstCard(qv4000fp_fcSelect* dialog) {
    for (QTreeWidgetItemIterator it(dialog->m_tree); *it; ++it) {
        if ((*it)->flags() & Qt::ItemIsSelectable) {
            (*it)->setSelected(true);
            dialog->okPressed();
            return;
        }
    }
}
