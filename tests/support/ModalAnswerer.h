#ifndef MODALANSWERER_H
#define MODALANSWERER_H

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the modal boxes and dialogs that code under test opens. Each modal
// widget that appears takes the next queued answer; one that finds no answer
// waiting is recorded as unexpected and closed (No, Cancel or reject), so a
// test never hangs on a box it did not foresee.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    struct Seen {
        QString className;
        QString title;
        QString text;
        QStringList
            buttons; // message boxes: button texts as the box lists them (by role), '&' removed
        QString defaultButton; // message boxes: text of the default button, or empty
        bool hasEscapeButton = false;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
    };
    using Action = std::function<void(QWidget* modal)>;

    explicit ModalAnswerer(QObject* parent = nullptr);

    // The next modal widget: click the button with this text ('&' ignored).
    void answer(const QString& buttonText);
    // The next modal widget: run this (it must close the widget).
    void handle(Action action);
    // Modal widgets of these classes are left alone (progress dialogs).
    void ignoreClass(const QString& className);
    // How often to look for a new modal widget (10 ms unless set).
    void setPollInterval(int ms) { m_timer.setInterval(ms); }

    const QList<Seen>& seen() const { return m_seen; }
    QStringList unexpected() const { return m_unexpected; }
    int pending() const { return m_answers.size(); }
    void clear();

    static QStringList buttonTexts(const QMessageBox* box);
    static bool clickButton(QMessageBox* box, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void poll();
    void closeUnexpected(QWidget* modal);
    Seen describe(QWidget* modal) const;

    QTimer m_timer;
    QList<Action> m_answers;
    QList<Seen> m_seen;
    QStringList m_unexpected;
    QStringList m_ignored;
    QPointer<QWidget> m_lastHandled;
};

#endif
