#ifndef QV4000FP_FCENTERADDRESS_H
#define QV4000FP_FCENTERADDRESS_H

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QComboBox;
class QSettings;
class qv4000fp_genFC;
class qv4000fp_fcEnterAddressFc;

// Lets the operator type the resource descriptors and function card numbers of
// the cards to open, and remembers them (five recent descriptors per row) in
// the descriptor file, in a section of the card's model.
class qv4000fp_fcEnterAddress : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxRows = 8;
    static constexpr int RecentDescriptors = 5;

    explicit qv4000fp_fcEnterAddress(qv4000fp_genFC* fc, QWidget* parent = nullptr);

    // Fills the rows and the count from the descriptor file.
    void loadDescriptors();
    // Writes the rows and the count to the descriptor file; returns the
    // descriptor and function card number (0: none chosen) of each counted row.
    void saveDescriptors(QStringList& descriptors, QList<int>& fcNumbers);

private slots:
    void countChanged();

private:
    void loadRow(QSettings& settings, int row);
    void saveRow(QSettings& settings, int row);
    void tellNotSaved(const QString& reason);

public:
    // Null past the first entry in the single-card form.
    qv4000fp_fcEnterAddressFc* m_rows[MaxRows];
    QString m_group;   // model text: names the card's section of the file
    QString m_iniFile; // full path of the descriptor file
    QComboBox* m_countCombo;

private:
    // Each row's entries as the file held them at the last load: what other
    // panels added since then is what a save must keep.
    QList<QStringList> m_loadedEntries;
    bool m_toldNotSaved = false;
};

// Full path of the descriptor file: "Quorvel/DefaultInstrDescr.ini" in the
// all-users profile folder, else in the drive's instrument folder (Windows)
// or the user's configuration folder. A relative folder in either variable is
// ignored, as the XDG rules say.
QString qv4000fp_descriptorFilePath();

#endif
