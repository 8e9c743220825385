#ifndef QV4720_FC_H
#define QV4720_FC_H

#include "qv4000fp_genFC.h"

class qv4720fp_CardSession;

// The 4720 DAC card as the framework sees it: forwards to the card's driver.
class qv4720_fc : public qv4000fp_genFC {
public:
    static constexpr int Model = 0x4720;
    static constexpr int MaxCards = 256;
    static constexpr int ResourceLength = 2048;

    qv4720_fc();

    bool supportsModel(ViUInt16 model) const override;
    QString description() const override;
    QString copyright() const override;
    QString version() const override;
    QString driverRevision() override;
    QString errorMessage(ViStatus status) override;
    ViStatus initInstrument(const char* resource, ViUInt16* fcNumbers, ViUInt16 idQuery,
                            ViUInt16 reset, ViSession* vi) override;
    ViStatus initInstrumentAndKeep(const char* resource, ViUInt16* fcNumbers, ViInt16 count,
                                   ViUInt16 idQuery, ViUInt16 reset, ViSession* vi) override;
    ViStatus reinitInstrument(ViSession* vi) override;
    ViStatus closeInstrument(ViSession vi) override;
    ViStatus resetInstrument(ViSession vi) override;

    // Once the panel has a card session, the framework's reset and close of
    // that session go through it, so that it sees every call that changes
    // the card. Null unbinds.
    void bindSession(qv4720fp_CardSession* session) { m_session = session; }
    // What went wrong when the bound session was closed, or an empty text.
    QString closeReport() const { return m_closeReport; }

    char m_resource[ResourceLength];
    ViUInt16 m_fcNumbers[MaxCards];

private:
    qv4720fp_CardSession* boundTo(ViSession vi) const;

    qv4720fp_CardSession* m_session = nullptr;
    QString m_closeReport;
};

#endif
