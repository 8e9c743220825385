#ifndef QV4000FP_CONNECTIONBOXES_H
#define QV4000FP_CONNECTIONBOXES_H

#include "qv4000fp_connectionTexts.h"

#include <QString>

#include <memory>

class QAbstractButton;
class QMessageBox;
class QWidget;

// The question boxes of the connection workflow. The choice box is built once
// and shown again on every return to the choice; the others are built anew.
// Every box carries the workflow's title; the texts live in
// qv4000fp_connectionTexts.
class qv4000fp_connectionBoxes {
public:
    enum Choice { AutoFind, DemoMode, EnterAddress, Cancel };
    enum NoCardAnswer { NoCardTryAgain, NoCardDemoMode, NoCardCancel };

    explicit qv4000fp_connectionBoxes(int model);
    ~qv4000fp_connectionBoxes();

    // "How to connect?"; the close button and Escape count as Cancel.
    Choice askHowToConnect();
    // No usable card was found; only a button closes the box.
    NoCardAnswer askAfterNoCardFound(QWidget* parent);
    // The card did not open; true for "Try Again". Only a button closes the box.
    bool askAfterOpenFailure(QWidget* parent, const QString& errorText, bool severalCards);

    qv4000fp_connectionBoxes(const qv4000fp_connectionBoxes&) = delete;
    qv4000fp_connectionBoxes& operator=(const qv4000fp_connectionBoxes&) = delete;

private:
    std::unique_ptr<QMessageBox> questionBox(QWidget* parent, const QString& text) const;

    const int m_model;
    std::unique_ptr<QMessageBox> m_choiceBox;
    QAbstractButton* m_autoFindButton = nullptr;
    QAbstractButton* m_demoButton = nullptr;
    QAbstractButton* m_enterAddressButton = nullptr;
};

#endif
