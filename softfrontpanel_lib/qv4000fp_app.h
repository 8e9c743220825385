#ifndef QV4000FP_APP_H
#define QV4000FP_APP_H

#include <QString>
#include <QWidget>

class QCloseEvent;
class QHBoxLayout;
class QLabel;
class QLayout;
class QPushButton;
class QRect;
class QVBoxLayout;
class qv4000fp_About;
class qv4000fp_led;

// The main window every card panel shares: a header (logo, title, VXI or LXI
// logo), a content area the card panel fills, and a column with the "Active"
// LED, the location labels, optional acquisition controls and the command
// buttons. It turns clicks into signals; it talks to no instrument itself.
class qv4000fp_app : public QWidget {
    Q_OBJECT
public:
    qv4000fp_app();

    void setCentralLayout(QLayout* layout);
    void setTitle(QString title);
    void setLxi(bool lxi);
    void clearBusLogo();
    void setSlotLabel(QString text, QString whatsThis);
    void setFcLabel(QString text, QString whatsThis);
    void setDemo(bool demo);
    void showAutoscale(bool show);
    void showIdentify(bool show);
    QString settingsPath();

signals:
    void autoscaleToggled(bool status);
    void identToggled(bool status);
    void startSingle();
    void breakSingle();
    void startCont();
    void stopCont();
    void resetPressed();

public slots:
    void enterWIT();
    void userBreak();
    void enableStart();

protected:
    void closeEvent(QCloseEvent* event) override;

    QPushButton* d_whatsThisButton = nullptr;
    QPushButton* d_autoscaleButton = nullptr;
    qv4000fp_About* d_about = nullptr;
    QPushButton* d_aboutButton = nullptr;
    QWidget* d_content = nullptr;
    bool d_contentReady = false;
    QLabel* d_title = nullptr;
    QLabel* d_busLogo = nullptr;
    QLabel* d_slotLabel = nullptr;
    QLabel* d_fcLabel = nullptr;
    qv4000fp_led* d_led = nullptr;
    QPushButton* d_closeButton = nullptr;
    QLabel* d_autoscaleLabel = nullptr;
    QVBoxLayout* d_buttonColumn = nullptr;
    QLabel* d_identLabel = nullptr;
    QPushButton* d_identButton = nullptr;
    QPushButton* d_resetButton = nullptr;
    QPushButton* d_startButton = nullptr;
    QPushButton* d_startContButton = nullptr;

private slots:
    void autoscaleToggledSlot(bool status);
    void identToggledSlot(bool status);
    void startToggledSlot(bool status);
    void startContToggledSlot(bool status);

private:
    void fillHeader(QHBoxLayout* headerRow);
    void addStatusGroup(int spacing);
    void addAcquisitionControls();
    void addCommandButtons();
    QPushButton* addToggleButton(const char* text, bool checked, const char* help);
    QPushButton* addStartButton(const QPixmap& icon, const char* help);
    QLabel* addCaption(const char* text);
    void setHelp(QWidget* widget, const QString& help);
};

// Places the widget in the middle of the primary screen's available area,
// keeping its size. Does nothing when there is no screen.
void centerWidget(QWidget* widget);
// The same within the given available area (in screen coordinates).
void centerWidgetIn(QWidget* widget, const QRect& available);

#endif
