#ifndef CHOICECLICKER_H
#define CHOICECLICKER_H

#include <QObject>
#include <QPointer>
#include <QString>

class ProbeApplication;
class QMessageBox;
class qv4000fp_fcSelect;

// Plays the operator at the connection choice box: once the box has been
// painted and the given time has passed, clicks the named button with a
// press and release at its window, as a mouse would, and
// reports the moment as "click". When a search finds several cards it takes
// the first usable one.
class ChoiceClicker : public QObject {
public:
    ChoiceClicker(ProbeApplication& app, QString choice, int settleMs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchBox(QMessageBox* box);
    void click();
    static void acceptFirstCard(qv4000fp_fcSelect* dialog);

    ProbeApplication& m_app;
    const QString m_choice;
    const int m_settleMs;
    QPointer<QMessageBox> m_box;
};

#endif
