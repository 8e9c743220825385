#ifndef QV4000FP_ABOUT_H
#define QV4000FP_ABOUT_H

#include <QDialog>
#include <QLabel>
#include <QList>
#include <QString>

#include <optional>

class QFormLayout;
class QGroupBox;
class QHBoxLayout;
class QPushButton;

// What one hardware page of the About dialog shows.
struct HardwareInfo {
    QString driverRevision;
    QString panelVersion;
    QString model;
    QString revision;
    QString serialNumber;
};

// The About dialog: product and card, copyright and logo, the licences of the libraries used,
// software revisions and one page of hardware information per device. Nobody sees it before
// the panel is up, so its contents are built when it is first shown; rows and pages added
// before then wait for that.
class qv4000fp_About : public QDialog {
    Q_OBJECT
public:
    // Every text is copied; the last two may be null (no common-library row, no plot-library
    // licence row).
    qv4000fp_About(const char* version, const char* driverRevision, const char* model,
                   const char* copyright, QWidget* parent, const char* commonLibRevision,
                   const char* plotLibraryVersion, bool usesFft);
    ~qv4000fp_About() override;

    // Empty revision texts take the ones on display when the page is added.
    void addHardwareInfo(QString serial, QString revision, QString model, QString driverRevision,
                         QString panelVersion);
    void addInfoRow(QString label, QString value, bool hardware);

    // Builds the contents on the first show.
    void setVisible(bool visible) override;

public slots:
    void next();
    void prev();
    void showKissFFTLicense();
    void showQtLicense();
    void showQwtLicense();
    void openLicensesWebPage();

private:
    // A form row added before the contents were built.
    struct PendingRow {
        bool hardware;
        QString label;
        QLabel* field;
    };

    void buildContents();
    void addRow(bool hardware, const QString& label, QLabel* field);
    int lineHeight() const;
    QLabel* createLogo() const;
    QGroupBox* createLicensesGroup();
    QWidget* createQtCell();
    QGroupBox* createSoftwareGroup();
    QGroupBox* createHardwareGroup();
    QHBoxLayout* createButtonRow();
    QFormLayout* createForm(QGroupBox* group) const;
    void showHardwarePage(int page);
    void updatePaging();

    int d_page;
    // The forms and paging buttons are null until the contents are built.
    QFormLayout* d_softwareForm;
    QFormLayout* d_hardwareForm;
    QLabel d_commonLibLabel;
    QLabel d_driverLabel;
    QLabel d_panelLabel;
    QLabel d_modelLabel;
    QLabel d_revisionLabel;
    QLabel d_serialLabel;
    QPushButton* d_nextButton;
    QPushButton* d_prevButton;
    HardwareInfo d_current;
    QList<HardwareInfo*> d_pages; // owned

    // What the contents are built from, copied: no text of the caller outlives the constructor.
    QString d_modelText;
    QString d_copyright;
    bool d_hasCommonLib;
    std::optional<QString> d_plotLibraryVersion;
    bool d_usesFft;
    QList<PendingRow> d_pendingRows;
    bool d_built = false;

    Q_DISABLE_COPY(qv4000fp_About)
};

// The text of the toolkit's licence link for a run-time of this version.
QString qtLicenseLinkText(const QString& runtimeVersion);

#endif
