#ifndef QV4000FP_APPFC_H
#define QV4000FP_APPFC_H

#include "qv4000fp_app.h"
#include "visa.h"

class qv4000fp_fcSelect;
class qv4000fp_genFC;

// The main window attached to one function card. Construction runs the
// connection workflow, keeps the session (or demo mode), shows where the card
// sits and creates the About dialog; destruction closes the session.
class qv4000fp_AppFC : public qv4000fp_app {
    Q_OBJECT
public:
    static constexpr int MaxCards = 256;

    qv4000fp_AppFC(qv4000fp_genFC* fc, int multiSelect, bool skipConnect,
                   const char* plotLibraryVersion, bool usesFft);
    ~qv4000fp_AppFC() override;

    ViSession vi() const { return d_vi; }
    bool demo() const { return d_demo != 0; }

protected:
    // The card's model number in hexadecimal, blank-padded to 4 places.
    QString modelText() const;

    ViSession d_vi = 0;
    int d_demo = 0;
    int d_fcNumbers[MaxCards] = {};
    int d_fcCount = 0;
    bool d_lxi = false;
    qv4000fp_genFC* d_fc = nullptr;

private slots:
    void resetDevice();

private:
    void connectCard(qv4000fp_fcSelect* select, bool skipConnect);
    void takeRecord(const qv4000fp_fcSelect* select, bool skipConnect);
    void readLocation(QString* slotText, QString* hostText);
    void showLocation(const QString& slotText, const QString& hostText);
    void createAbout(const char* plotLibraryVersion, bool usesFft);
};

#endif
